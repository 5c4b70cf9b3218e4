#include "FakePlatform.h"
#include "StoreTests.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <condition_variable>
#include <mutex>
#include <set>
#include <unistd.h>

namespace dormio::testing {
namespace {

std::string listing(std::string_view processLines) {
    return "Assertion status system-wide:\n"
           "   PreventUserIdleSystemSleep     1\n"
           "Listed by owning process:\n" +
           std::string(processLines) + "Kernel Assertions: 0x4=USB\n";
}

const std::string fourHolders = listing(
    "   pid 99991(FakePlayer): [0x01] 00:45:00 PreventUserIdleSystemSleep named: \"Playing\"\n"
    "   pid 99992(FakeBrowser): [0x02] 00:11:00 PreventUserIdleDisplaySleep named: \"Video Wake Lock\"\n"
    "   pid 99994(powerd): [0x04] 02:00:00 PreventUserIdleSystemSleep named: \"Powerd - Prevent sleep while "
    "display is on\"\n"
    "   pid 99996(backupd): [0x05] 00:01:35 BackgroundTask named: \"Time Machine backup\"\n");

std::vector<std::string> processes(const std::vector<LiveRow>& rows) {
    std::vector<std::string> result;
    for (const LiveRow& row : rows)
        result.push_back(row.assertion.process);
    return result;
}

class StoreLiveReadTest : public StoreTest {
protected:
    void writeListing(std::string_view text) { writeFile(path("assertions.txt"), text); }

    void readLiveOnce() {
        QSignalSpy read(store.get(), &Store::lastLiveReadChanged);
        store->refreshNow();
        ASSERT_TRUE(read.wait(10000));
    }
};

TEST_F(StoreLiveReadTest, SortsHoldersIntoNoteworthyScreenKeepersAndTheRest) {
    writeListing(fourHolders);
    Store& s = makeStore();
    readLiveOnce();

    EXPECT_EQ(processes(s.live()),
              (std::vector<std::string>{"FakePlayer", "FakeBrowser", "powerd", "backupd"}));
    EXPECT_EQ(processes(s.noteworthy()), std::vector<std::string>{"FakePlayer"});
    EXPECT_EQ(processes(s.screenKeepers()), std::vector<std::string>{"FakeBrowser"});
    EXPECT_EQ(processes(s.otherLive()), (std::vector<std::string>{"powerd", "backupd"}));
    EXPECT_EQ(s.live().front().identity.name, "FakePlayer");
    EXPECT_TRUE(s.lastLiveRead());
}

TEST_F(StoreLiveReadTest, HolderNamesAreTheDistinctNoteworthyNamesSorted) {
    writeListing(listing("pid 99991(Zither): [0x01] 00:45:00 PreventUserIdleSystemSleep named: \"a\"\n"
                         "pid 99992(Accordion): [0x02] 00:45:00 PreventSystemSleep named: \"b\"\n"
                         "pid 99993(Zither): [0x03] 00:45:00 NoIdleSleepAssertion named: \"c\"\n"
                         "pid 99994(Banjo): [0x04] 00:45:00 PreventUserIdleDisplaySleep named: \"d\"\n"));
    Store& s = makeStore();
    readLiveOnce();
    EXPECT_EQ(s.holderNames(), (std::vector<std::string>{"Accordion", "Zither"}));
}

TEST_F(StoreLiveReadTest, IdentityComesFromTheCreatedForPid) {
    writeListing(listing("pid 99991(coreaudiod): [0x01] 00:45:00 PreventUserIdleSystemSleep named: \"a\"\n"
                         "   Created for PID: " +
                         std::to_string(getpid()) +
                         ".\n"
                         "pid 99991(coreaudiod): [0x02] 00:45:00 PreventUserIdleSystemSleep named: \"b\"\n"));
    Store& s = makeStore();
    readLiveOnce();

    ASSERT_EQ(s.live().size(), 2u);
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    ASSERT_TRUE(s.live()[0].identity.path);
    EXPECT_EQ(QFileInfo(QString::fromStdString(*s.live()[0].identity.path)).canonicalFilePath(), self);
    EXPECT_FALSE(s.live()[1].identity.path);
}

TEST_F(StoreLiveReadTest, MissingListingGivesNoRowsButStillCountsAsARead) {
    writeListing(fourHolders);
    Store& s = makeStore();
    readLiveOnce();
    ASSERT_EQ(s.live().size(), 4u);
    QFile::remove(path("assertions.txt"));
    readLiveOnce();
    EXPECT_TRUE(s.live().empty());
    EXPECT_TRUE(s.lastLiveRead());
}

TEST_F(StoreLiveReadTest, DemoModeReadsNothing) {
    writeListing(fourHolders);
    Store& s = makeStore();
    s.demoState().setDemo(true);
    QSignalSpy changed(&s, &Store::liveChanged);
    s.refreshNow();
    QTest::qWait(50);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(s.lastLiveRead());
}

// The first read waits until the test lets it answer "Older"; every later one answers "Newer" at once.
class HeldFirstRead final : public AssertionSource {
public:
    std::vector<LiveAssertion> read(Date) override {
        std::unique_lock lock(mutex_);
        if (reads_++ > 0) return {holder("Newer")};
        waiting_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_; });
        return {holder("Older")};
    }
    bool waiting() {
        const std::lock_guard lock(mutex_);
        return waiting_;
    }
    void release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    static LiveAssertion holder(const std::string& process) {
        return *AssertionReader::parseLine("pid 99991(" + process +
                                           "): [0x01] 00:45:00 PreventUserIdleSystemSleep named: \"x\"");
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int reads_ = 0;
    bool waiting_ = false;
    bool released_ = false;
};

TEST_F(StoreLiveReadTest, OlderReadThatFinishesLastDoesNotOverwriteANewerOne) {
    FakePlatform machine;
    auto source = std::make_shared<HeldFirstRead>();
    machine.assertions = source;
    Store& s = makeStore(machine.platform());
    s.refreshNow();
    ASSERT_TRUE(waitUntil([&] { return source->waiting(); }));

    readLiveOnce();
    ASSERT_EQ(processes(s.live()), std::vector<std::string>{"Newer"});

    source->release();
    ReadThreads::pool().waitForDone();
    QTest::qWait(20);
    EXPECT_EQ(processes(s.live()), std::vector<std::string>{"Newer"});
}

TEST_F(StoreLiveReadTest, KeptAwakeRowsAreTheEightLongestHolders) {
    Store& s = makeStore();
    Night night = storedNight("n", Date{0}, Date{3600});
    EXPECT_TRUE(s.keptAwakeRows(night).empty());
    for (int i = 0; i < 9; ++i)
        night.keptAwake.push_back(
            KeptAwake{"process" + std::to_string(i), "detail", "PreventUserIdleSystemSleep", 900.0 - i});
    const auto rows = s.keptAwakeRows(night);
    ASSERT_EQ(rows.size(), 8u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].entry, night.keptAwake[i]);
        EXPECT_EQ(rows[i].id(), night.keptAwake[i].process);
    }
}

