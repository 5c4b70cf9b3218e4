#include "OstrelKit/Updater/AppBundle.h"

#include "OstrelKit/Updater/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace dormio {

namespace {

constexpr qint64 maxInfoBytes = 1 << 20;

bool isRealFolder(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::optional<AppBundle> AppBundle::open(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (name.size() <= 4 || !name.endsWith(".app") || !isRealFolder(path)) return std::nullopt;
    auto info = readJsonObjectFile(QDir(path).filePath(infoFile), maxInfoBytes);
    if (!info) return std::nullopt;
    return AppBundle(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), std::move(*info));
}

AppBundle AppBundle::running() {
    const QString folder = QFileInfo(QCoreApplication::applicationDirPath()).absolutePath();
    if (auto bundle = open(folder)) return *bundle;
    return loose();
}

AppBundle AppBundle::loose() {
    QJsonObject info;
    if (!QCoreApplication::applicationName().isEmpty())
        info.insert("CFBundleName", QCoreApplication::applicationName());
    if (!QCoreApplication::applicationVersion().isEmpty())
        info.insert("CFBundleShortVersionString", QCoreApplication::applicationVersion());
    return AppBundle(QString(), info);
}

std::optional<QString> AppBundle::string(const char* key) const {
    const QJsonValue value = info_.value(QLatin1String(key));
    if (!value.isString()) return std::nullopt;
    return value.toString();
}

} // namespace dormio
