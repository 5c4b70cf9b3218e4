#pragma once

// The folder one update is staged in: the user's caches / the app's folder / the kit's folder / the
// version. Below the caches folder nothing is ever reached through a symlink: the app's folder must be a
// real folder, the kit's folder is cleared and made afresh, and every step goes from the folder opened
// before. Clearing removes only the kit's folder, whatever it holds.

#include "OstrelKit/Updater/UniqueFd.h"
#include "OstrelKit/Updater/UpdateError.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace dormio {

class StagingFolder {
public:
    static constexpr const char* archiveName = "update.zip";

    // Clears the staging folder `root` (caches / app / kit) and makes root / `version` in it.
    static std::variant<std::shared_ptr<StagingFolder>, UpdateError> make(const QString& root,
                                                                          const QString& version);

    // The version folder, by its real path.
    QString path() const { return path_; }
    int fd() const { return version_.get(); }

    // Opens `file` on a new, empty archive file in the version folder, for writing.
    bool createArchive(QFile& file) const;
    // Opens `file` on the archive for reading.
    bool openArchive(QFile& file) const;
    void removeArchive() const;
    // Removes the kit's folder with all it holds.
    void discard() const;

private:
    StagingFolder(UniqueFd app, QByteArray kitName, UniqueFd version, QString path)
        : app_(std::move(app)), kitName_(std::move(kitName)), version_(std::move(version)),
          path_(std::move(path)) {}

    UniqueFd app_;
    QByteArray kitName_;
    UniqueFd version_;
    QString path_;
};

} // namespace dormio