TEST_F(StoreLiveReadTest, DemoEnergySharesComeFromTheSampleData) {
    Store& s = makeStore();
    s.demoState().setDemo(true);
    const EnergyShare music{"/Applications/Music.app", "Music", "/Applications/Music.app", 30600, 0.34, 3.4};
    s.demoState().setDemoEnergy({{"known", {music}}});
    EXPECT_EQ(s.energyShares(storedNight("known", Date{0}, Date{3600})), std::vector<EnergyShare>{music});
    EXPECT_TRUE(s.energyShares(storedNight("unknown", Date{0}, Date{3600})).empty());
}

TEST_F(StoreLiveReadTest, EnergySharesCountSamplesWithinOneSamplingIntervalAfterTheNight) {
    const Night night = storedNight("n", Date{1000}, Date{30000});
    writeFile(
        supportDir() + "/energy.json",
        R"({"samples":[{"t":2000,"apps":{"/usr/bin/early":100}},{"t":30550,"apps":{"/usr/bin/late":300}}],)"
        R"("apps":{}})");
    QSettings().setValue("sampleMinutes", 10);
    Store& s = makeStore();
    auto shares = s.energyShares(night);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_EQ(shares[0].name, "late");
    s.setSampleMinutes(5);
    shares = s.energyShares(night);
    ASSERT_EQ(shares.size(), 1u);
    EXPECT_EQ(shares[0].name, "early");
}

TEST(StoreLiveRow, SharesItsIDWithRowsOfTheSameTypeAndNameButIsEqualOnlyWhenAllFieldsAre) {
    LiveRow a{LiveAssertion{42, "Player", "PreventUserIdleSystemSleep", "Playing", 60},
              AppIdentity{"Player", std::nullopt, std::nullopt, false}};
    LiveRow b = a;
    b.assertion.age = 120;
    EXPECT_EQ(a.id(), "42-PreventUserIdleSystemSleep-Playing");
    EXPECT_EQ(a.id(), b.id());
    EXPECT_NE(a, b);
    b.assertion.age = a.assertion.age;
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<LiveRow>{}(a), std::hash<LiveRow>{}(b));
    b.identity.isUserApp = true;
    EXPECT_NE(a, b);
}

// Rows that share an id still get keys of their own, also beside a row whose name looks like a key.
TEST(StoreLiveRow, KeysAreUniqueEvenWhenIdsRepeat) {
    auto row = [](int32_t pid, std::string name) {
        return LiveRow{LiveAssertion{pid, "Player", "PreventUserIdleSystemSleep", std::move(name), 60},
                       AppIdentity{"Player", std::nullopt, std::nullopt, false}};
    };
    const std::vector<LiveRow> rows = {row(42, "Playing"), row(42, "Playing"), row(42, "Playing#1"),
                                       row(7, "Playing"), row(42, "Playing")};
    const std::vector<std::string> keys = uniqueKeys(rows);
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "42-PreventUserIdleSystemSleep-Playing#0", "42-PreventUserIdleSystemSleep-Playing#1",
                        "42-PreventUserIdleSystemSleep-Playing#1#0", "7-PreventUserIdleSystemSleep-Playing#0",
                        "42-PreventUserIdleSystemSleep-Playing#2"}));
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    EXPECT_TRUE(uniqueKeys({}).empty());
}

} // namespace
} // namespace dormio::testing
