#include "OstrelKit/Updater/UpdateFeed.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>

namespace dormio {

namespace {

constexpr qsizetype maxVersionLength = 64;

// A required string, or none when it is missing, null or not a string.
std::optional<QString> requiredString(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString()) return std::nullopt;
    return value.toString();
}

// An optional field: nullopt when it is present with the wrong type; an inner none when it is absent.
std::optional<std::optional<QString>> optionalString(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) return std::optional<QString>();
    if (!value.isString()) return std::nullopt;
    return std::optional<QString>(value.toString());
}

// A JSON number that is a whole number within the signed 64-bit range.
std::optional<qint64> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const qint64 whole = value.toInteger(-1);
    if (whole == -1 && value.toDouble() != -1.0) return std::nullopt;
    return whole;
}

std::optional<UpdateFeed::Download> decodeDownload(const QJsonObject& object) {
    const auto url = requiredString(object, "url");
    const auto length = wholeNumber(object.value(QLatin1String("length")));
    const auto signature = requiredString(object, "edSignature");
    if (!url || !length || !signature) return std::nullopt;
    return UpdateFeed::Download{*url, *length, *signature};
}

} // namespace

bool isPlainVersionText(const QString& text) {
    if (text.isEmpty() || text.size() > maxVersionLength || text == "." || text == "..") return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' ||
               u == '-' || u == '+';
    });
}

std::optional<UpdateFeed> UpdateFeed::decode(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject object = document.object();

    UpdateFeed feed;
    const auto version = requiredString(object, "version");
    const auto url = requiredString(object, "url");
    const auto notes = optionalString(object, "notes");
    const auto minimum = optionalString(object, "minimumSystemVersion");
    if (!version || !url || !notes || !minimum || !isPlainVersionText(*version)) return std::nullopt;
    feed.version = *version;
    feed.url = *url;
    feed.notes = *notes;
    feed.minimumSystemVersion = *minimum;

    const QJsonValue download = object.value(QLatin1String("download"));
    if (download.isObject()) {
        feed.download = decodeDownload(download.toObject());
        if (!feed.download) return std::nullopt;
    } else if (!download.isUndefined() && !download.isNull()) {
        return std::nullopt;
    }
    return feed;
}

QByteArray UpdateFeed::encode() const {
    QJsonObject object{{"version", version}, {"url", url}};
    if (notes) object.insert("notes", *notes);
    if (minimumSystemVersion) object.insert("minimumSystemVersion", *minimumSystemVersion);
    if (download)
        object.insert("download", QJsonObject{{"url", download->url},
                                              {"length", download->length},
                                              {"edSignature", download->edSignature}});
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace dormio
