#include "OstrelKit/Updater/RegularFile.h"

#include <QJsonDocument>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormio {

bool openRegularFile(const QString& path, QFile& file) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    QFile file;
    if (!openRegularFile(path, file) || file.size() > maxBytes) return std::nullopt;
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) return std::nullopt;
    return bytes;
}

std::optional<QJsonObject> readJsonObjectFile(const QString& path, qint64 maxBytes) {
    const auto bytes = readRegularFile(path, maxBytes);
    if (!bytes) return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

} // namespace dormio
