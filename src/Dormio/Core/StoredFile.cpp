#include "Dormio/Core/StoredFile.h"

#include "Dormio/Core/Clock.h"
#include "DormioKit/Date.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace dormio::StoredFile {

namespace {

// Renames without ever replacing what is at `to`; false with errno set when it did not rename.
bool renameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // A file system that cannot promise it: look first, on a folder only this app writes in.
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        errno = EEXIST;
        return false;
    }
    return std::rename(source.constData(), target.constData()) == 0;
}

QString failure(const QString& what, const QString& path, const QString& reason) {
    return what + QStringLiteral(" “") + path + QStringLiteral("”: ") + reason;
}

} // namespace

Contents read(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return {};
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return {Contents::State::damaged, {}};
    return {Contents::State::present, file.readAll()};
}

std::optional<QString> setAside(const QString& path) {
    const QString stamp = QDateTime::fromSecsSinceEpoch(qint64(currentDate().unix()))
                              .toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QStringLiteral(".damaged-") + stamp;
    for (int copy = 1; copy < 10'000; ++copy) {
        const QString aside = copy == 1 ? base : base + QLatin1Char('-') + QString::number(copy);
        if (renameNoReplace(path, aside)) return aside;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> write(const QString& path, std::string_view bytes, bool damaged) {
    return write(
        path, [&](const Put& put) { return put(bytes); }, damaged, QString());
}

std::optional<QString> write(const QString& path, const std::function<bool(const Put&)>& fill, bool damaged,
                             const QString& refused) {
    // Aside before the save file opens: it writes through a link to its target, which would overwrite a
    // damaged target and leave the link's own name without the new contents. A file that has gone
    // meanwhile leaves nothing to keep.
    if (damaged && !setAside(path) && errno != ENOENT)
        return failure(QStringLiteral("couldn’t set aside the damaged file"), path,
                       QString::fromLocal8Bit(std::strerror(errno)));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("couldn’t write"), path, file.errorString());
    bool putFailed = false;
    const bool filled = fill([&](std::string_view bytes) {
        putFailed = file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size());
        return !putFailed;
    });
    if (!filled && !putFailed) {
        file.cancelWriting();
        return refused;
    }
    if (!filled || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(QStringLiteral("couldn’t write"), path, reason);
    }
    return std::nullopt;
}

} // namespace dormio::StoredFile
