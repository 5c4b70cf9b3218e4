#include "ostrel-release/ZipWriter.h"

#include <QFile>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

namespace dormio::release {

ZipWriter::ZipWriter(const QString& path) : archive_(archive_write_new(), archive_write_free) {
    ok_ = archive_ && archive_write_set_format_zip(archive_.get()) == ARCHIVE_OK &&
          archive_write_open_filename(archive_.get(), QFile::encodeName(path).constData()) == ARCHIVE_OK;
}

ZipWriter::~ZipWriter() {
    close();
}

void ZipWriter::add(const QByteArray& path, mode_t mode, const QByteArray& data, const QByteArray& symlink) {
    writeHeader(path, mode, S_ISREG(mode) ? data.size() : 0, symlink);
    if (ok_ && S_ISREG(mode) && !data.isEmpty())
        ok_ = archive_write_data(archive_.get(), data.constData(), size_t(data.size())) == data.size();
}

void ZipWriter::writeHeader(const QByteArray& path, mode_t mode, qint64 size, const QByteArray& symlink) {
    if (!ok_) return;
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
    archive_entry_copy_pathname(entry.get(), path.constData());
    archive_entry_set_mode(entry.get(), mode);
    archive_entry_set_mtime(entry.get(), 1700000000, 0);
    if (S_ISLNK(mode)) archive_entry_copy_symlink(entry.get(), symlink.constData());
    archive_entry_set_size(entry.get(), size);
    ok_ = archive_write_header(archive_.get(), entry.get()) == ARCHIVE_OK;
}

void ZipWriter::addFolder(const QByteArray& path, mode_t permissions) {
    add(path.endsWith('/') ? path : path + '/', S_IFDIR | permissions);
}

void ZipWriter::addFile(const QByteArray& path, const QByteArray& data, mode_t permissions) {
    add(path, S_IFREG | permissions, data);
}

void ZipWriter::addSymlink(const QByteArray& path, const QByteArray& target) {
    add(path, S_IFLNK | 0777, {}, target);
}

void ZipWriter::addZeros(const QByteArray& path, qint64 size) {
    writeHeader(path, S_IFREG | 0644, size, {});
    const QByteArray slice(1 << 20, '\0');
    for (qint64 left = size; ok_ && left > 0; left -= slice.size()) {
        const auto part = size_t(std::min<qint64>(left, slice.size()));
        ok_ = archive_write_data(archive_.get(), slice.constData(), part) == la_ssize_t(part);
    }
}

bool ZipWriter::close() {
    if (!archive_) return ok_;
    if (archive_write_close(archive_.get()) != ARCHIVE_OK) ok_ = false;
    archive_.reset();
    return ok_;
}

} // namespace dormio::release
