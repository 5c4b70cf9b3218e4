#include "OstrelKit/Updater/InstallScript.h"
#include "UpdaterFixture.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace dormio {
namespace {

using namespace test;

class UpdaterInstallTest : public UpdaterTest {
protected:
    QString installed() const { return release.path("Installed/Dormio.app"); }

    UpdaterEnvironment environment(InstallRules rules = {}) {
        UpdaterEnvironment environment = UpdaterTest::environment();
        environment.installRules = std::move(rules);
        environment.executable = release.path("Installed/Dormio.app/bin/dormio");
        return environment;
    }

    // An updater whose 2.1.0 update has been downloaded and staged.
    Updater& ready(InstallRules rules = {}) {
        publish("2.1.0");
        make(installedInfo(), environment(std::move(rules))).check(false);
        EXPECT_TRUE(waitFor(Kind::ready));
        return *updater;
    }
};

TEST_F(UpdaterInstallTest, AQuitInAnyOtherPhaseInstallsNothing) {
    publish("2.1.0");
    QSettings().setValue("OstrelAutoUpdate", false);
    Updater& u = make(installedInfo(), environment());
    u.installOnQuit(); // idle
    u.check(false);
    u.installOnQuit(); // checking
    ASSERT_TRUE(waitFor(Kind::available));
    u.installOnQuit();
    u.download(*u.phase().feed);
    ASSERT_EQ(u.phase().kind, Kind::downloading);
    u.installOnQuit();
    ASSERT_TRUE(waitFor(Kind::ready));
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(UpdaterInstallTest, AQuitWhenReadyHandsTheScriptItsPathsAsArguments) {
    Updater& u = ready();
    u.installOnQuit();
    ASSERT_EQ(launches.size(), 1);
    const QStringList& arguments = launches.first();
    EXPECT_EQ(arguments, (QStringList{"-c", InstallScript::text, "ostrel-update",
                                      QString::number(QCoreApplication::applicationPid()), *u.stagedApp(),
                                      installed(), "0", "bin/dormio"}));
    EXPECT_EQ(u.phase().kind, Kind::ready); // the quit goes on; the phase stays
    EXPECT_EQ(quits, 0);
}

TEST_F(UpdaterInstallTest, RestartNowQuitsAndAsksTheScriptToStartTheNewCopy) {
    Updater& u = ready();
    u.installAndRelaunch();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(u.relaunchAfterInstall());
    EXPECT_TRUE(launches.isEmpty()); // the install waits for the quit itself
    u.installOnQuit();
    ASSERT_EQ(launches.size(), 1);
    EXPECT_EQ(launches.first().at(6), "1");
}

TEST_F(UpdaterInstallTest, OnlyAProgramInsideTheBundleIsStartedAgain) {
    publish("2.1.0");
    UpdaterEnvironment outside = environment();
    outside.executable = release.path("elsewhere/dormio");
    make(installedInfo(), outside).check(false);
    ASSERT_TRUE(waitFor(Kind::ready));
    updater->installAndRelaunch();
    updater->installOnQuit();
    ASSERT_EQ(launches.size(), 1);
    EXPECT_EQ(launches.first().at(7), "");
}

// Each reason the running copy cannot be replaced where it is stops the install at quit. The reason
// arises after the download, which would not have started otherwise.
TEST_F(UpdaterInstallTest, ACopyThatCannotBeReplacedInPlaceIsLeftAlone) {
    bool arisen = false;
    const auto arises = [&arisen](const QString&) { return arisen; };
    const auto allows = [&arisen](const QString&) { return !arisen; };
    std::vector<std::pair<const char*, InstallRules>> cases(5);
    cases[0] = {"on a removable disk", {}};
    cases[0].second.removableMedia = arises;
    cases[1] = {"on a read-only disk", {}};
    cases[1].second.readOnlyMedia = arises;
    cases[2] = {"in a folder the user cannot write", {}};
    cases[2].second.writable = allows;
    cases[3] = {"a bundle the user cannot write", {}};
    cases[3].second.writable = [&](const QString& path) { return !arisen || path != installed(); };
    cases[4] = {"the home folder itself", {}};
    cases[4].second.home = [&] { return arisen ? installed() : QDir::homePath(); };
    for (const auto& [what, rules] : cases) {
        arisen = false;
        launches.clear();
        Updater& u = ready(rules);
        arisen = true;
        EXPECT_FALSE(u.canInstallInPlace()) << what;
        u.installOnQuit();
        EXPECT_TRUE(launches.isEmpty()) << what;
    }
}

TEST_F(UpdaterInstallTest, WhatIsInstalledMustStillBeThisAppAndTheStagedCopyIntact) {
    Updater& u = ready();
    ASSERT_TRUE(u.canInstallInPlace());
    // Another application now stands where this one was.
    QJsonObject other = installedInfo();
    other.insert("CFBundleIdentifier", "org.example.other");
    ReleaseFixture::write(installed() + "/Info.json", QJsonDocument(other).toJson());
    EXPECT_FALSE(u.canInstallInPlace());
    u.installOnQuit();
    QDir(installed()).removeRecursively();
    EXPECT_FALSE(u.canInstallInPlace());
    u.installOnQuit();
    EXPECT_TRUE(launches.isEmpty());

    Updater& again = ready();
    ReleaseFixture::write(*again.stagedApp() + "/Info.json", "{}");
    again.installOnQuit();
    EXPECT_TRUE(launches.isEmpty());
}

// After "Restart Now", a staged copy found changed at quit is not installed, and the app still comes back.
TEST_F(UpdaterInstallTest, RestartNowWithAChangedStagedCopyStartsTheOldCopyAgain) {
    Updater& u = ready();
    ReleaseFixture::write(*u.stagedApp() + "/bin/extra", "not in the manifest");
    u.installAndRelaunch();
    u.installOnQuit();
    ASSERT_EQ(launches.size(), 1);
    EXPECT_EQ(launches.first().at(4), ""); // nothing to install
    EXPECT_EQ(launches.first().at(5), installed());
    EXPECT_EQ(launches.first().at(6), "1");
}

TEST_F(UpdaterInstallTest, AScriptThatCannotStartLeavesTheUpdateStaged) {
    UpdaterEnvironment failing = environment();
    failing.launchInstall = [](const QStringList&) { return false; };
    publish("2.1.0");
    make(installedInfo(), failing).check(false);
    ASSERT_TRUE(waitFor(Kind::ready));
    updater->installOnQuit();
    EXPECT_TRUE(QFileInfo::exists(*updater->stagedApp()));
    EXPECT_EQ(updater->phase().kind, Kind::ready);
}

} // namespace
} // namespace dormio
