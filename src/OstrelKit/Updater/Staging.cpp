#include "OstrelKit/Updater/Staging.h"

#include "OstrelKit/Updater/ArchiveEntries.h"
#include "OstrelKit/Updater/LinkChain.h"
#include "OstrelKit/Updater/Manifest.h"
#include "OstrelKit/Updater/UpdateFeed.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <climits>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace dormio::Staging {

namespace {

constexpr const char* fallbackIdentifier = "dev.ostrel.app";

// Every entry is checked by us first; libarchive refuses in addition to write through a symlink or above
// the top folder, or over something already written.
constexpr int extractFlags = ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                             ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_NO_OVERWRITE;

// How many bytes the archive may unpack to.
qint64 budget(const QByteArray& zip, const StagingFolder& folder, const Limits& limits) {
    const qint64 size = std::max<qint64>(zip.size(), 1);
    const qint64 byRatio = limits.maxRatio > std::numeric_limits<qint64>::max() / size
                               ? std::numeric_limits<qint64>::max()
                               : limits.maxRatio * size;
    return std::min({limits.maxBytes, byRatio, limits.freeBytes(folder.fd()) / 2});
}

// Copies a regular file's data, refusing the block that would take the total past the budget before it
// is written.
bool copyData(archive* in, archive* out, qint64& total, qint64 budget) {
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(in, &block, &size, &offset);
        if (status == ARCHIVE_EOF) return true;
        if (status != ARCHIVE_OK || qint64(size) > budget - total) return false;
        total += qint64(size);
        if (archive_write_data_block(out, block, size, offset) != ARCHIVE_OK) return false;
    }
}

bool writeEntries(archive* in, archive* out, const QByteArray& top, qsizetype maxPathBytes, qint64 budget) {
    qint64 total = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(in, &entry);
        if (status == ARCHIVE_EOF) return true;
        // The rules once more, for the entry as this reading gives it.
        const auto path = status == ARCHIVE_OK ? ArchiveEntries::path(entry, maxPathBytes) : std::nullopt;
        if (!path) return false;
        const mode_t type = archive_entry_filetype(entry);
        archive_entry_set_perm(entry, Manifest::normalisedMode(archive_entry_perm(entry), type == AE_IFDIR));
        archive_entry_copy_pathname(entry, (top + '/' + QFile::encodeName(*path)).constData());
        if (archive_write_header(out, entry) != ARCHIVE_OK) return false;
        if (type == AE_IFREG && !copyData(in, out, total, budget)) return false;
        if (archive_write_finish_entry(out) != ARCHIVE_OK) return false;
    }
}

bool extract(const QByteArray& zip, const QByteArray& top, qsizetype maxPathBytes, qint64 budget) {
    auto in = ArchiveEntries::open(zip);
    ArchiveEntries::Reader out(archive_write_disk_new(), archive_write_free);
    if (!in || !out || archive_write_disk_set_options(out.get(), extractFlags) != ARCHIVE_OK) return false;
    if (writeEntries(in->get(), out.get(), top, maxPathBytes, budget))
        return archive_write_close(out.get()) == ARCHIVE_OK;
    // Closing would finish the refused file, stretching it to the size its entry claims.
    archive_write_fail(out.get());
    return false;
}

// Whether every symlink, followed link by link, ends inside the folder at the top that holds it (a
// bundle's links inside the bundle), or inside the staging folder for a link at the top itself.
bool linksStayInside(const QString& folder, const QStringList& symlinks) {
    return std::all_of(symlinks.begin(), symlinks.end(), [&](const QString& link) {
        const LinkChain::End end = LinkChain::resolve(folder, link);
        if (end.kind != LinkChain::End::Kind::inside) return false;
        if (!link.contains(u'/')) return true;
        const QString holder = link.section(u'/', 0, 0);
        return end.path == holder || end.path.startsWith(holder + u'/');
    });
}

bool isRealFolder(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

qint64 freeBytesAt(int folder) {
    struct statvfs status {};
    if (::fstatvfs(folder, &status) != 0) return 0;
    return qint64(std::min<unsigned long long>((unsigned long long)status.f_bavail * status.f_frsize,
                                               (unsigned long long)std::numeric_limits<qint64>::max()));
}

QString root(const std::optional<QString>& identifier) {
    const QString name = identifier && isPlainVersionText(*identifier) ? *identifier : fallbackIdentifier;
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(caches).filePath(name + "/OstrelUpdate");
}

std::variant<QString, UpdateError> unpack(const QByteArray& zip, const StagingFolder& folder,
                                          const Limits& limits) {
    const QByteArray top = QFile::encodeName(folder.path());
    // Room for the top folder, a slash and the final NUL.
    const qsizetype maxPathBytes = PATH_MAX - top.size() - 2;
    const qint64 allowed = budget(zip, folder, limits);
    const auto listing = ArchiveEntries::list(zip, limits.maxEntries, maxPathBytes);
    if (!listing || listing->declaredBytes > allowed || !extract(zip, top, maxPathBytes, allowed) ||
        !linksStayInside(folder.path(), listing->symlinks))
        return UpdateError{UpdateMessage::notUnpacked};
    const auto app = findApp(folder.path());
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
