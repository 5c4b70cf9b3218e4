#include "Dormio/Core/Toast.h"
#include "FixedClock.h"
#include "StoreTests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>

namespace dormio::testing {
namespace {

using namespace std::chrono_literals;

LiveRow liveRow(int32_t pid, std::string process, std::string type, std::string name,
                std::optional<int32_t> createdFor = std::nullopt) {
    LiveAssertion assertion{pid, process, std::move(type), "holding", 60};
    assertion.createdFor = createdFor;
    // Stamped with what the owner runs now, as a live read stamps its rows.
    const auto owner = RunningApps::stamp(assertion.ownerPID());
    return LiveRow{std::move(assertion), AppIdentity{std::move(name), std::nullopt, std::nullopt, false},
                   owner};
}

KeptAwakeRow keptAwakeRow(std::string process, std::string name, bool isUserApp) {
    return KeptAwakeRow{KeptAwake{std::move(process), "holding", "PreventUserIdleSystemSleep", 600},
                        AppIdentity{std::move(name), std::nullopt, std::nullopt, isUserApp}};
}

std::vector<int32_t> ownerPIDs(const std::vector<LiveRow>& rows) {
    std::vector<int32_t> pids;
    for (const LiveRow& row : rows)
        pids.push_back(row.assertion.ownerPID());
    return pids;
}

using StoreDemoQuitTest = StoreTest;

TEST_F(StoreDemoQuitTest, QuittingALiveRowRemovesEveryRowOfItsOwner) {
    Store& s = makeStore();
    s.demoState().setDemo(true);
    const LiveRow music = liveRow(901, "Music", "PreventUserIdleSystemSleep", "Music");
    const LiveRow safari = liveRow(902, "Safari", "PreventUserIdleDisplaySleep", "Safari");
    const LiveRow helper = liveRow(77, "helper", "PreventUserIdleSystemSleep", "Music Helper", 901);
    const LiveRow powerd = liveRow(120, "powerd", "PreventUserIdleSystemSleep", "powerd");
    s.setLive({music, safari, helper, powerd});

    s.quit(safari);
    EXPECT_EQ(ownerPIDs(s.live()), (std::vector<int32_t>{901, 901, 120}));
    EXPECT_EQ(toastText(), "Safari quit");
    EXPECT_EQ(toastSymbol(), "moon.zzz");

    s.quit(music);
    EXPECT_EQ(ownerPIDs(s.live()), std::vector<int32_t>{120});
    EXPECT_EQ(toastText(), "Music quit — your Mac can sleep");
    QTest::qWait(20);
    EXPECT_FALSE(s.lastLiveRead());
}

TEST_F(StoreDemoQuitTest, QuittingAKeptAwakeRowOnlyReports) {
    Store& s = makeStore();
    s.demoState().setDemo(true);
    s.setLive({liveRow(901, "Music", "PreventUserIdleSystemSleep", "Music")});
    s.quit(keptAwakeRow("Music", "Music", true));
    EXPECT_EQ(s.live().size(), 1u);
    EXPECT_EQ(toastText(), "Music quit");
    EXPECT_EQ(toastSymbol(), "moon.zzz");
}

// An installed application entry for a program of the test's own, and that program running. A copy of
// `sleep` under a name no other process has keeps every other process out of reach of the quits.
class StoreQuitTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        const QString program = path("dormio-test-sleeper");
        ASSERT_TRUE(QFile::copy("/bin/sleep", program));
        QDir().mkpath(path("data/applications"));
        writeFile(path("data/applications/sleeper.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Sleeper\nExec=" + program.toStdString() + " 30\n");
        sleeper.start(program, {"30"});
        ASSERT_TRUE(sleeper.waitForStarted());
    }

    void TearDown() override {
        sleeper.kill();
        sleeper.waitForFinished();
        StoreTest::TearDown();
    }

    int32_t sleeperPID() const { return static_cast<int32_t>(sleeper.processId()); }

