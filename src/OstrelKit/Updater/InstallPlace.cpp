#include "OstrelKit/Updater/InstallPlace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace dormio {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

std::optional<dev_t> device(const QString& path) {
    struct stat status {};
    if (::stat(native(path).constData(), &status) != 0) return std::nullopt;
    return status.st_dev;
}

bool readsOne(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) && in.read(2).trimmed() == "1";
}

// The folders nothing may ever replace, however the bundle came to be there.
bool isProtected(const QString& canonical, const QString& home) {
    for (const char* folder : {"/", "/usr", "/usr/local", "/opt"})
        if (canonical == QLatin1String(folder)) return true;
    return !home.isEmpty() && canonical == QFileInfo(home).canonicalFilePath();
}

} // namespace

bool InstallRules::userCanWrite(const QString& path) {
    return ::access(native(path).constData(), W_OK) == 0;
}

bool InstallRules::onReadOnlyMedia(const QString& path) {
    struct statvfs status {};
    return ::statvfs(native(path).constData(), &status) != 0 || (status.f_flag & ST_RDONLY) != 0;
}

bool InstallRules::onRemovableMedia(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.startsWith("/media/") || canonical.startsWith("/run/media/")) return true;
    const auto dev = device(path);
    if (!dev) return true;
    // A partition's folder in sysfs sits inside its disk's, which holds the "removable" flag.
    const QString block = QStringLiteral("/sys/dev/block/%1:%2").arg(major(*dev)).arg(minor(*dev));
    return readsOne(block + "/removable") || readsOne(block + "/../removable");
}

QString InstallRules::homeFolder() {
    return QDir::homePath();
}

bool InstallPlace::canReplace(const AppBundle& running, const InstallRules& rules) {
    if (!running.isBundle()) return false;
    // The folder may have been swapped for something else since launch; only this app is replaced.
    const auto onDisk = AppBundle::open(running.path());
    if (!onDisk || onDisk->identifier() != running.identifier()) return false;

    const QString canonical = QFileInfo(running.path()).canonicalFilePath();
    const QString holder = QFileInfo(running.path()).absolutePath();
    if (canonical.isEmpty() || isProtected(canonical, rules.home())) return false;
    // The swap is two renames, which stay renames only within one disk.
    const auto bundleDevice = device(running.path());
    if (!bundleDevice || bundleDevice != device(holder)) return false;
    if (rules.readOnlyMedia(running.path()) || rules.removableMedia(running.path())) return false;
    return rules.writable(holder) && rules.writable(running.path());
}

} // namespace dormio
