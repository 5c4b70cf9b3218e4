#pragma once

// Unpacking a verified update archive into the staging folder in the user's caches, in-process. Only
// folders, regular files and symlinks that stay inside are written; permission bits are normalised on
// the way, and the total size and number of entries are capped.

#include "OstrelKit/Updater/UpdateError.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

namespace dormio::Staging {

struct Limits {
    qint64 maxBytes = qint64(4) << 30;
    qint64 maxEntries = 100000;
};

// The staging folder of the application `identifier` (a fixed name of the kit's own when there is none or
// it is no plain name): the user's caches folder / identifier / "OstrelUpdate".
QString root(const std::optional<QString>& identifier);

// Removes `root` with all earlier staged versions, unpacks `zip` into root / `version` and returns the
// path of the application bundle found at its top, or the failure.
std::variant<QString, UpdateError> stage(const QByteArray& zip, const QString& version, const QString& root,
                                         const Limits& limits = {});

// The application bundle at the top of `folder`: the first entry of its sorted listing whose name ends in
// ".app" and that is a real folder (not a file, not a symlink).
std::optional<QString> findApp(const QString& folder);

} // namespace dormio::Staging
