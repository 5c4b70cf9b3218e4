#include "OstrelKit/Updater/Manifest.h"

#include "OstrelKit/Updater/LinkChain.h"
#include "OstrelKit/Updater/RegularFile.h"
#include "OstrelKit/Updater/RelativePath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace dormio::Manifest {

namespace {

namespace fs = std::filesystem;

constexpr qint64 maxManifestBytes = 16 << 20;
constexpr qsizetype maxEntries = 100000;

std::optional<QByteArray> sha256Of(const QString& path) {
    QFile file;
    if (!openRegularFile(path, file)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return hash.result().toHex();
}

QString modeText(mode_t mode) {
    return QStringLiteral("%1").arg(uint(mode), 4, 8, QLatin1Char('0'));
}

std::optional<mode_t> readModeText(const QString& text) {
    if (text.size() != 4) return std::nullopt;
    mode_t mode = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'7') return std::nullopt;
        mode = mode * 8 + mode_t(c.unicode() - u'0');
    }
    return mode;
}

bool isLowerHex(const QString& text, qsizetype size) {
    return text.size() == size && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

std::optional<ManifestEntry> decodeEntry(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue path = object.value("path");
    if (!path.isString() || !RelativePath::isClean(path.toString())) return std::nullopt;
    ManifestEntry entry{path.toString(), {}, 0, {}};
    const QJsonValue symlink = object.value("symlink");
    if (symlink.isString() && !object.contains("sha256") && !object.contains("mode")) {
        entry.symlink = symlink.toString();
        if (entry.symlink.isEmpty()) return std::nullopt;
        return entry;
    }
    const QJsonValue sha256 = object.value("sha256");
    const QJsonValue mode = object.value("mode");
    if (!sha256.isString() || !isLowerHex(sha256.toString(), 64) || !mode.isString() ||
        object.contains("symlink"))
        return std::nullopt;
    const auto bits = readModeText(mode.toString());
    if (!bits) return std::nullopt;
    entry.sha256 = sha256.toString().toLatin1();
    entry.mode = *bits;
    return entry;
}

} // namespace

mode_t normalisedMode(mode_t mode, bool folder) {
    mode &= 0777 & ~mode_t(S_IWGRP | S_IWOTH);
    return mode | (folder ? S_IRWXU : (S_IRUSR | S_IWUSR));
}

std::variant<QList<ManifestEntry>, QString> describe(const QString& bundle) {
    const fs::path root(QFile::encodeName(bundle).toStdString());
    const QString unreadable = QStringLiteral("The bundle’s folder can’t be read.");
    std::error_code error;
    fs::recursive_directory_iterator walk(root, fs::directory_options::none, error);
    if (error) return unreadable;

    QList<ManifestEntry> entries;
    for (; walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        if (error) return unreadable;
        if (entries.size() >= maxEntries) return QStringLiteral("The bundle holds too many files.");
        const QString path = QFile::decodeName(walk->path().c_str());
        const QString relative = QFile::decodeName(walk->path().lexically_relative(root).c_str());
        struct stat status {};
        if (::lstat(walk->path().c_str(), &status) != 0)
            return QStringLiteral("“%1” can’t be read.").arg(relative);
        if (S_ISDIR(status.st_mode) || (S_ISREG(status.st_mode) && relative == fileName)) continue;
        if (S_ISREG(status.st_mode)) {
            const auto hash = sha256Of(path);
            if (!hash) return QStringLiteral("“%1” can’t be read.").arg(relative);
            entries.append({relative, *hash, mode_t(status.st_mode & 07777), {}});
        } else if (S_ISLNK(status.st_mode)) {
            const QString target = QFile::decodeName(fs::read_symlink(walk->path(), error).c_str());
            const LinkChain::End end = LinkChain::resolve(bundle, relative);
            if (end.kind == LinkChain::End::Kind::loop)
                return QStringLiteral("The symlink “%1” leads round in a loop.").arg(relative);
            if (error || end.kind != LinkChain::End::Kind::inside || !end.exists)
                return QStringLiteral("The symlink “%1” leads out of the bundle.").arg(relative);
            entries.append({relative, {}, 0, target});
        } else {
            return QStringLiteral("“%1” is neither a file, a folder nor a symlink.").arg(relative);
        }
    }
    if (error) return unreadable;
    std::sort(entries.begin(), entries.end(),
              [](const ManifestEntry& a, const ManifestEntry& b) { return a.path < b.path; });
    return entries;
}

QByteArray encode(const QList<ManifestEntry>& entries) {
    QJsonArray files;
    for (const ManifestEntry& entry : entries) {
        if (entry.isSymlink())
            files.append(QJsonObject{{"path", entry.path}, {"symlink", entry.symlink}});
        else
            files.append(QJsonObject{{"path", entry.path},
                                     {"sha256", QString::fromLatin1(entry.sha256)},
                                     {"mode", modeText(entry.mode)}});
    }
    return QJsonDocument(QJsonObject{{"files", files}}).toJson(QJsonDocument::Indented);
}

std::optional<QList<ManifestEntry>> decode(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonValue files = document.object().value("files");
    if (!files.isArray() || files.toArray().size() > maxEntries) return std::nullopt;
    QList<ManifestEntry> entries;
    for (const QJsonValue& value : files.toArray()) {
        auto entry = decodeEntry(value);
        if (!entry) return std::nullopt;
        entries.append(std::move(*entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const ManifestEntry& a, const ManifestEntry& b) { return a.path < b.path; });
    const auto twice = std::adjacent_find(entries.begin(), entries.end(),
                                          [](const auto& a, const auto& b) { return a.path == b.path; });
    if (twice != entries.end()) return std::nullopt;
    return entries;
}

bool matches(const QString& bundle) {
    const auto document = readRegularFile(QDir(bundle).filePath(fileName), maxManifestBytes);
    const auto listed = document ? decode(*document) : std::nullopt;
    if (!listed) return false;
    const auto found = describe(bundle);
    const auto* entries = std::get_if<QList<ManifestEntry>>(&found);
    return entries && *entries == *listed;
}

} // namespace dormio::Manifest
