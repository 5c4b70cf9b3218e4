#pragma once

// The rules every entry of an update archive must pass before it is unpacked, and a first reading of the
// whole archive that applies them before anything is written.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct archive;
struct archive_entry;

namespace dormio::ArchiveEntries {

using Reader = std::unique_ptr<archive, int (*)(archive*)>;

// A reader of the zip archive `zip`, which must outlive it; none when it cannot be opened.
std::optional<Reader> open(const QByteArray& zip);

// The path an entry unpacks to, relative to the staging folder, when it may be unpacked: a clean relative
// path no longer than `maxPathBytes` (and no name longer than the system allows), naming a folder, a
// regular file or a symlink whose target stays inside by its text; never a hard link.
std::optional<QString> path(archive_entry* entry, qsizetype maxPathBytes);

struct Listing {
    qint64 declaredBytes = 0; // what the regular files say they unpack to
    QStringList symlinks;
};

// Reads every entry of `zip` without unpacking any, and lists it when each entry may be unpacked, there
// are at most `maxEntries`, and no path is named twice or both as a folder and as a file or symlink
// (which would unpack one over the other, or into it).
std::optional<Listing> list(const QByteArray& zip, qint64 maxEntries, qsizetype maxPathBytes);

} // namespace dormio::ArchiveEntries
