#pragma once

// Releases made the way a real one is: the release tool makes the key pair, writes each bundle's manifest,
// packs and signs the archive and prints the feed entry. Everything lives in a temporary folder.

#include "OstrelKit/Updater/UpdateFeed.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace dormio::test {

inline constexpr const char* appIdentifier = "app.dormio.tests";

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the release tool and waits for it (it is killed and reaped if it takes more than a few seconds).
ToolRun runReleaseTool(const QStringList& arguments);

class ReleaseFixture {
public:
    ReleaseFixture();

    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString publicKey() const { return publicKey_; }
    QString secretKeyFile() const { return path("secret.key"); }

    // The info keys of this app at `version`.
    static QJsonObject info(const QString& version);
    // A bundle folder at `relative` holding Info.json and the given files (path -> bytes), no manifest yet.
    QString bundle(const QString& relative, const QJsonObject& info,
                   const QMap<QString, QByteArray>& files = {}) const;
    // Writes the bundle's manifest and packs it into `<bundle>.zip` beside it; returns the archive.
    QString release(const QString& bundle) const;
    // The feed the tool prints for `archive` at `version`, downloaded from `downloadUrl`.
    UpdateFeed feed(const QString& archive, const QString& version, const QString& downloadUrl) const;
    // The tool's signature of a file.
    QString sign(const QString& file) const;

    static QByteArray read(const QString& file);
    static void write(const QString& file, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
    QString publicKey_;
};

} // namespace dormio::test
