// Finishing a recording: the no-frames failure, and the three side files beside the movie.
#include "MovieFile.h"
#include "RecorderFixture.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace dormio::test {
namespace {

QSet<QString> members(const QJsonObject& object) {
    const QStringList keys = object.keys();
    return {keys.begin(), keys.end()};
}

TEST_F(RecorderTest, WithNoWindowOfOursInTheRegionNothingIsWrittenAndFinishSaysSo) {
    show(QRect(400, 400, 100, 100));
    show(QRect(20, 20, 50, 50)).hide();
    auto recorder = record(QRectF(0, 0, 200, 200));
    recorder->start();
    clock.advance(1);
    EXPECT_EQ(recorder->framesWritten(), 0);
    try {
        recorder->finish(QStringLiteral("empty"));
        ADD_FAILURE() << "finished without a frame";
    } catch (const DemoRecorder::Failure& failure) {
        EXPECT_EQ(
            failure.message,
            QStringLiteral("No frames were captured (0 failed). Is the window on screen inside the region?"));
    }
    for (const char* name : {"raw.mov", "events.json", "captions.json", "project.json"})
        EXPECT_FALSE(QFile::exists(file(name))) << name;
}

TEST_F(RecorderTest, AFinishRightAfterTheStartHasTheStartsFrameAndRow) {
    show(QRect(20, 20, 50, 50));
    auto recorder = record(QRectF(0, 0, 200, 200));
    recorder->start();
    recorder->finish(QStringLiteral("quick"));
    EXPECT_EQ(recorder->framesWritten(), 1);
    EXPECT_EQ(json("events.json")["duration"].toDouble(), 0);
    EXPECT_EQ(json("events.json")["cursor"].toArray().size(), 1);
    const std::optional<MovieFile> movie = readMovie(file("raw.mov"));
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->frames.size(), 1);
}

TEST_F(RecorderTest, TheLastFrameIsWrittenOnlyWhenItComesHalfAFrameOrMoreAfterTheOneBefore) {
    struct Case {
        int fps;
        double afterTick; // from the last tick's frame to the finish
        bool written;
    };
    // At 10 frames a second half a frame is 50 ms, a whole number of the clock's milliseconds; at 30 it
    // falls between 16 and 17.
    const Case cases[] = {
        {10, 0.049, false}, {10, 0.05, true}, {10, 0.051, true}, {30, 0.016, false}, {30, 0.017, true}};
    show(QRect(20, 20, 50, 50));
    // Late on the clock, as a demo's second recording would be, where differences of times are inexact.
    clock.advance(5.3);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.fps << " fps, finished " << c.afterTick << " s after a tick");
        auto recorder = record(QRectF(0, 0, 100, 100), c.fps);
        recorder->start();
        // To the moment of the tick that ends the first second; the clock counts whole milliseconds.
        clock.advance(c.fps * std::round(1000.0 / c.fps) / 1000);
        const int ticks = recorder->framesWritten();
        ASSERT_EQ(ticks, 1 + c.fps) << "a frame at the start and one at each tick";
        clock.advance(c.afterTick);
        recorder->finish(QStringLiteral("half a frame"));
        EXPECT_EQ(recorder->framesWritten(), ticks + (c.written ? 1 : 0));
        const std::optional<MovieFile> movie = readMovie(file("raw.mov"), [](long long) { return false; });
        ASSERT_TRUE(movie);
        EXPECT_EQ(movie->stamps.size(), recorder->framesWritten());
    }
}

TEST_F(RecorderTest, TheSideFilesHoldExactlyTheirMembers) {
    // Off every screen the scale is 2: a 1000 x 500 region makes a 2000 x 1000 movie.
    show(QRect(5100, 5100, 300, 200));
    auto recorder = record(QRectF(5000, 5000, 1000, 500));
    ASSERT_EQ(recorder->pixelSize(), QSize(2000, 1000));
    clock.advance(3); // the wall-clock date moves with the stepped clock
    recorder->start();
    recorder->caption(QStringLiteral("Know what happens after lights out"));
    Step click = recorder->click(QPointF(5250, 5125), 0.5);
    clock.advance(1);
    ASSERT_TRUE(click.done());
    recorder->finish(QStringLiteral("Dormio demo"));

    const QJsonObject events = json("events.json").object();
    EXPECT_EQ(members(events), (QSet<QString>{"version", "duration", "cursor", "clicks"}));
    EXPECT_TRUE(events["version"].isDouble());
    EXPECT_EQ(events["version"].toInt(), 1);
    EXPECT_DOUBLE_EQ(events["duration"].toDouble(), 1);
    EXPECT_EQ(events["cursor"].toArray().size(), 1 + 15);
    ASSERT_EQ(events["clicks"].toArray().size(), 1);
    const QJsonArray click0 = events["clicks"][0].toArray();
    EXPECT_NEAR(click0[0].toDouble(), 15 * 0.033 + 0.12, 1e-9) << "fifteen steps of 33 ms, then the press";
    EXPECT_EQ(click0[1].toDouble(), 0.25);
    EXPECT_EQ(click0[2].toDouble(), 0.25);

    QFile captions(file("captions.json"));
    ASSERT_TRUE(captions.open(QIODevice::ReadOnly));
    const QByteArray text = captions.readAll();
    const QJsonArray list = QJsonDocument::fromJson(text).array();
    ASSERT_EQ(list.size(), 1) << "the caption still open at the finish, shown for a second";
    EXPECT_EQ(members(list[0].toObject()), (QSet<QString>{"start", "end", "text"}));
    EXPECT_EQ(list[0]["text"].toString(), QStringLiteral("Know what happens after lights out"));
    EXPECT_EQ(list[0]["end"].toDouble(), 1);
    EXPECT_LT(text.indexOf("\"end\""), text.indexOf("\"start\"")) << "keys sorted";
    EXPECT_LT(text.indexOf("\"start\""), text.indexOf("\"text\""));
    EXPECT_TRUE(text.contains("\n    ")) << "pretty-printed";

    const QJsonObject project = json("project.json").object();
    EXPECT_EQ(members(project), (QSet<QString>{"name", "created", "duration", "width", "height", "hasCamera",
                                               "cameraOffset", "hasAudio", "settings"}));
    EXPECT_EQ(project["name"].toString(), QStringLiteral("Dormio demo"));
    const QString created = project["created"].toString();
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)").match(created).hasMatch())
        << created.toStdString();
    EXPECT_EQ(QDateTime::fromString(created, Qt::ISODate).secsTo(clock.now()), 0);
    EXPECT_EQ(project["duration"].toDouble(), 1);
    EXPECT_EQ(project["width"].toInt(), 2000);
    EXPECT_EQ(project["height"].toInt(), 1000);
    EXPECT_EQ(project["hasCamera"], QJsonValue(false));
    EXPECT_EQ(project["cameraOffset"], QJsonValue(0));
    EXPECT_EQ(project["hasAudio"], QJsonValue(false));
    EXPECT_EQ(project["settings"], QJsonValue(QJsonObject()));
}

TEST_F(RecorderTest, NoCaptionsMakeAnEmptyList) {
    show(QRect(20, 20, 50, 50));
    auto recorder = record(QRectF(0, 0, 200, 200));
    recorder->start();
    recorder->caption(QStringLiteral("too brief"));
    clock.advance(0.2);
    recorder->finish(QStringLiteral("no captions"));
    EXPECT_TRUE(json("captions.json").isArray());
    EXPECT_TRUE(json("captions.json").array().isEmpty());
}

} // namespace
} // namespace dormio::test
