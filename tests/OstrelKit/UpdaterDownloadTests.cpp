#include "UpdaterFixture.h"
#include "ostrel-release/ZipWriter.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <sys/stat.h>

namespace dormio {
namespace {

using namespace test;

QByteArray noise(qsizetype size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(18);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

TEST_F(UpdaterTest, ANewerVersionDownloadsWithProgressAndIsReady) {
    // Random bytes do not compress, so the archive is big enough to report progress on the way.
    const QString bundle =
        release.bundle("Releases/2.1.0/Dormio.app", ReleaseFixture::info("2.1.0"),
                       {{"bin/dormio", "#!/bin/sh\necho 2.1.0\n"}, {"lib/data", noise(1 << 20)}});
    const UpdateFeed feed = serveArchive(release.release(bundle), "2.1.0", /*paced=*/true);
    Updater& u = make();
    u.check(false);
    ASSERT_TRUE(waitUntilSettled());
    ASSERT_EQ(u.phase(), Updater::Phase::ready(feed)) << u.phase().message.toStdString();

    ASSERT_GE(phases.size(), 5);
    EXPECT_EQ(phases.first(), Updater::Phase::checking());
    EXPECT_EQ(phases.at(1), Updater::Phase::downloading(feed, 0));
    EXPECT_EQ(phases.at(phases.size() - 2), Updater::Phase::downloading(feed, 1.0));
    double last = 0;
    int between = 0;
    for (const Updater::Phase& phase : phases.mid(1, phases.size() - 2)) {
        EXPECT_EQ(phase.kind, Kind::downloading);
        EXPECT_GE(phase.progress, last);
        between += phase.progress > 0 && phase.progress < 1;
        last = phase.progress;
    }
    EXPECT_GE(between, 1);

    const QString staged = stagingRoot() + "/2.1.0/Dormio.app";
    EXPECT_EQ(u.stagedApp(), QFileInfo(staged).canonicalFilePath());
    EXPECT_EQ(ReleaseFixture::read(staged + "/bin/dormio"), "#!/bin/sh\necho 2.1.0\n");
    EXPECT_EQ(server.requests("/Dormio-2.1.0.zip"), 1);
    EXPECT_EQ(windows->count(), 1); // announced once it is ready

    // Ready stays ready: a background check changes nothing, a user's brings the window forward.
    u.check(false);
    u.check(true);
    EXPECT_EQ(u.phase(), Updater::Phase::ready(feed));
    EXPECT_EQ(windows->count(), 2);
    EXPECT_EQ(server.requests("/feed.json"), 1);
}

TEST_F(UpdaterTest, TwoChecksAtOnceDownloadOnce) {
    const UpdateFeed feed = publish("2.1.0");
    Updater& u = make();
    QSignalSpy fetched(&u, &Updater::lastCheckedChanged);
    u.check(true);
    u.check(false);
    u.check(true);
    // Every check's feed arrives; the first starts the download, the later ones change nothing.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return fetched.count() == 3 && u.phase().kind == Kind::ready; }, 10000));
    EXPECT_EQ(u.phase(), Updater::Phase::ready(feed));
    EXPECT_EQ(server.requests("/feed.json"), 3);
    EXPECT_EQ(server.requests("/Dormio-2.1.0.zip"), 1);

    u.download(feed); // a ready update is never downloaded again
    EXPECT_EQ(u.phase(), Updater::Phase::ready(feed));
}

TEST_F(UpdaterTest, ACheckDuringADownloadLeavesItAlone) {
    const QString bundle = release.bundle("Releases/2.1.0/Dormio.app", ReleaseFixture::info("2.1.0"));
    const QString archive = release.release(bundle);
    const UpdateFeed feed = release.feed(archive, "2.1.0", server.url("/slow.zip"));
    server.serve("/slow.zip", {200, ReleaseFixture::read(archive), std::nullopt, 100}); // stalls
    serveFeed(feed);
    Updater& u = make();
    u.download(feed);
    ASSERT_EQ(u.phase().kind, Kind::downloading);
    u.check(true);
    u.check(false);
    u.download(feed);
    EXPECT_EQ(u.phase(), Updater::Phase::downloading(feed, 0));
    EXPECT_EQ(windows->count(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests("/slow.zip") == 1; }, 10000));
    EXPECT_EQ(u.phase(), Updater::Phase::downloading(feed, 0));
    EXPECT_EQ(server.requests("/feed.json"), 0);
}

TEST_F(UpdaterTest, ADownloadThatCannotStartLeavesTheUpdateOffered) {
    const UpdateFeed feed = publish("2.1.0");
    UpdateFeed noDownload = feed;
    noDownload.download.reset();
    UpdateFeed noAddress = feed;
    noAddress.download->url = "not an address";
    make().download(noDownload);
    EXPECT_EQ(updater->phase(), Updater::Phase::available(noDownload));
    make().download(noAddress);
    EXPECT_EQ(updater->phase(), Updater::Phase::available(noAddress));
    QJsonObject noKey = installedInfo();
    noKey.remove("OstrelUpdatePublicKey");
    make(noKey).download(feed);
    EXPECT_EQ(updater->phase(), Updater::Phase::available(feed));
    EXPECT_EQ(server.requests("/Dormio-2.1.0.zip"), 0);
}

// Every refusal before unpacking: the phase says why, and nothing reaches the staging folder.
TEST_F(UpdaterTest, AnArchiveThatIsNotTheOneSignedIsRefusedBeforeUnpacking) {
    const QString bundle = release.bundle("Releases/2.1.0/Dormio.app", ReleaseFixture::info("2.1.0"));
    const QString archive = release.release(bundle);
    const QByteArray bytes = ReleaseFixture::read(archive);
    const UpdateFeed signedFeed = release.feed(archive, "2.1.0", server.url("/Dormio.zip"));
    const qint64 length = bytes.size();
    QByteArray tampered = bytes;
    tampered[length / 2] = char(tampered[length / 2] ^ 0x20);
    ReleaseFixture other;
    const QString otherSignature = other.sign(archive);

    const auto withDownload = [&](const std::function<void(UpdateFeed::Download&)>& change) {
        UpdateFeed feed = signedFeed;
        change(*feed.download);
        return feed;
    };
    struct Case {
        const char* what;
        Response response;
        UpdateFeed feed;
        QString message;
        QString publicKey = {};
    };
    const QString prefix = UpdateMessage::downloadFailedPrefix;
    const Case cases[] = {
        {"404", {404, "gone"}, signedFeed, UpdateMessage::fileNotDownloaded},
        {"shorter", {200, bytes.chopped(1)}, signedFeed, UpdateMessage::incomplete},
        {"length + 1024", {200, bytes + QByteArray(1024, 'x')}, signedFeed, UpdateMessage::incomplete},
        {"length + 1025",
         {200, bytes + QByteArray(1025, 'x')},
         signedFeed,
         UpdateMessage::largerThanExpected},
        {"a server announcing too much",
         {200, bytes, length + 1025, length},
         signedFeed,
         UpdateMessage::largerThanExpected},
        {"another key's signature",
         {200, bytes},
         withDownload([&](auto& d) { d.edSignature = otherSignature; }),
         UpdateMessage::badSignature},
        {"a tampered byte", {200, tampered}, signedFeed, UpdateMessage::badSignature},
        {"a malformed signature",
         {200, bytes},
         withDownload(
             [&](auto& d) { d.edSignature = d.edSignature.left(40) + "\n" + d.edSignature.mid(40); }),
         UpdateMessage::badSignature},
        {"a short signature",
         {200, bytes},
         withDownload([&](auto& d) { d.edSignature = d.edSignature.left(84) + "=="; }),
         UpdateMessage::badSignature},
        {"a malformed key",
         {200, bytes},
         signedFeed,
         UpdateMessage::badSignature,
         "AAAA" + release.publicKey()},
        {"a stalled transfer", {200, bytes, std::nullopt, 100}, signedFeed, prefix + UpdateMessage::timedOut},
        {"plain http elsewhere",
         {200, bytes},
         withDownload([&](auto& d) { d.url = "http://dormio.example/Dormio.zip"; }),
         UpdateMessage::insecureAddress},
        {"a redirect to plain http",
         {302, "", std::nullopt, std::nullopt, "http://dormio.example/Dormio.zip"},
         signedFeed,
         prefix + "The server sent the request to an address that isn’t secure."},
        {"a negative length",
         {200, bytes},
         withDownload([&](auto& d) { d.length = -1; }),
         UpdateMessage::badLength},
        {"a length beyond the cap",
         {200, bytes},
         withDownload([&](auto& d) { d.length = Updater::maxArchiveBytes + 1; }),
         UpdateMessage::badLength},
        {"a length at the top of the range",
         {200, bytes},
         withDownload([&](auto& d) { d.length = std::numeric_limits<qint64>::max(); }),
         UpdateMessage::badLength},
    };
    UpdaterEnvironment quick = environment();
    quick.archiveStall = std::chrono::milliseconds(300);
    for (const Case& c : cases) {
        server.serve("/Dormio.zip", c.response);
        QJsonObject info = installedInfo();
        if (!c.publicKey.isEmpty()) info.insert("OstrelUpdatePublicKey", c.publicKey);
        Updater& u = make(info, quick);
        u.download(c.feed);
        ASSERT_TRUE(waitFor(Kind::failed)) << c.what;
        EXPECT_EQ(u.phase(), Updater::Phase::failed(c.message)) << c.what;
        EXPECT_EQ(u.stagedApp(), std::nullopt) << c.what;
        EXPECT_TRUE(nothingStaged()) << c.what;
    }
}

// A server that sends a byte now and then never lets a transfer stall; each one still ends by its
// deadline, and a new check afterwards works as if nothing had happened.
TEST_F(UpdaterTest, ATrickleEndsByTheDeadlineAndTheNextCheckWorks) {
    const QString archive =
        release.release(release.bundle("Releases/2.1.0/Dormio.app", ReleaseFixture::info("2.1.0")));
    const UpdateFeed feed = serveArchive(archive, "2.1.0");
    const QByteArray bytes = ReleaseFixture::read(archive);
    UpdaterEnvironment quick = environment();
    quick.feedDeadline = std::chrono::milliseconds(400);
    quick.archiveDeadlineFloor = std::chrono::milliseconds(400);
    Updater& u = make(installedInfo(), quick);

    server.serve("/feed.json", {200, feed.encode(), std::nullopt, std::nullopt, {}, false, 50});
    u.check(true);
    ASSERT_TRUE(waitFor(Kind::failed));
    EXPECT_EQ(u.phase(), Updater::Phase::failed(UpdateMessage::checkFailed));

    serveFeed(feed);
    server.serve("/Dormio-2.1.0.zip", {200, bytes, std::nullopt, std::nullopt, {}, false, 50});
    u.check(true);
    ASSERT_TRUE(waitFor(Kind::failed));
    EXPECT_EQ(u.phase(),
              Updater::Phase::failed(UpdateMessage::downloadFailedPrefix + QString(UpdateMessage::timedOut)));
    EXPECT_TRUE(nothingStaged());

    server.serve("/Dormio-2.1.0.zip", {200, bytes});
    u.check(true);
    ASSERT_TRUE(waitFor(Kind::ready));
    EXPECT_EQ(u.phase(), Updater::Phase::ready(feed));
}

TEST(UpdaterDeadline, TheArchivesDeadlineGrowsWithItsLength) {
    using std::chrono::minutes;
    using std::chrono::seconds;
    EXPECT_EQ(Updater::archiveDeadline(0, minutes(10)), minutes(10));
    EXPECT_EQ(Updater::archiveDeadline(300 << 20, minutes(10)), minutes(10));
    EXPECT_EQ(Updater::archiveDeadline(400 << 20, minutes(10)), seconds(800));
    EXPECT_EQ(Updater::archiveDeadline(Updater::maxArchiveBytes, minutes(10)), seconds(2048));
}

TEST_F(UpdaterTest, AConnectionRefusedIsReportedInItsOwnWords) {
    const UpdateFeed feed = publish("2.1.0");
    UpdateFeed elsewhere = feed;
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    elsewhere.download->url = QStringLiteral("http://127.0.0.1:%1/Dormio.zip").arg(closed.serverPort());
    closed.close();
    Updater& u = make();
    u.download(elsewhere);
    ASSERT_TRUE(waitFor(Kind::failed));
    EXPECT_TRUE(u.phase().message.startsWith(UpdateMessage::downloadFailedPrefix));
    EXPECT_GT(u.phase().message.size(), QString(UpdateMessage::downloadFailedPrefix).size() + 3);
    EXPECT_TRUE(u.phase().message.endsWith(u'.'));
    EXPECT_TRUE(nothingStaged());
}

// A signed archive can still hold the wrong thing; after unpacking it is refused and removed.
TEST_F(UpdaterTest, AnUnpackedUpdateThatIsNotThisAppIntactIsRefused) {
    const auto bundleWith = [&](const QString& name, const QJsonObject& info,
                                const QMap<QString, QByteArray>& files) {
        return release.bundle("Cases/" + name + "/Dormio.app", info, files);
    };
    const auto packed = [&](const QString& bundle) { return release.release(bundle); };
    const auto changedAfterManifest = [&](const QString& name,
                                          const std::function<void(const QString&)>& change) {
        const QString bundle = bundleWith(name, ReleaseFixture::info("2.1.0"), {{"bin/dormio", "program"}});
        EXPECT_EQ(runReleaseTool({"manifest", bundle}).exitCode, 0);
        change(bundle);
        const QString archive = bundle + ".zip";
        release::ZipWriter zip(archive);
        QDirIterator files(bundle, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QByteArray name = "Dormio.app/" + QFile::encodeName(QDir(bundle).relativeFilePath(path));
            if (QFileInfo(path).isSymLink())
                zip.addSymlink(name, QFile::encodeName(QFileInfo(path).symLinkTarget()));
            else if (!QFileInfo(path).isDir())
                zip.add(name, S_IFREG | (QFileInfo(path).permissions() & QFile::ExeOwner ? 0755 : 0644),
                        ReleaseFixture::read(path));
        }
        EXPECT_TRUE(zip.close());
        return archive;
    };
    // A correct release with one more entry written into its archive.
    const auto withEntry = [&](const QString& name, const std::function<void(release::ZipWriter&)>& add) {
        const QString bundle = bundleWith(name, ReleaseFixture::info("2.1.0"), {{"bin/dormio", "program"}});
        EXPECT_EQ(runReleaseTool({"manifest", bundle}).exitCode, 0);
        const QString archive = bundle + ".zip";
        release::ZipWriter zip(archive);
        zip.addFile("Dormio.app/Info.json", ReleaseFixture::read(bundle + "/Info.json"));
        zip.addFile("Dormio.app/Manifest.json", ReleaseFixture::read(bundle + "/Manifest.json"));
        zip.addFile("Dormio.app/bin/dormio", "program");
        add(zip);
        EXPECT_TRUE(zip.close());
        return archive;
    };
    QJsonObject otherApp = ReleaseFixture::info("2.1.0");
    otherApp.insert("CFBundleIdentifier", "app.someone.else");
    QJsonObject noIdentifier = ReleaseFixture::info("2.1.0");
    noIdentifier.remove("CFBundleIdentifier");
    QJsonObject numericVersion = ReleaseFixture::info("2.1.0");
    numericVersion.insert("CFBundleShortVersionString", 2.1);

    const QString outside = stagingRoot() + "/outside";
    struct Case {
        const char* what;
        std::function<QString()> archive;
        QString message;
    };
    const Case cases[] = {
        {"no .app at the top",
         [&] {
             const QString archive = release.path("Cases/payload.zip");
             QDir().mkpath(release.path("Cases"));
             release::ZipWriter zip(archive);
             zip.addFolder("Payload/Dormio.app");
             zip.addFile("Payload/Dormio.app/Info.json",
                         QJsonDocument(ReleaseFixture::info("2.1.0")).toJson());
             EXPECT_TRUE(zip.close());
             return archive;
         },
         UpdateMessage::noApp},
        {"another identifier", [&] { return packed(bundleWith("other", otherApp, {})); },
         UpdateMessage::otherApp},
        {"no identifier", [&] { return packed(bundleWith("none", noIdentifier, {})); },
         UpdateMessage::otherApp},
        {"version 2.1 for 2.1.0",
         [&] { return packed(bundleWith("short", ReleaseFixture::info("2.1"), {})); },
         UpdateMessage::otherApp},
        {"a version that is a number", [&] { return packed(bundleWith("number", numericVersion, {})); },
         UpdateMessage::otherApp},
        {"no Info.json",
         [&] {
             return changedAfterManifest("noinfo", [](const QString& b) { QFile::remove(b + "/Info.json"); });
         },
         UpdateMessage::otherApp},
        {"a file changed after the manifest",
         [&] {
             return changedAfterManifest(
                 "changed", [](const QString& b) { ReleaseFixture::write(b + "/bin/dormio", "evil"); });
         },
         UpdateMessage::damaged},
        {"an extra file",
         [&] {
             return changedAfterManifest(
                 "extra", [](const QString& b) { ReleaseFixture::write(b + "/bin/helper", "evil"); });
         },
         UpdateMessage::damaged},
        {"no manifest",
         [&] {
             return changedAfterManifest("nomanifest",
                                         [](const QString& b) { QFile::remove(b + "/Manifest.json"); });
         },
         UpdateMessage::damaged},
        {"a ../ entry",
         [&] {
             return withEntry("dotdot",
                              [](release::ZipWriter& z) { z.addFile("Dormio.app/../../outside", "x"); });
         },
         UpdateMessage::notUnpacked},
        {"an absolute entry",
         [&] {
             return withEntry("absolute",
                              [&](release::ZipWriter& z) { z.addFile(QFile::encodeName(outside), "x"); });
         },
         UpdateMessage::notUnpacked},
        {"a symlink leading out of the folder",
         [&] {
             return withEntry("linkout",
                              [](release::ZipWriter& z) { z.addSymlink("Dormio.app/lib", "../../.."); });
         },
         UpdateMessage::notUnpacked},
        {"a symlink leading out of the app",
         [&] {
             return withEntry("linkapp",
                              [](release::ZipWriter& z) { z.addSymlink("Dormio.app/lib", "../.."); });
         },
         UpdateMessage::notUnpacked},
        {"a symlink out of the app but inside the folder",
         [&] {
             return withEntry("linkbeside", [](release::ZipWriter& z) {
                 z.addFolder("Beside");
                 z.addSymlink("Dormio.app/lib", "../Beside");
             });
         },
         UpdateMessage::notUnpacked},
        {"a setuid file its manifest lists as setuid",
         [&] {
             return changedAfterManifest("setuid", [](const QString& b) {
                 QByteArray manifest = ReleaseFixture::read(b + "/Manifest.json");
                 manifest.replace("\"0644\"", "\"4755\"");
                 ReleaseFixture::write(b + "/Manifest.json", manifest);
             });
         },
         UpdateMessage::damaged},
    };
    for (const Case& c : cases) {
        const UpdateFeed feed = serveArchive(c.archive(), "2.1.0");
        Updater& u = make();
        u.download(feed);
        ASSERT_TRUE(waitUntilSettled()) << c.what;
        EXPECT_EQ(u.phase(), Updater::Phase::failed(c.message)) << c.what;
        EXPECT_EQ(u.stagedApp(), std::nullopt) << c.what;
        EXPECT_FALSE(QFileInfo::exists(stagingRoot() + "/2.1.0")) << c.what;
        EXPECT_FALSE(QFileInfo::exists(outside)) << c.what;
        EXPECT_EQ(windows->count(), 0) << c.what;
    }
}

// A release tool run on a setuid program lists it as unpacking leaves it: the bit is cleared and the
// update is accepted.
TEST_F(UpdaterTest, ASetuidBitIsClearedOnUnpacking) {
    const QString bundle = release.bundle("Releases/2.1.0/Dormio.app", ReleaseFixture::info("2.1.0"),
                                          {{"bin/dormio", "program"}});
    ::chmod(QFile::encodeName(bundle + "/bin/dormio").constData(), 06777);
    const UpdateFeed feed = serveArchive(release.release(bundle), "2.1.0");
    Updater& u = make();
    u.download(feed);
    ASSERT_TRUE(waitUntilSettled());
    ASSERT_EQ(u.phase(), Updater::Phase::ready(feed)) << u.phase().message.toStdString();
    struct stat status {};
    ASSERT_EQ(::lstat(QFile::encodeName(*u.stagedApp() + "/bin/dormio").constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
}

} // namespace
} // namespace dormio
