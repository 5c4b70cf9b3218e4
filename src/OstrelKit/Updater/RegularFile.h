#pragma once

// Reading files that arrived from outside: only a regular file is opened, never through a symlink, and
// never more than a fixed number of bytes is read.

#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace dormio {

// Opens `file` on the regular file at `path` for reading; false for anything else.
bool openRegularFile(const QString& path, QFile& file);

// The bytes of the regular file at `path` when it holds at most `maxBytes`.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The JSON object held by the regular file at `path` (at most `maxBytes`).
std::optional<QJsonObject> readJsonObjectFile(const QString& path, qint64 maxBytes);

} // namespace dormio
