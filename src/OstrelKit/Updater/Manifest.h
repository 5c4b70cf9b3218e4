#pragma once

// A bundle's manifest, "Manifest.json" at its root: every file's relative path, SHA-256 and permission
// bits, and every symlink's target. It travels inside the signed archive, so a staged bundle that matches
// it is exactly what the release held. Folders are not listed; the manifest itself is not either.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <sys/types.h>
#include <variant>

namespace dormio {

struct ManifestEntry {
    QString path;      // relative to the bundle, "/" between names
    QByteArray sha256; // lower-case hex; empty for a symlink
    mode_t mode = 0;   // permission bits of a file
    QString symlink;   // a symlink's target; empty for a file

    bool isSymlink() const { return !symlink.isEmpty(); }
    bool operator==(const ManifestEntry&) const = default;
};

namespace Manifest {

inline constexpr const char* fileName = "Manifest.json";

// The permission bits a file or folder gets when unpacked: no setuid, setgid or sticky bit, nobody but
// the owner may write, and the owner may always read and write (and enter a folder).
mode_t normalisedMode(mode_t mode, bool folder);

// What the bundle folder holds, sorted by path, or an error sentence when something in it cannot be
// listed: a device, pipe or socket, an unreadable file, or a symlink that is absolute or leads out of the
// bundle (or nowhere).
std::variant<QList<ManifestEntry>, QString> describe(const QString& bundle);

QByteArray encode(const QList<ManifestEntry>& entries);
// The entries of a manifest document, or none when any entry is malformed or listed twice.
std::optional<QList<ManifestEntry>> decode(const QByteArray& json);

// Whether the bundle holds exactly what its manifest lists: every listed file there with its hash and
// permission bits, every symlink with its target and staying inside, and nothing else.
bool matches(const QString& bundle);

} // namespace Manifest

} // namespace dormio
