#include "Dormio/Core/System/InstalledApps.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <mutex>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormio {

namespace {

struct EntryFile {
    QString id;
    QString path;
};

// What one walk of the applications folders found: the entry files, and every folder below the top ones.
struct Scan {
    std::vector<EntryFile> files;
    QStringList subfolders;
};

// Every .desktop file under each applications folder, the first of each id only.
Scan scan(const QStringList& folders) {
    Scan found;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")},
                        QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        std::vector<EntryFile> inFolder;
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileInfo().isDir()) {
                found.subfolders.push_back(path);
                continue;
            }
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
                found.files.push_back(std::move(file));
            }
    }
    return found;
}

// Tells whether anything was added, removed, renamed or written in the watched folders since the last
// look, without an event loop: inotify's events wait in a non-blocking descriptor that each look drains.
class FolderWatch {
public:
    FolderWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~FolderWatch() {
        if (fd_ >= 0) ::close(fd_);
    }

    void add(const QStringList& folders) {
        constexpr uint32_t events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                    IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
        for (const QString& folder : folders)
            if (fd_ >= 0) ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), events);
    }

    // Without inotify every look counts as a change, which is right but slow.
    bool changed() {
        if (fd_ < 0) return true;
        bool any = false;
        alignas(inotify_event) char buffer[4096];
        while (::read(fd_, buffer, sizeof buffer) > 0)
            any = true;
        return any;
    }

private:
    int fd_;
};

// Which of the top folders exist: one that appears later (the user's first own entry) has no watch yet.
QString existing(const QStringList& folders) {
    QString found;
    for (const QString& folder : folders) {
        struct stat info {};
        found += (::stat(QFile::encodeName(folder).constData(), &info) == 0 ? QStringLiteral("\n+")
                                                                            : QStringLiteral("\n-")) +
                 folder;
    }
    return found;
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
    static std::unique_ptr<FolderWatch> watch;
    static QString madeFrom; // PATH, which decides the programs entries start, and the top folders present
    static std::shared_ptr<const InstalledAppCatalog> cached;
    const std::lock_guard lock(mutex);
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    const QString now = qEnvironmentVariable("PATH") + existing(folders);
    const bool changed = !watch || watch->changed();
    if (cached && !changed && now == madeFrom) return cached;
    // Watched before the walk, so that a change during it is seen at the next call.
    watch = std::make_unique<FolderWatch>();
    watch->add(folders);
    const Scan found = scan(folders);
    watch->add(found.subfolders);
    cached = std::make_shared<const InstalledAppCatalog>(load(found.files));
    madeFrom = now;
    return cached;
}

} // namespace InstalledApps
} // namespace dormio
