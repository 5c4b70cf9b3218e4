#pragma once

// Unpacking a verified update archive into its staging folder in the user's caches, in-process. The whole
// archive is read once before anything is written; then only folders, regular files and symlinks that
// stay inside are written, with permission bits normalised, within caps on the number of entries and on
// the total size, and every symlink is followed to where it really leads.

#include "OstrelKit/Updater/StagingFolder.h"
#include "OstrelKit/Updater/UpdateError.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <variant>

namespace dormio::Staging {

// The space free for the user on the disk of the folder open at `folder`.
qint64 freeBytesAt(int folder);

struct Limits {
    qint64 maxBytes = qint64(4) << 30;
    qint64 maxEntries = 100000;
    // An archive unpacks to at most this many times its own size, ...
    qint64 maxRatio = 20;
    // ... and to at most half the space free where it is staged, since the install copies it once more.
    std::function<qint64(int folder)> freeBytes = &freeBytesAt;
};

// The staging folder of the application `identifier` (a fixed name of the kit's own when there is none or
// it is no plain name): the user's caches folder / identifier / "OstrelUpdate".
QString root(const std::optional<QString>& identifier);

// Unpacks the archive `zip` into `folder` and returns the path of the application bundle found at its top,
// or the failure. An archive refused by its entries leaves nothing written; one refused on the way (by its
// size, or by where its links lead) leaves what it wrote for the caller to discard with the folder.
std::variant<QString, UpdateError> unpack(const QByteArray& zip, const StagingFolder& folder,
                                          const Limits& limits = {});

// The application bundle at the top of `folder`: the first entry of its sorted listing whose name ends in
// ".app" and that is a real folder (not a file, not a symlink).
std::optional<QString> findApp(const QString& folder);

} // namespace dormio::Staging
