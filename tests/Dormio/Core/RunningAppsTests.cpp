#include "Dormio/Core/System/ProcessTable.h"
#include "Dormio/Core/System/RunningApps.h"
#include "SystemHome.h"

#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace dormio {
namespace {

// A copy of a system program under a name of its own, with an application entry that launches it.
class RunningAppsTest : public testing::Test {
protected:
    SystemHome home;
    QString player;

    void SetUp() override {
        player = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/fakeplayer"));
    }

    void entry(const QString& fileName, const QString& name, const QString& exec,
               const char* extra = "") const {
        home.applicationEntry(fileName, name, exec, extra);
    }

    static std::optional<RunningApp> listed(int32_t pid) {
        for (const RunningApp& app : RunningApps::list())
            if (app.pid == pid) return app;
        return std::nullopt;
    }
};

TEST_F(RunningAppsTest, FindsAProcessThatAnEntryLaunches) {
    entry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"),
          player + QStringLiteral(" %U"));
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const auto pid = process.pid();

    const auto app = RunningApps::forPid(pid);
    ASSERT_TRUE(app);
    EXPECT_EQ(app->pid, pid);
    EXPECT_EQ(app->localizedName, QStringLiteral("Fake Player"));
    EXPECT_EQ(app->executablePath, player);
    EXPECT_EQ(app->bundlePath, home.path(QStringLiteral("data/applications")) +
                                   QStringLiteral("/org.example.FakePlayer.desktop"));
    EXPECT_EQ(app->bundleID, QStringLiteral("org.example.FakePlayer"));
    EXPECT_EQ(app->policy, ActivationPolicy::regular);
    EXPECT_EQ(app->startTime, ProcessTable::stat(pid)->startTime);

    const auto inList = listed(pid);
    ASSERT_TRUE(inList);
    EXPECT_EQ(inList->bundleID, app->bundleID);
    EXPECT_EQ(inList->startTime, app->startTime);
}

// The entries are read once and again only when a folder of them changes: an entry installed, one in a new
// folder below, one removed, and another PATH are each seen at the next lookup.
TEST_F(RunningAppsTest, TheInstalledEntriesFollowTheirFolders) {
    const auto programs = [] {
        QStringList names;
        for (const InstalledApp& app : InstalledApps::all()->apps)
            names.push_back(app.entry.name);
        names.sort();
        return names;
    };
    entry(QStringLiteral("player.desktop"), QStringLiteral("Player"), player);
    EXPECT_EQ(programs(), QStringList{QStringLiteral("Player")});
    EXPECT_EQ(InstalledApps::all(), InstalledApps::all()) << "an unchanged folder is not read again";

    entry(QStringLiteral("editor.desktop"), QStringLiteral("Editor"), QStringLiteral("editor"));
    EXPECT_EQ(programs(), (QStringList{QStringLiteral("Editor"), QStringLiteral("Player")}));

    entry(QStringLiteral("games/chess.desktop"), QStringLiteral("Chess"), QStringLiteral("chess"));
    EXPECT_EQ(programs(),
              (QStringList{QStringLiteral("Chess"), QStringLiteral("Editor"), QStringLiteral("Player")}));
    entry(QStringLiteral("games/go.desktop"), QStringLiteral("Go"), QStringLiteral("go"));
    EXPECT_EQ(programs().size(), 4);

    QFile::remove(home.path(QStringLiteral("data/applications/editor.desktop")));
    EXPECT_EQ(programs(),
              (QStringList{QStringLiteral("Chess"), QStringLiteral("Go"), QStringLiteral("Player")}));

    // The program of an entry is found through PATH.
    home.install(QStringLiteral("/bin/sleep"), QStringLiteral("tools/chess"));
    EXPECT_TRUE(InstalledApps::all()->withProgramNamed(QStringLiteral("chess")) == nullptr);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(home.path(QStringLiteral("tools"))) + ':' + path);
    EXPECT_TRUE(InstalledApps::all()->withProgramNamed(QStringLiteral("chess")) != nullptr);
    qputenv("PATH", path);
}

TEST_F(RunningAppsTest, ProcessesWithoutAnEntryAreNoApps) {
    EXPECT_EQ(RunningApps::forPid(int32_t(::getpid())), std::nullopt);
    EXPECT_EQ(RunningApps::forPid(0), std::nullopt);
    EXPECT_EQ(RunningApps::forPid(-1), std::nullopt);
    EXPECT_EQ(RunningApps::forPid(INT32_MAX), std::nullopt);
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    EXPECT_EQ(listed(process.pid()), std::nullopt);
}

TEST_F(RunningAppsTest, ActivationPolicyFollowsNoDisplay) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> entries; // file name, extra keys
        ActivationPolicy expected;
    };
    const Case cases[] = {
        {"hidden from the application list",
         {{"hidden.desktop", "NoDisplay=true\n"}},
         ActivationPolicy::accessory},
        // Apps ship hidden handler entries for the same program; the shown entry decides.
        {"hidden handler beside the main entry",
         {{"a-url-handler.desktop", "NoDisplay=true\n"}, {"z-main.desktop", ""}},
         ActivationPolicy::regular},
        {"a deleted entry is no entry",
         {{"deleted.desktop", "Hidden=true\n"}, {"kept.desktop", "NoDisplay=true\n"}},
         ActivationPolicy::accessory},
    };
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(home.path(QStringLiteral("data/applications"))).removeRecursively();
        for (const auto& [file, extra] : c.entries)
            entry(QLatin1String(file), QStringLiteral("Player"), player, extra);
        const auto app = RunningApps::forPid(process.pid());
        ASSERT_TRUE(app);
        EXPECT_EQ(app->policy, c.expected);
    }
}

