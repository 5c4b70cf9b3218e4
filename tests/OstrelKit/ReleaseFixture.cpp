#include "ReleaseFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

namespace dormio::test {

ToolRun runReleaseTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(OSTREL_RELEASE_TOOL), arguments);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished();
        ADD_FAILURE() << "the release tool did not finish";
        return {};
    }
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(tool.readAllStandardError()).trimmed()};
}

ReleaseFixture::ReleaseFixture() {
    const ToolRun keys = runReleaseTool({"keys", secretKeyFile()});
    EXPECT_EQ(keys.exitCode, 0) << keys.err.toStdString();
    publicKey_ = keys.out;
}

QJsonObject ReleaseFixture::info(const QString& version) {
    return {{"CFBundleIdentifier", appIdentifier},
            {"CFBundleName", "Dormio"},
            {"CFBundleShortVersionString", version}};
}

QString ReleaseFixture::bundle(const QString& relative, const QJsonObject& info,
                               const QMap<QString, QByteArray>& files) const {
    const QString folder = path(relative);
    QDir().mkpath(folder);
    write(QDir(folder).filePath("Info.json"), QJsonDocument(info).toJson());
    for (auto file = files.begin(); file != files.end(); ++file)
        write(QDir(folder).filePath(file.key()), file.value());
    return folder;
}

QString ReleaseFixture::release(const QString& bundle) const {
    const ToolRun manifest = runReleaseTool({"manifest", bundle});
    EXPECT_EQ(manifest.exitCode, 0) << manifest.err.toStdString();
    const QString archive = bundle + ".zip";
    QFile::remove(archive);
    const ToolRun pack = runReleaseTool({"pack", bundle, archive});
    EXPECT_EQ(pack.exitCode, 0) << pack.err.toStdString();
    return archive;
}

UpdateFeed ReleaseFixture::feed(const QString& archive, const QString& version,
                                const QString& downloadUrl) const {
    const ToolRun run = runReleaseTool({"feed", secretKeyFile(), archive, "--version", version, "--url",
                                        "https://dormio.example/release", "--download-url", downloadUrl});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto feed = UpdateFeed::decode(run.out.toUtf8());
    EXPECT_TRUE(feed.has_value()) << run.out.toStdString();
    return feed.value_or(UpdateFeed{});
}

QString ReleaseFixture::sign(const QString& file) const {
    const ToolRun run = runReleaseTool({"sign", secretKeyFile(), file});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return run.out;
}

QByteArray ReleaseFixture::read(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void ReleaseFixture::write(const QString& file, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

} // namespace dormio::test
