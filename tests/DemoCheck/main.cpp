// Checks the four files a scripted demo run leaves in its folder, reading the movie back with FFmpeg's
// libraries, and says what it found. With a second folder, it saves there the frame shown four fifths into
// each caption, when its scene has done what the caption says, as scene-1.png and on, for a person to look
// at.
//
//     dormio-demo-check FOLDER [PICTURES]      status 0 when every file is as the demo writes it

#include "../OstrelKit/MovieFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <optional>

using dormio::test::MovieFile;

namespace {

const QStringList captionTexts = {"Last night, traced minute by minute", "What kept it up, and why",
                                  "A month of nights, one texture", "Quit what holds it awake",
                                  "Know what happens after lights out"};
constexpr int clicks = 7; // info, side-history, span30, history row, side-now, quit-Music, side-night
constexpr int fps = 30;
constexpr int timeScale = 600;

int faults = 0;

void check(bool holds, const QString& what) {
    if (holds) return;
    ++faults;
    std::fprintf(stderr, "demo check: %s\n", qPrintable(what));
}

QJsonDocument readJson(const QDir& folder, const QString& name) {
    QFile file(folder.filePath(name));
    const QJsonDocument document =
        file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()) : QJsonDocument();
    check(!document.isNull(), name + " is missing or no JSON");
    return document;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("usage: dormio-demo-check FOLDER [PICTURES]\n", stderr);
        return 2;
    }
    const QDir folder(QFile::decodeName(argv[1]));

    const QJsonObject events = readJson(folder, "events.json").object();
    const double duration = events["duration"].toDouble();
    check(events["version"].toInt() == 1, "events.json is not version 1");
    check(!events["cursor"].toArray().isEmpty(), "events.json has no cursor rows");
    check(events["clicks"].toArray().size() == clicks, QStringLiteral("events.json has %1 clicks, not %2")
                                                           .arg(events["clicks"].toArray().size())
                                                           .arg(clicks));

    const QJsonArray captions = readJson(folder, "captions.json").array();
    QStringList texts;
    for (const auto caption : captions)
        texts << caption.toObject()["text"].toString();
    check(texts == captionTexts, "captions.json holds " + texts.join(" | "));

    const QJsonObject project = readJson(folder, "project.json").object();
    check(project["name"].toString() == "Dormio demo", "project.json is not named “Dormio demo”");

    // The frames four fifths into the captions, by their stamps.
    QList<long long> wanted;
    for (const auto caption : captions) {
        const double start = caption.toObject()["start"].toDouble();
        const double end = caption.toObject()["end"].toDouble();
        wanted << std::llround((start + 0.8 * (end - start)) * timeScale);
    }
    const bool pictures = argc == 3;
    QList<long long> chosen;
    const std::optional<MovieFile> movie =
        dormio::test::readMovie(folder.filePath("raw.mov"), [&](long long stamp) {
            if (!pictures) return false;
            // The first frame at or after each wanted moment.
            for (long long moment : wanted) {
                if (stamp >= moment && !chosen.contains(moment)) {
                    chosen << moment;
                    return true;
                }
            }
            return false;
        });
    check(movie.has_value(), "raw.mov is missing or holds no video");
    if (!movie) return 1;
    check(movie->codec == "h264", "raw.mov is " + movie->codec + ", not H.264");
    check(movie->container.contains("mov"), "raw.mov is a " + movie->container + " file");
    check(movie->timeBaseNum == 1 && movie->timeBaseDen == timeScale, "raw.mov's time base is not 1/600");
    check(movie->width == project["width"].toInt() && movie->height == project["height"].toInt(),
          QStringLiteral("raw.mov is %1 × %2, project.json says otherwise")
              .arg(movie->width)
              .arg(movie->height));
    check(!movie->bFrames, "raw.mov shows frames in another order than it stores them");
    check(movie->decodedFrames == movie->stamps.size(), "raw.mov has frames that do not decode");

    const int ticks = int(std::floor(duration * fps)) + 1;
    std::printf("raw.mov: H.264 %d × %d, %lld frames over %.2f s (%d ticks at %d fps, %.1f %% written)\n",
                movie->width, movie->height, static_cast<long long>(movie->stamps.size()), duration, ticks,
                fps, 100.0 * double(movie->stamps.size()) / ticks);
    if (pictures) {
        const QDir out(QFile::decodeName(argv[2]));
        QDir().mkpath(out.path());
        for (int scene = 0; scene < movie->frames.size(); ++scene) {
            const QString name = out.filePath(QStringLiteral("scene-%1.png").arg(scene + 1));
            check(movie->frames[scene].save(name), "could not save " + name);
            std::printf("%s\n", qPrintable(name));
        }
    }
    return faults == 0 ? 0 : 1;
}
