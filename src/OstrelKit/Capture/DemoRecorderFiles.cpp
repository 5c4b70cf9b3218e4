// The three side files of a recording, for the editing step that draws the pointer, the clicks and the
// captions over the movie. Their members and types are what that step reads; each file is replaced whole.

#include "OstrelKit/Capture/DemoRecorder.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace dormio {

namespace {

QJsonArray rows(const QList<DemoRecorder::Row>& log) {
    QJsonArray array;
    for (const DemoRecorder::Row& row : log)
        array.append(QJsonArray{row[0], row[1], row[2]});
    return array;
}

void write(const QString& folder, const QString& name, const QJsonDocument& document) {
    const QString path = QDir(folder).filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document.toJson(QJsonDocument::Indented)) < 0 ||
        !file.commit())
        throw CaptureFailure{QStringLiteral("Couldn’t write “%1”: %2.").arg(path, file.errorString())};
}

} // namespace

void DemoRecorder::writeFiles(const QString& name, double duration) const {
    write(folder_, QStringLiteral("events.json"),
          QJsonDocument(QJsonObject{{"version", 1},
                                    {"duration", duration},
                                    {"cursor", rows(cursorLog_)},
                                    {"clicks", rows(clicks_)}}));

    // Qt writes an object's keys sorted, which is the order the captions' readers expect.
    QJsonArray captions;
    for (const Caption& caption : captions_)
        captions.append(QJsonObject{{"start", caption.start}, {"end", caption.end}, {"text", caption.text}});
    write(folder_, QStringLiteral("captions.json"), QJsonDocument(captions));

    write(folder_, QStringLiteral("project.json"),
          QJsonDocument(QJsonObject{{"name", name},
                                    {"created", clock_.now().toUTC().toString(Qt::ISODate)},
                                    {"duration", duration},
                                    {"width", pixelSize_.width()},
                                    {"height", pixelSize_.height()},
                                    {"hasCamera", false},
                                    {"cameraOffset", 0},
                                    {"hasAudio", false},
                                    {"settings", QJsonObject()}}));
}

} // namespace dormio
