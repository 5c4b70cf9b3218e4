#include "OstrelKit/Updater/ArchiveEntries.h"

#include "OstrelKit/Updater/RelativePath.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <climits>

namespace dormio::ArchiveEntries {

std::optional<Reader> open(const QByteArray& zip) {
    Reader reader(archive_read_new(), archive_read_free);
    // The seekable reading takes each entry as the archive's central directory lists it.
    if (!reader || archive_read_support_format_zip_seekable(reader.get()) != ARCHIVE_OK ||
        archive_read_open_memory(reader.get(), zip.constData(), size_t(zip.size())) != ARCHIVE_OK)
        return std::nullopt;
    return reader;
}

std::optional<QString> path(archive_entry* entry, qsizetype maxPathBytes) {
    const char* raw = archive_entry_pathname(entry);
    if (!raw) return std::nullopt;
    QByteArray bytes(raw);
    const mode_t type = archive_entry_filetype(entry);
    if (type == AE_IFDIR && bytes.endsWith('/')) bytes.chop(1);
    if (bytes.size() > maxPathBytes || archive_entry_hardlink(entry)) return std::nullopt;
    for (const QByteArray& name : bytes.split('/'))
        if (name.size() > NAME_MAX) return std::nullopt;
    const QString path = QFile::decodeName(bytes);
    if (!RelativePath::isClean(path)) return std::nullopt;
    if (type == AE_IFLNK) {
        const char* target = archive_entry_symlink(entry);
        const QString from = path.contains(u'/') ? path.section(u'/', 0, -2) : QString();
        if (!target || !RelativePath::staysInside(from, QFile::decodeName(target))) return std::nullopt;
    } else if (type != AE_IFDIR && type != AE_IFREG) {
        return std::nullopt;
    }
    return path;
}

std::optional<Listing> list(const QByteArray& zip, qint64 maxEntries, qsizetype maxPathBytes) {
    auto reader = open(zip);
    if (!reader) return std::nullopt;
    Listing listing;
    QHash<QString, bool> named; // each path, and whether it is a folder
    QSet<QString> holders;      // every path some entry lies inside
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader->get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status != ARCHIVE_OK || named.size() >= maxEntries) return std::nullopt;
        const auto path = ArchiveEntries::path(entry, maxPathBytes);
        if (!path || named.contains(*path)) return std::nullopt;
        const mode_t type = archive_entry_filetype(entry);
        named.insert(*path, type == AE_IFDIR);
        for (qsizetype slash = path->indexOf(u'/'); slash > 0; slash = path->indexOf(u'/', slash + 1))
            holders.insert(path->left(slash));
        if (type == AE_IFLNK) listing.symlinks.append(*path);
        if (type == AE_IFREG && archive_entry_size_is_set(entry) &&
            __builtin_add_overflow(listing.declaredBytes, std::max<la_int64_t>(0, archive_entry_size(entry)),
                                   &listing.declaredBytes))
            return std::nullopt;
    }
    for (auto it = named.cbegin(); it != named.cend(); ++it)
        if (!it.value() && holders.contains(it.key())) return std::nullopt;
    return listing;
}

} // namespace dormio::ArchiveEntries
