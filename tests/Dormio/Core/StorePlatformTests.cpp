#include "FakePlatform.h"
#include "StoreTests.h"

namespace dormio::testing {
namespace {

std::string listing(std::string_view processLines) {
    return "Assertion status system-wide:\n"
           "   PreventUserIdleSystemSleep     1\n"
           "Listed by owning process:\n" +
           std::string(processLines);
}

// A store over a machine of the test's making: nothing of this machine is read, asked or signalled.
class StorePlatformTest : public StoreTest {
protected:
    FakePlatform fake;

    void SetUp() override {
        StoreTest::SetUp();
        writeFile(
            path("assertions.txt"),
            listing(
                "   pid 4242(player): [0x01] 00:45:00 PreventUserIdleSystemSleep named: \"Playing\"\n"
                "   pid 4343(indexer): [0x02] 00:10:00 PreventUserIdleSystemSleep named: \"Indexing\"\n"));
        fake.apps->run(userApp(4242, "Player Deluxe", "/opt/player/bin/player"));
        fake.apps->runProcess(4343, "/usr/libexec/indexer");
        BatteryInfo battery;
        battery.percent = 61;
        battery.designCapacity = 5000;
        battery.maxCapacity = 4500;
        fake.battery->info = battery;
    }

    void readLiveOnce() {
        QSignalSpy read(store.get(), &Store::lastLiveReadChanged);
        store->refreshNow();
        ASSERT_TRUE(read.wait(10000));
    }
};

TEST_F(StorePlatformTest, TheLiveReadAndTheBatteryFiguresComeFromThePlatform) {
    Store& s = makeStore(fake.platform());
    readLiveOnce();

    ASSERT_EQ(s.live().size(), 2u);
    EXPECT_EQ(s.live()[0].identity,
              (AppIdentity{"Player Deluxe", "/opt/player/bin/player", std::nullopt, true}));
    EXPECT_EQ(s.live()[1].identity, (AppIdentity{"indexer", "/usr/libexec/indexer", std::nullopt, false}));
    ASSERT_TRUE(s.battery());
    EXPECT_EQ(s.battery()->percent, 61);
    EXPECT_EQ(s.battery()->healthPercent(), 90);
    EXPECT_EQ(fake.battery->reads, 1);
    EXPECT_EQ(fake.apps->snapshots, 1) << "one snapshot of the running applications per live read";

    // A battery gone from the machine clears the figures at the next read.
    fake.battery->info.reset();
    readLiveOnce();
    EXPECT_FALSE(s.battery());
}

TEST_F(StorePlatformTest, KeptAwakeRowsAndQuitsUseTheRunningAppsAndTheQuitSignal) {
    Store& s = makeStore(fake.platform());
    readLiveOnce();
    Night night = storedNight("2026-01-02", Date{0}, Date{3600});
    night.keptAwake = {KeptAwake{"player", "Playing", "PreventUserIdleSystemSleep", 600}};
    const std::vector<KeptAwakeRow> rows = s.keptAwakeRows(night);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].identity.name, "Player Deluxe");
    ASSERT_TRUE(s.runningApp(rows[0]));
    EXPECT_EQ(s.runningApp(rows[0])->pid, 4242);

    s.quit(s.live()[0]);
    EXPECT_EQ(fake.quit->asked, std::vector<int32_t>{4242});
    EXPECT_EQ(toastText(), "Asked Player Deluxe to quit");
    s.quit(rows[0]);
    EXPECT_EQ(fake.quit->asked, (std::vector<int32_t>{4242, 4242}));

    fake.quit->answer = QuitRequest::refused;
    s.quit(s.live()[0]);
    EXPECT_EQ(toastText(), "Player Deluxe didn’t respond to Quit");
    EXPECT_EQ(toastSymbol(), "exclamationmark.circle");
}

// The app of a live row quits after the read, and its pid goes to another app before the click: the
// other app is never asked to quit.
TEST_F(StorePlatformTest, AQuitSignalsOnlyTheProcessTheRowStoodFor) {
    Store& s = makeStore(fake.platform());
    readLiveOnce();
    const LiveRow player = s.live()[0];
    ASSERT_EQ(player.owner, (ProcessStamp{1000, "/opt/player/bin/player"}));

    struct Case {
        const char* what;
        RunningApp now;
    };
    const std::vector<Case> cases = {
        {"another program", userApp(4242, "Other App", "/usr/bin/other", 5000)},
        {"the same program started anew", userApp(4242, "Player Deluxe", "/opt/player/bin/player", 5000)},
    };
    for (const Case& c : cases) {
        fake.apps->end(4242);
        fake.apps->run(c.now);
        QSignalSpy read(&s, &Store::lastLiveReadChanged);
        s.quit(player);
        EXPECT_TRUE(fake.quit->asked.empty()) << c.what;
        EXPECT_EQ(toastText(), "Player Deluxe has already quit") << c.what;
        EXPECT_TRUE(read.wait(10000)) << c.what << ": the live state is read again at once";
    }

    // A row whose owner could not be read is never signalled either.
    LiveRow unread = player;
    unread.owner.reset();
    s.quit(unread);
    EXPECT_TRUE(fake.quit->asked.empty());
}

TEST_F(StorePlatformTest, TheLoginItemSwitchUsesTheService) {
    fake.loginItem->state = LoginItemStatus::enabled;
    Store& s = makeStore(fake.platform());
    EXPECT_TRUE(s.loginItemEnabled()) << "the service is asked once, when the store is made";

    s.setLoginItem(false);
    EXPECT_FALSE(s.loginItemEnabled());
    EXPECT_FALSE(s.loginItemMessage());

    fake.loginItem->afterRegistering = LoginItemStatus::requiresApproval;
    s.setLoginItem(true);
    EXPECT_FALSE(s.loginItemEnabled());
    EXPECT_EQ(s.loginItemMessage(), "Approve Dormio in System Settings › General › Login Items.");

    fake.loginItem->refusal = "the desktop said no";
    fake.loginItem->state = LoginItemStatus::notRegistered;
    s.setLoginItem(true);
    EXPECT_FALSE(s.loginItemEnabled());
    EXPECT_EQ(s.loginItemMessage(),
              "macOS didn’t accept the change (the desktop said no). You can add Dormio in "
              "System Settings › General › Login Items.");
    EXPECT_EQ(fake.loginItem->requests, (std::vector<bool>{false, true, true}));
}

} // namespace
} // namespace dormio::testing
