#pragma once

// Writes a zip archive entry by entry, with each entry's permission bits and type as given.

#include <QByteArray>
#include <QString>
#include <memory>
#include <sys/types.h>

struct archive;

namespace dormio::release {

class ZipWriter {
public:
    // Starts the archive at `path`; `ok()` says whether that worked.
    explicit ZipWriter(const QString& path);
    ~ZipWriter();

    // `mode` holds the type bits too (S_IFREG, S_IFDIR, S_IFLNK, or any other the test needs).
    void add(const QByteArray& path, mode_t mode, const QByteArray& data = {},
             const QByteArray& symlink = {});
    void addFolder(const QByteArray& path, mode_t permissions = 0755);
    void addFile(const QByteArray& path, const QByteArray& data, mode_t permissions = 0644);
    void addSymlink(const QByteArray& path, const QByteArray& target);
    // A regular file of `size` zero bytes, handed over a slice at a time: an archive bomb without the
    // memory to hold it.
    void addZeros(const QByteArray& path, qint64 size);

    // Finishes the archive; false when any step failed.
    bool close();
    bool ok() const { return ok_; }

private:
    void writeHeader(const QByteArray& path, mode_t mode, qint64 size, const QByteArray& symlink);

    std::unique_ptr<archive, int (*)(archive*)> archive_;
    bool ok_ = false;
};

} // namespace dormio::release
