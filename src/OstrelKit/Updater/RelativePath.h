#pragma once

// Rules for paths that arrive inside an archive or a manifest, which must never name anything outside
// the folder they are unpacked into.

#include <QString>

namespace dormio::RelativePath {

// A relative path of plain names: not absolute, and no empty, "." or ".." name.
bool isClean(const QString& path);

// Whether a symlink in the folder `from` (relative, empty for the top) whose target is `target` points
// inside the top folder, reading the target by its names alone. An absolute target never does.
bool staysInside(const QString& from, const QString& target);

} // namespace dormio::RelativePath