    QProcess sleeper;
};

TEST_F(StoreQuitTest, LiveRowCreatedForAnotherProcessQuitsThatProcess) {
    FixedClock clock;
    Store& s = makeStore();
    QSignalSpy live(&s, &Store::lastLiveReadChanged);
    s.quit(liveRow(99991, "coreaudiod", "PreventUserIdleSystemSleep", "Sleeper", sleeperPID()));
    EXPECT_EQ(toastText(), "Asked Sleeper to quit");
    EXPECT_EQ(toastSymbol(), "checkmark");
    EXPECT_TRUE(sleeper.waitForFinished(10000));
    EXPECT_EQ(sleeper.exitStatus(), QProcess::CrashExit) << "ended by its signal";
    EXPECT_EQ(sleeper.exitCode(), SIGTERM);

    // The live state is read again once the app has had time to go, 1.5 seconds later.
    clock.step(1499ms);
    ReadThreads::pool().waitForDone();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(live.count(), 0);
    clock.step(1ms);
    EXPECT_TRUE(live.wait(10000));
}

TEST_F(StoreQuitTest, LiveRowWhoseOwnerHasGoneIsReportedAndReadAtOnce) {
    Store& s = makeStore();
    QSignalSpy live(&s, &Store::lastLiveReadChanged);
    s.quit(liveRow(0x3FFFFFF0, "Player", "PreventUserIdleSystemSleep", "Player"));
    EXPECT_EQ(toastText(), "Player has already quit");
    EXPECT_EQ(toastSymbol(), "checkmark");
    // A read started at once has finished when the pool is idle; one held back would not have begun.
    ReadThreads::pool().waitForDone();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(live.count(), 1);
}

TEST_F(StoreQuitTest, KeptAwakeRowFindsItsRunningUserApp) {
    Store& s = makeStore();
    const auto byExecutable = s.runningApp(keptAwakeRow("dormio-test-sleeper", "Something else", true));
    ASSERT_TRUE(byExecutable);
    EXPECT_EQ(byExecutable->pid, sleeperPID());
    const auto byName = s.runningApp(keptAwakeRow("sleeperd", "Sleeper", true));
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->pid, sleeperPID());
    EXPECT_FALSE(s.runningApp(keptAwakeRow("dormio-test-sleeper", "Sleeper", false)))
        << "only user apps are quit";
    EXPECT_FALSE(s.runningApp(keptAwakeRow("nothing", "Nothing", true)));
}

TEST_F(StoreQuitTest, KeptAwakeRowOfAUserAppIsAskedToQuit) {
    Store& s = makeStore();
    s.quit(keptAwakeRow("dormio-test-sleeper", "Sleeper", true));
    EXPECT_EQ(toastText(), "Asked Sleeper to quit");
    EXPECT_EQ(toastSymbol(), "checkmark");
    EXPECT_TRUE(sleeper.waitForFinished(10000));
}

TEST_F(StoreQuitTest, KeptAwakeRowThatIsNoUserAppIsNotRunning) {
    Store& s = makeStore();
    QSignalSpy live(&s, &Store::lastLiveReadChanged);
    s.quit(keptAwakeRow("dormio-test-sleeper", "dormio-test-sleeper", false));
    EXPECT_EQ(toastText(), "dormio-test-sleeper isn’t running");
    EXPECT_EQ(toastSymbol(), "checkmark");
    EXPECT_FALSE(sleeper.waitForFinished(100));
    EXPECT_FALSE(live.wait(200));
}

using StoreLoginItemTest = StoreTest;

TEST_F(StoreLoginItemTest, SwitchingOnAndOffFollowsTheRegistration) {
    Store& s = makeStore();
    EXPECT_FALSE(s.loginItemEnabled());
    s.setLoginItem(true);
    EXPECT_TRUE(s.loginItemEnabled());
    EXPECT_FALSE(s.loginItemMessage());
    EXPECT_TRUE(Store(Platform::system(), toast).loginItemEnabled()) << "a new store asks the registration";
    s.setLoginItem(false);
    EXPECT_FALSE(s.loginItemEnabled());
    EXPECT_FALSE(s.loginItemMessage());
}

TEST_F(StoreLoginItemTest, RefusedChangeIsExplainedAndTheSwitchShowsTheRealState) {
    writeFile(path("config/autostart"), "a file where the folder should be");
    Store& s = makeStore();
    s.setLoginItem(true);
    EXPECT_FALSE(s.loginItemEnabled());
    ASSERT_TRUE(s.loginItemMessage());
    EXPECT_TRUE(s.loginItemMessage()->startsWith("macOS didn’t accept the change (the folder “"));
    EXPECT_TRUE(s.loginItemMessage()->endsWith(
        "autostart” can’t be created). You can add Dormio in System Settings › General › Login Items."));
}

} // namespace
} // namespace dormio::testing
