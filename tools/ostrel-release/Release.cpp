#include "ostrel-release/Release.h"

#include "OstrelKit/Updater/AppBundle.h"
#include "OstrelKit/Updater/Manifest.h"
#include "OstrelKit/Updater/UpdateUrl.h"
#include "ostrel-release/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <filesystem>
#include <sodium.h>
#include <sys/stat.h>

namespace dormio::release {

namespace {

QString base64(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}

Result<QByteArray> readSecretKey(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return Failure{"The secret key file “" + file + "” can’t be read."};
    const auto decoded =
        QByteArray::fromBase64Encoding(in.read(1024).trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != crypto_sign_SECRETKEYBYTES)
        return Failure{"“" + file + "” doesn’t hold a secret key."};
    return decoded.decoded;
}

// The bundle's entries as they will be once unpacked: permission bits normalised.
Result<QList<ManifestEntry>> unpackedEntries(const QString& bundle) {
    if (!AppBundle::open(bundle))
        return Failure{"“" + bundle + "” isn’t a bundle: a folder ending in “.app” with an Info.json."};
    auto described = Manifest::describe(bundle);
    if (const auto* failure = std::get_if<QString>(&described)) return Failure{*failure};
    auto entries = std::get<QList<ManifestEntry>>(std::move(described));
    for (ManifestEntry& entry : entries)
        if (!entry.isSymlink()) entry.mode = Manifest::normalisedMode(entry.mode, false);
    return entries;
}

} // namespace

Result<QString> makeKeys(const QString& secretKeyFile) {
    if (sodium_init() < 0) return Failure{"The cryptography library can’t start."};
    QByteArray publicKey(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                        reinterpret_cast<unsigned char*>(secretKey.data()));
    QFile out(secretKeyFile);
    if (out.exists()) return Failure{"“" + secretKeyFile + "” exists already; it is never overwritten."};
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        !out.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        out.write(secretKey.toBase64() + '\n') < 0)
        return Failure{"The secret key couldn’t be written to “" + secretKeyFile + "”."};
    sodium_memzero(secretKey.data(), size_t(secretKey.size()));
    return base64(publicKey);
}

Result<QString> writeManifest(const QString& bundle) {
    auto entries = unpackedEntries(bundle);
    if (const auto* failure = std::get_if<Failure>(&entries)) return *failure;
    QSaveFile out(QDir(bundle).filePath(Manifest::fileName));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(Manifest::encode(std::get<QList<ManifestEntry>>(entries))) < 0 || !out.commit())
        return Failure{"The manifest couldn’t be written into “" + bundle + "”."};
    return QString::number(std::get<QList<ManifestEntry>>(entries).size()) + " files listed";
}

Result<QString> pack(const QString& bundle, const QString& archive) {
    auto entries = unpackedEntries(bundle);
    if (const auto* failure = std::get_if<Failure>(&entries)) return *failure;
    QFile listed(QDir(bundle).filePath(Manifest::fileName));
    const auto manifest =
        listed.open(QIODevice::ReadOnly) ? Manifest::decode(listed.readAll()) : std::nullopt;
    if (!manifest || *manifest != std::get<QList<ManifestEntry>>(entries))
        return Failure{"The manifest of “" + bundle + "” doesn’t match what it holds; write it again first."};

    namespace fs = std::filesystem;
    const fs::path root(
        QFile::encodeName(QDir::cleanPath(QFileInfo(bundle).absoluteFilePath())).toStdString());
    // Sorted, so that the same bundle always packs into the same archive.
    std::vector<fs::path> paths;
    std::error_code error;
    for (fs::recursive_directory_iterator walk(root, error), end; !error && walk != end;
         walk.increment(error))
        paths.push_back(walk->path());
    std::sort(paths.begin(), paths.end());

    const QByteArray top = QFile::encodeName(QFileInfo(bundle).fileName());
    ZipWriter zip(archive);
    zip.addFolder(top);
    for (const fs::path& full : paths) {
        const QByteArray path = top + '/' + QByteArray::fromStdString(full.lexically_relative(root).string());
        struct stat status {};
        if (::lstat(full.c_str(), &status) != 0)
            return Failure{"“" + QFile::decodeName(path) + "” can’t be read."};
        if (S_ISDIR(status.st_mode)) {
            zip.addFolder(path, status.st_mode & 07777);
        } else if (S_ISLNK(status.st_mode)) {
            zip.addSymlink(path, QByteArray::fromStdString(fs::read_symlink(full, error).string()));
        } else {
            QFile file(QFile::decodeName(full.c_str()));
            if (!file.open(QIODevice::ReadOnly))
                return Failure{"“" + QFile::decodeName(path) + "” can’t be read."};
            zip.add(path, S_IFREG | (status.st_mode & 07777), file.readAll());
        }
    }
    if (error || !zip.close()) return Failure{"The archive “" + archive + "” couldn’t be written."};
    return archive;
}

Result<QString> sign(const QString& secretKeyFile, const QString& file) {
    auto secretKey = readSecretKey(secretKeyFile);
    if (const auto* failure = std::get_if<Failure>(&secretKey)) return *failure;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return Failure{"“" + file + "” can’t be read."};
    const QByteArray data = in.readAll();
    QByteArray signature(crypto_sign_BYTES, '\0');
    const QByteArray& key = std::get<QByteArray>(secretKey);
    if (sodium_init() < 0 ||
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(data.constData()), size_t(data.size()),
                             reinterpret_cast<const unsigned char*>(key.constData())) != 0)
        return Failure{"“" + file + "” couldn’t be signed."};
    return base64(signature);
}

Result<QString> feedEntry(const QString& secretKeyFile, const QString& archive, UpdateFeed feed) {
    if (!isPlainVersionText(feed.version))
        return Failure{"“" + feed.version +
                       "” isn’t a plain version: letters, digits, “.”, “-” and “+”, at most 64."};
    if (!feed.download || !UpdateUrl::parse(feed.download->url) ||
        !UpdateUrl::isAllowed(*UpdateUrl::parse(feed.download->url)))
        return Failure{QStringLiteral("The download address must be an https address.")};
    auto signature = sign(secretKeyFile, archive);
    if (const auto* failure = std::get_if<Failure>(&signature)) return *failure;
    feed.download->length = QFileInfo(archive).size();
    feed.download->edSignature = std::get<QString>(signature);
    return QString::fromUtf8(feed.encode());
}

} // namespace dormio::release
