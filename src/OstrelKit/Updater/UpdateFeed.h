#pragma once

// The update feed: one small JSON document naming the newest release and its signed archive.

#include <QByteArray>
#include <QString>
#include <optional>

namespace dormio {

struct UpdateFeed {
    struct Download {
        QString url;
        qint64 length = 0;
        QString edSignature;
        bool operator==(const Download&) const = default;
    };

    QString version;
    QString url;
    std::optional<QString> notes;
    std::optional<QString> minimumSystemVersion;
    std::optional<Download> download;

    bool operator==(const UpdateFeed&) const = default;

    // The record of a feed document, or none when the document breaks a rule of the format: a required
    // key missing, null or of another type, a present value of the wrong type, or a version that is not
    // a plain version text.
    static std::optional<UpdateFeed> decode(const QByteArray& json);
    // The document of a record, optional fields left out when absent.
    QByteArray encode() const;
};

// A version names a staging folder and a settings key, so only plain texts are accepted: ASCII letters,
// digits, ".", "-" and "+", at most 64 of them, and neither "." nor "..".
bool isPlainVersionText(const QString& text);

} // namespace dormio