TEST_F(RunningAppsTest, EntriesOfTheUserShadowThoseOfTheSystem) {
    home.write(QStringLiteral("system-data/applications/player.desktop"),
               "[Desktop Entry]\nType=Application\nName=System Player\nExec=" + player.toUtf8() + "\n");
    home.write(QStringLiteral("system-data/applications/vendor/player.desktop"),
               "[Desktop Entry]\nType=Application\nName=Vendor Player\nExec=" + player.toUtf8() + "\n");
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const auto pid = process.pid();
    EXPECT_EQ(RunningApps::forPid(pid)->localizedName, QStringLiteral("System Player"));

    // A subfolder's entry has the folder in its id.
    home.write(QStringLiteral("system-data/applications/player.desktop"),
               "[Desktop Entry]\nType=Link\nName=Not an app\n");
    EXPECT_EQ(RunningApps::forPid(pid)->bundleID, QStringLiteral("vendor-player"));

    entry(QStringLiteral("player.desktop"), QStringLiteral("My Player"), player);
    EXPECT_EQ(RunningApps::forPid(pid)->localizedName, QStringLiteral("My Player"));
    // The user deleting the system's entry hides it.
    entry(QStringLiteral("vendor-player.desktop"), QStringLiteral("Gone"), player, "Hidden=true\n");
    entry(QStringLiteral("player.desktop"), QStringLiteral("Gone"), player, "Hidden=true\n");
    EXPECT_EQ(RunningApps::forPid(pid), std::nullopt);
}

TEST_F(RunningAppsTest, ResolvesTheProgramThroughPathAndLinks) {
    const QString links = home.path(QStringLiteral("links"));
    QFile::link(player, links + QStringLiteral("/player-link"));
    home.set("PATH", links + QStringLiteral(":") + qEnvironmentVariable("PATH"));
    entry(QStringLiteral("linked.desktop"), QStringLiteral("Linked Player"),
          QStringLiteral("env PLAYER_MODE=1 player-link --quiet %F"));
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const auto app = RunningApps::forPid(process.pid());
    ASSERT_TRUE(app);
    EXPECT_EQ(app->localizedName, QStringLiteral("Linked Player"));
}

TEST_F(RunningAppsTest, ChildrenRunningTheAppsProgramArePartOfIt) {
    const QString shell = home.install(QStringLiteral("/bin/sh"), QStringLiteral("bin/fakeshell"));
    entry(QStringLiteral("shell.desktop"), QStringLiteral("Shell App"), shell);
    // The trailing ":" keeps each shell from replacing itself with its last command.
    Child process(shell, {QStringLiteral("-c"), shell + QStringLiteral(" -c 'sleep 30; :'; :")});
    ASSERT_TRUE(process.started);
    const auto parent = process.pid();
    int32_t child = 0;
    for (int attempt = 0; attempt < 100 && child == 0; ++attempt) {
        for (const int32_t pid : ProcessTable::pids())
            if (const auto stat = ProcessTable::stat(pid);
                stat && stat->parentPid == parent && ProcessTable::exePath(pid) == shell.toStdString())
                child = pid;
        if (child == 0) QThread::msleep(10);
    }
    ASSERT_NE(child, 0);
    EXPECT_TRUE(RunningApps::forPid(parent));
    EXPECT_EQ(RunningApps::forPid(child), std::nullopt);
    EXPECT_TRUE(listed(parent));
    EXPECT_EQ(listed(child), std::nullopt);
    for (const int32_t pid : ProcessTable::pids())
        if (const auto stat = ProcessTable::stat(pid); stat && stat->parentPid == child) ::kill(pid, SIGKILL);
    ::kill(child, SIGKILL);
}

TEST_F(RunningAppsTest, TerminateSendsSigterm) {
    entry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"), player);
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const auto app = RunningApps::forPid(process.pid());
    ASSERT_TRUE(app);
    EXPECT_EQ(RunningApps::terminate(*app), QuitRequest::sent);
    ASSERT_TRUE(process.process.waitForFinished(5000));
    EXPECT_EQ(process.process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(process.process.exitCode(), SIGTERM);
    // Its pid no longer runs the app.
    EXPECT_EQ(RunningApps::terminate(*app), QuitRequest::gone);
}

TEST_F(RunningAppsTest, NeverSignalsAnotherProcessWithTheSamePid) {
    entry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"), player);
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const auto app = RunningApps::forPid(process.pid());
    ASSERT_TRUE(app);
    RunningApp earlier = *app;
    earlier.startTime = app->startTime - 1;
    EXPECT_EQ(RunningApps::terminate(earlier), QuitRequest::gone);
    RunningApp other = *app;
    other.executablePath = QStringLiteral("/usr/bin/other");
    EXPECT_EQ(RunningApps::terminate(other), QuitRequest::gone);
    EXPECT_FALSE(process.process.waitForFinished(200));
    EXPECT_EQ(process.process.state(), QProcess::Running);

    RunningApp unknown;
    unknown.pid = INT32_MAX;
    EXPECT_EQ(RunningApps::terminate(unknown), QuitRequest::gone);
    unknown.pid = 0;
    EXPECT_EQ(RunningApps::terminate(unknown), QuitRequest::gone);
}

} // namespace
} // namespace dormio
