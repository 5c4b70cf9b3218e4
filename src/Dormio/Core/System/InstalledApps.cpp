#include "Dormio/Core/System/InstalledApps.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <mutex>
#include <sys/stat.h>

namespace dormio {

namespace {

struct EntryFile {
    QString id;
    QString path;
};

// Every .desktop file under each applications folder, the first of each id only.
std::vector<EntryFile> entryFiles() {
    std::vector<EntryFile> files;
    QSet<QString> seen;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        std::vector<EntryFile> inFolder;
        while (it.hasNext()) {
            const QString path = it.next();
            QString id = path.mid(folder.size() + 1);
            id.chop(int(sizeof ".desktop") - 1);
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            inFolder.push_back({id, path});
        }
        std::sort(inFolder.begin(), inFolder.end(),
                  [](const EntryFile& a, const EntryFile& b) { return a.path < b.path; });
        for (EntryFile& file : inFolder)
            if (!seen.contains(file.id)) {
                seen.insert(file.id);
                files.push_back(std::move(file));
            }
    }
    return files;
}

// What the cached list was made from: a change to any entry file, or to PATH, makes a new one.
QString signatureOf(const std::vector<EntryFile>& files) {
    QString signature = qEnvironmentVariable("PATH");
    for (const EntryFile& file : files) {
        struct stat info {};
        if (::stat(QFile::encodeName(file.path).constData(), &info) != 0) continue;
        signature += QStringLiteral("\n%1 %2.%3 %4")
                         .arg(file.path)
                         .arg(qint64(info.st_mtim.tv_sec))
                         .arg(qint64(info.st_mtim.tv_nsec))
                         .arg(qint64(info.st_size));
    }
    return signature;
}

QString resolveProgram(const QString& program) {
    if (program.isEmpty()) return {};
    const QString found =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    return found.isEmpty() ? QString() : QFileInfo(found).canonicalFilePath();
}

InstalledAppCatalog load(const std::vector<EntryFile>& files) {
    InstalledAppCatalog catalog;
    for (const EntryFile& file : files) {
        auto entry = DesktopEntryFile::read(file.path, file.id);
        if (!entry || entry->hidden || entry->type != QStringLiteral("Application")) continue;
        const QString executable = resolveProgram(DesktopEntryFile::execProgram(entry->exec));
        catalog.apps.push_back({std::move(*entry), executable});
    }
    for (size_t i = 0; i < catalog.apps.size(); ++i) {
        const InstalledApp& app = catalog.apps[i];
        if (app.executable.isEmpty()) continue;
        const auto known = catalog.byExecutable.constFind(app.executable);
        if (known == catalog.byExecutable.cend() ||
            (catalog.apps[*known].entry.noDisplay && !app.entry.noDisplay))
            catalog.byExecutable.insert(app.executable, i);
        const QString programName = QFileInfo(app.executable).fileName();
        if (!catalog.byProgramName.contains(programName)) catalog.byProgramName.insert(programName, i);
    }
    return catalog;
}

} // namespace

const InstalledApp* InstalledAppCatalog::launching(const QString& executable) const {
    const auto it = byExecutable.constFind(executable);
    return it == byExecutable.cend() ? nullptr : &apps[*it];
}

const InstalledApp* InstalledAppCatalog::withProgramNamed(const QString& fileName) const {
    const auto it = byProgramName.constFind(fileName);
    return it == byProgramName.cend() ? nullptr : &apps[*it];
}

namespace InstalledApps {

std::shared_ptr<const InstalledAppCatalog> all() {
    static std::mutex mutex;
    static QString cachedSignature;
    static std::shared_ptr<const InstalledAppCatalog> cached;
    const std::vector<EntryFile> files = entryFiles();
    const QString signature = signatureOf(files);
    const std::lock_guard lock(mutex);
    if (!cached || signature != cachedSignature) {
        cached = std::make_shared<const InstalledAppCatalog>(load(files));
        cachedSignature = signature;
    }
    return cached;
}

} // namespace InstalledApps
} // namespace dormio
