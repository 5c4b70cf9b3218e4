// A whole self-update on this machine: a small application linking the kit runs from a 1.0 bundle in a
// temporary folder, finds 2.0 in a feed served on the loopback address, downloads and stages it, quits,
// and the install script swaps the bundles behind it.

#include "OstrelKit/Updater/InstallScript.h"
#include "OstrelKit/Updater/Staging.h"
#include "UpdaterFixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <csignal>

namespace dormio {
namespace {

using namespace test;

class SelfUpdateTest : public UpdaterTest {
protected:
    QString installed() const { return release.path("Installed/Dormio.app"); }
    QString marker() const { return release.path("relaunched"); }

    // A bundle of the host program at `version`.
    QString hostBundle(const QString& relative, QJsonObject info) {
        const QString bundle =
            release.bundle(relative, info, {{"bin/ostrel-host", ReleaseFixture::read(OSTREL_HOST)}});
        QFile::setPermissions(bundle + "/bin/ostrel-host",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                  QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        return bundle;
    }

    void SetUp() override {
        UpdaterTest::SetUp();
        serveArchive(release.release(hostBundle("Releases/2.0/Dormio.app", ReleaseFixture::info("2.0"))),
                     "2.0");
        QJsonObject info = ReleaseFixture::info("1.0");
        info.insert("OstrelUpdateFeedURL", server.url("/feed.json"));
        info.insert("OstrelUpdatePublicKey", release.publicKey());
        hostBundle("Installed/Dormio.app", info);
    }

    // Starts the installed 1.0 and serves it until it says the update is ready.
    void startHost(QProcess& host, const QString& quit) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("OSTREL_HOST_TARGET", "2.0");
        environment.insert("OSTREL_HOST_MARKER", marker());
        environment.insert("OSTREL_HOST_QUIT", quit);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        host.setProcessEnvironment(environment);
        host.start(installed() + "/bin/ostrel-host");
        ASSERT_TRUE(host.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return host.canReadLine() || host.state() == QProcess::NotRunning; }, 15000));
        EXPECT_EQ(host.readLine().trimmed(), "ready") << host.readAllStandardError().toStdString();
    }

    QString installedVersion() const {
        return QJsonDocument::fromJson(ReleaseFixture::read(installed() + "/Info.json"))
            .object()
            .value("CFBundleShortVersionString")
            .toString();
    }

    bool installedCleanly() const {
        return installedVersion() == "2.0" && !QFileInfo::exists(installed() + InstallScript::oldSuffix) &&
               !QFileInfo::exists(installed() + InstallScript::newSuffix) &&
               !QFileInfo::exists(stagingRoot());
    }
};

TEST_F(SelfUpdateTest, RestartNowInstallsTheUpdateAndStartsIt) {
    QElapsedTimer elapsed;
    elapsed.start();
    QProcess host; // reaped the moment it ends, so the script does not wait for it
    startHost(host, "restart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(host.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker()); }, 5000));
    EXPECT_EQ(ReleaseFixture::read(marker()), "2.0\n");
    EXPECT_TRUE(installedCleanly());
    EXPECT_LT(elapsed.elapsed(), 10000);
}

TEST_F(SelfUpdateTest, ASigtermIsAnOrdinaryQuitThatInstallsTheUpdate) {
    QProcess host;
    startHost(host, "sigterm");
    ASSERT_EQ(::kill(pid_t(host.processId()), SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return installedCleanly(); }, 5000));
    EXPECT_FALSE(QFileInfo::exists(marker())); // a plain quit leaves it closed
}

} // namespace
} // namespace dormio
