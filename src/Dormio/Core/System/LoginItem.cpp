#include "Dormio/Core/System/LoginItem.h"

#include "Dormio/Core/System/DesktopEntry.h"
#include "Dormio/Core/System/ProcessTable.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace dormio::LoginItem {

namespace {

QString autostartFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString entryPath() {
    return autostartFolder() + QStringLiteral("/dormio.desktop");
}

std::string quoted(const QString& path) {
    return "“" + path.toStdString() + "”";
}

} // namespace

LoginItemStatus status() {
    const auto entry = DesktopEntryFile::read(entryPath());
    if (!entry || entry->hidden) return LoginItemStatus::notRegistered;
    // An entry left behind by a copy of the app that has since been moved or deleted starts nothing.
    const QFileInfo program(DesktopEntryFile::execProgram(entry->exec));
    if (!program.isAbsolute() || !program.isFile() || !program.isExecutable())
        return LoginItemStatus::notFound;
    return LoginItemStatus::enabled;
}

std::optional<std::string> registerApp() {
    const auto executable = ProcessTable::exePath(int32_t(::getpid()));
    if (!executable) return "the app’s own location can’t be read";
    const QString folder = autostartFolder();
    if (!QDir().mkpath(folder)) return "the folder " + quoted(folder) + " can’t be created";
    const QString path = entryPath();
    QSaveFile file(path);
    const QString exec = DesktopEntryFile::quoteExecArgument(QString::fromStdString(*executable));
    const QByteArray text = "[Desktop Entry]\nType=Application\nName=Dormio\nExec=" +
                            DesktopEntryFile::escapeValue(exec).toUtf8() + "\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return "the file " + quoted(path) + " can’t be written";
    return std::nullopt;
}

std::optional<std::string> unregisterApp() {
    const QString path = entryPath();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return std::nullopt;
    if (!QFile::remove(path)) return "the file " + quoted(path) + " can’t be removed";
    return std::nullopt;
}

} // namespace dormio::LoginItem
