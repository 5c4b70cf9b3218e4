#include "OstrelKit/Updater/StagingFolder.h"

#include "OstrelKit/Updater/RemoveTree.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

namespace dormio {

namespace {

// The folder `name` in `parent`, made when missing (for the user alone), opened only when it is a real
// folder.
UniqueFd openFolder(int parent, const QByteArray& name) {
    if (::mkdirat(parent, name.constData(), S_IRWXU) != 0 && errno != EEXIST) return {};
    return UniqueFd(::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

QString pathOf(int fd) {
    char buffer[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t size = ::readlink(link.constData(), buffer, sizeof buffer);
    if (size <= 0 || size_t(size) >= sizeof buffer) return {};
    return QFile::decodeName(QByteArray(buffer, size));
}

bool openOn(QFile& file, int fd, QIODevice::OpenMode mode) {
    if (fd < 0) return false;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && file.open(fd, mode, QFile::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

} // namespace

std::variant<std::shared_ptr<StagingFolder>, UpdateError> StagingFolder::make(const QString& root,
                                                                              const QString& version) {
    const UpdateError failure{UpdateMessage::stagingNotMade};
    const QFileInfo kit(root);
    const QFileInfo app(kit.path());
    // Above the app's folder the user's own links are followed: the caches may well live elsewhere.
    if (!QDir().mkpath(app.path())) return failure;
    const UniqueFd caches(
        ::open(QFile::encodeName(app.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!caches.isOpen()) return failure;
    UniqueFd appFolder = openFolder(caches.get(), QFile::encodeName(app.fileName()));
    const QByteArray kitName = QFile::encodeName(kit.fileName());
    if (!appFolder.isOpen() || !removeTree(appFolder.get(), kitName.constData())) return failure;
    const UniqueFd kitFolder = openFolder(appFolder.get(), kitName);
    if (!kitFolder.isOpen()) return failure;
    UniqueFd versionFolder = openFolder(kitFolder.get(), QFile::encodeName(version));
    const QString path = versionFolder.isOpen() ? pathOf(versionFolder.get()) : QString();
    if (path.isEmpty()) return failure;
    return std::shared_ptr<StagingFolder>(
        new StagingFolder(std::move(appFolder), kitName, std::move(versionFolder), path));
}

bool StagingFolder::createArchive(QFile& file) const {
    return openOn(
        file,
        ::openat(fd(), archiveName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR),
        QIODevice::WriteOnly);
}

bool StagingFolder::openArchive(QFile& file) const {
    return openOn(file, ::openat(fd(), archiveName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC),
                  QIODevice::ReadOnly);
}

void StagingFolder::removeArchive() const {
    ::unlinkat(fd(), archiveName, 0);
}

void StagingFolder::discard() const {
    removeTree(app_.get(), kitName_.constData());
}

} // namespace dormio
