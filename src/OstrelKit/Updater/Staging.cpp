#include "OstrelKit/Updater/Staging.h"

#include "OstrelKit/Updater/Manifest.h"
#include "OstrelKit/Updater/RelativePath.h"
#include "OstrelKit/Updater/UpdateFeed.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <sys/stat.h>

namespace dormio::Staging {

namespace {

constexpr const char* fallbackIdentifier = "dev.ostrel.app";

using Archive = std::unique_ptr<archive, int (*)(archive*)>;

// Every entry is checked by us first; libarchive refuses in addition to write through a symlink or above
// the top folder, or over something already written.
constexpr int extractFlags = ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                             ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_NO_OVERWRITE;

// Readies an entry for writing under `top`, or says no: only clean relative paths, only folders, regular
// files and symlinks that stay inside, no hard links; permission bits normalised.
bool prepare(archive_entry* entry, const QByteArray& top) {
    QString path = QFile::decodeName(archive_entry_pathname(entry));
    const mode_t type = archive_entry_filetype(entry);
    if (type == AE_IFDIR && path.endsWith(u'/')) path.chop(1);
    if (!RelativePath::isClean(path) || archive_entry_hardlink(entry)) return false;
    if (type == AE_IFLNK) {
        const char* target = archive_entry_symlink(entry);
        const QString from = path.contains(u'/') ? path.section(u'/', 0, -2) : QString();
        if (!target || !RelativePath::staysInside(from, QFile::decodeName(target))) return false;
    } else if (type != AE_IFDIR && type != AE_IFREG) {
        return false;
    }
    archive_entry_set_perm(entry, Manifest::normalisedMode(archive_entry_perm(entry), type == AE_IFDIR));
    archive_entry_copy_pathname(entry, (top + '/' + QFile::encodeName(path)).constData());
    return true;
}

// Copies a regular file's data, counting it against the size cap.
bool copyData(archive* in, archive* out, qint64& total, qint64 maxBytes) {
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(in, &block, &size, &offset);
        if (status == ARCHIVE_EOF) return true;
        if (status != ARCHIVE_OK) return false;
        total += qint64(size);
        if (total > maxBytes || archive_write_data_block(out, block, size, offset) != ARCHIVE_OK)
            return false;
    }
}

bool unpack(const QByteArray& zip, const QString& folder, const Limits& limits) {
    Archive in(archive_read_new(), archive_read_free);
    Archive out(archive_write_disk_new(), archive_write_free);
    if (!in || !out || archive_read_support_format_zip(in.get()) != ARCHIVE_OK ||
        archive_read_open_memory(in.get(), zip.constData(), size_t(zip.size())) != ARCHIVE_OK ||
        archive_write_disk_set_options(out.get(), extractFlags) != ARCHIVE_OK)
        return false;

    const QByteArray top = QFile::encodeName(folder);
    qint64 total = 0;
    qint64 count = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(in.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status != ARCHIVE_OK || ++count > limits.maxEntries || !prepare(entry, top) ||
            archive_write_header(out.get(), entry) != ARCHIVE_OK)
            return false;
        if (archive_entry_filetype(entry) == AE_IFREG &&
            !copyData(in.get(), out.get(), total, limits.maxBytes))
            return false;
        if (archive_write_finish_entry(out.get()) != ARCHIVE_OK) return false;
    }
    return archive_write_close(out.get()) == ARCHIVE_OK;
}

bool isRealFolder(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

QString root(const std::optional<QString>& identifier) {
    const QString name = identifier && isPlainVersionText(*identifier) ? *identifier : fallbackIdentifier;
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(caches).filePath(name + "/OstrelUpdate");
}

std::variant<QString, UpdateError> stage(const QByteArray& zip, const QString& version, const QString& root,
                                         const Limits& limits) {
    QDir(root).removeRecursively();
    const QString folder = QDir(root).filePath(version);
    if (!QDir().mkpath(folder))
        return UpdateError{QString(UpdateMessage::downloadFailedPrefix) +
                           "The staging folder couldn’t be made."};
    // The secure extraction refuses any symlink on the way, so the folder is named without one.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || !unpack(zip, canonical, limits))
        return UpdateError{UpdateMessage::notUnpacked};
    const auto app = findApp(canonical);
    if (!app) return UpdateError{UpdateMessage::noApp};
    return *app;
}

std::optional<QString> findApp(const QString& folder) {
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names)
        if (name.size() > 4 && name.endsWith(".app") && isRealFolder(dir.filePath(name)))
            return dir.filePath(name);
    return std::nullopt;
}

} // namespace dormio::Staging
