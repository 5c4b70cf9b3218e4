// The whole self-test against a store of the test's own, on the test's clock and in a zone of its choosing.

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/SelfTest.h"
#include "Dormio/DevModes/SelfTestFixtures.h"
#include "DormioKit/NightJson.h"
#include "FakePlatform.h"
#include "FixedClock.h"
#include "LocalTime.h"
#include "StoreTests.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <string>

namespace dormio::testing {
namespace {

const QStringList sectionTitles = {"▸ Load the log",
                                   "▸ History on disk",
                                   "▸ Stepping between nights",
                                   "▸ Settings change during a read",
                                   "▸ Refresh announces when the read is done",
                                   "▸ History outlives the log",
                                   "▸ Damaged history file",
                                   "▸ Right now",
                                   "▸ Energy data",
                                   "▸ An empty log"};

const QString refusal =
    "✗ self-test needs DORMIO_SUPPORT_DIR, DORMIO_LOG_FIXTURE and DORMIO_ASSERTIONS_FIXTURE";

// The store runs on a machine of the test's making, whose quit signal only records what it is asked.
class SelfTestRun : public StoreTest {
protected:
    Store& theStore() { return store ? *store : makeStore(machine.platform()); }

    int runSelfTest() {
        Store& s = theStore();
        return SelfTest::runAgainst(
            s, [&](const QString& line) { lines << line; }, processEnvironment,
            [&s](int32_t pid) { return SelfTest::pidInUse(s, pid); });
    }

    QStringList linesStartingWith(const QString& prefix) const {
        QStringList found;
        for (const QString& line : lines)
            if (line.startsWith(prefix)) found << line;
        return found;
    }

    // Whether a process on this machine has the fixture player's pid: the run then skips its quit.
    bool playerPIDInUse() { return SelfTest::pidInUse(theStore(), SelfTest::fixturePlayerPID); }

    FakePlatform machine;
    QStringList lines;
};

// Every line, byte for byte, of a run in Berlin at 07:30, the morning's night just over.
TEST_F(SelfTestRun, ARunAtHalfPastSevenPassesEveryCheck) {
    const test::ScopedTZ zone("Europe/Berlin");
    const FixedClock clock(localMoment("Europe/Berlin", 2026, 3, 2, 7, 30));
    EXPECT_EQ(runSelfTest(), 0);

    const QString quit = playerPIDInUse()
                             ? "  – skipped quit: fixture pid 99991 is in use on this Mac"
                             : "  ✓ quitting a holder that's gone is handled: FakePlayer has already quit";
    const QString summary =
        playerPIDInUse() ? "✓ self-test: all 27 checks passed" : "✓ self-test: all 28 checks passed";
    EXPECT_EQ(lines,
              (QStringList{
                  "▸ Load the log",
                  "  ✓ a read starts on launch",
                  "  ✓ three finished nights from the fixture (got 3)",
                  "  ✓ opens on the most recent finished night",
                  "  ✓ titled Last Night",
                  "  ✓ two dark wakes a night",
                  "  ✓ the fixture app is what kept it up",
                  "  ✓ nights end on the fixture mornings",
                  "▸ History on disk",
                  "  ✓ nights.json holds only finished nights (3)",
                  "▸ Stepping between nights",
                  "  ✓ can go back, not forward past the newest",
                  "  ✓ ⌘[ goes to the night before",
                  "  ✓ ⌘] comes back",
                  "  ✓ clicking an actogram row opens that night",
                  "▸ Settings change during a read",
                  "  ✓ a second read is running",
                  "  ✓ the window change wasn't dropped: nights now start at 22:00 (hours [23, 22, 22], "
                  "setting 22)",
                  "▸ Refresh announces when the read is done",
                  "  ✓ no premature ‘refreshed’ toast",
                  "  ✓ toast after the read: Power log read · 3 nights",
                  "▸ History outlives the log",
                  "  ✓ a night older than the log is kept from nights.json",
                  "  ✓ nights past 60 days are dropped",
                  "  ✓ nights stay in order",
                  "▸ Damaged history file",
                  "  ✓ a corrupt nights.json is ignored and rebuilt",
                  "▸ Right now",
                  "  ✓ noteworthy holders: [\"FakePlayer\", \"caffeinate\"]",
                  "  ✓ screen keepers",
                  "  ✓ powerd is housekeeping",
                  quit,
                  "▸ Energy data",
                  "  ✓ Delete Measured Energy Data writes an empty file",
                  "  ✓ no shares without samples",
                  "▸ An empty log",
                  "  ✓ no nights → the empty state, not a spinner",
                  "  ✓ menu bar says so",
                  summary,
              }));
    EXPECT_TRUE(machine.quit->asked.empty());
}

struct RunCase {
    const char* zone;
    int year, month, day, hour, minute;
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.zone << " " << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute;
}

class SelfTestRunAt : public SelfTestRun, public ::testing::WithParamInterface<RunCase> {};

// At the edges of the morning, late in the evening with tonight's night under way, and on the days after
// clock changes, when the oldest fixture night holds the change.
TEST_P(SelfTestRunAt, PassesEveryCheck) {
    const RunCase& c = GetParam();
    const test::ScopedTZ zone(c.zone);
    const FixedClock clock(localMoment(c.zone, c.year, c.month, c.day, c.hour, c.minute));
    EXPECT_EQ(runSelfTest(), 0) << lines.join("\n").toStdString();
    QStringList headings = linesStartingWith("▸ ");
    EXPECT_EQ(headings, sectionTitles);
    EXPECT_TRUE(linesStartingWith("  ✗ ").isEmpty()) << lines.join("\n").toStdString();
    EXPECT_EQ(linesStartingWith("  ✓ ").size(), playerPIDInUse() ? 27 : 28);
    EXPECT_EQ(lines.back(),
              playerPIDInUse() ? "✓ self-test: all 27 checks passed" : "✓ self-test: all 28 checks passed");
}

INSTANTIATE_TEST_SUITE_P(Moments, SelfTestRunAt,
                         ::testing::Values(RunCase{"UTC", 2026, 3, 2, 7, 0},
                                           RunCase{"UTC", 2026, 3, 2, 7, 59},
                                           RunCase{"UTC", 2026, 3, 2, 8, 0},
                                           RunCase{"UTC", 2026, 3, 2, 23, 30},
                                           RunCase{"Europe/Berlin", 2025, 10, 28, 7, 30},
                                           RunCase{"Europe/Berlin", 2025, 10, 27, 9, 0},
                                           RunCase{"Europe/Berlin", 2025, 4, 1, 7, 30},
                                           RunCase{"America/New_York", 2025, 11, 4, 7, 30}));

// The system's clock is libfaketime's, frozen at the time its file holds until the file changes.
void setSystemClock(const char* time) {
    QFile file(qEnvironmentVariable("FAKETIME_TIMESTAMP_FILE"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(time) + '\n');
}

// The system's clock passes 07:00, the end of the night window, once the fixture is written: every check
// still sees the moment the run began at, when last night was not over yet. (Passing 08:00 changes nothing
// the run looks at.)
TEST_F(SelfTestRun, ARunThatTheClockCarriesPastTheMorningStillPasses) {
    if (!qEnvironmentVariableIsSet("FAKETIME_TIMESTAMP_FILE"))
        GTEST_SKIP() << "needs the system clock of libfaketime, as CTest runs it";
    const test::ScopedTZ zone("UTC");
    setSystemClock("2026-03-02 06:59:50");
    Store& s = theStore();
    const int status = SelfTest::runAgainst(
        s,
        [&](const QString& line) {
            lines << line;
            if (line == sectionTitles.front()) setSystemClock("2026-03-02 07:00:10");
        },
        processEnvironment, [&s](int32_t pid) { return SelfTest::pidInUse(s, pid); });
    EXPECT_EQ(status, 0) << lines.join("\n").toStdString();
    EXPECT_TRUE(linesStartingWith("  ✗ ").isEmpty()) << lines.join("\n").toStdString();
    EXPECT_FALSE(Clock::shared().isFixed()) << "the run gives the clock back";
}

// An app that has the holder's pid is never asked to quit: the run says so and counts one check fewer.
TEST_F(SelfTestRun, AnAppWithTheFixturePidIsNotAskedToQuit) {
    const FixedClock clock(localMoment("UTC", 2026, 3, 2, 12, 0));
    machine.apps->run(userApp(SelfTest::fixturePlayerPID, "Player", "/opt/player/player"));
    EXPECT_EQ(runSelfTest(), 0);
    EXPECT_EQ(linesStartingWith("  – "),
              QStringList{"  – skipped quit: fixture pid 99991 is in use on this Mac"});
    EXPECT_TRUE(linesStartingWith("  ✓ quitting").isEmpty());
    EXPECT_EQ(lines.back(), "✓ self-test: all 27 checks passed");
    EXPECT_TRUE(machine.quit->asked.empty());
}

// In use: an app the store knows, as its quit would find it, and any process, even one of another user.
TEST_F(SelfTestRun, APidIsInUseWhileAnAppOrAProcessHasIt) {
    Store& s = theStore();
    constexpr int32_t beyondAnyProcess =
        std::numeric_limits<int32_t>::max(); // above any pid the kernel gives
    EXPECT_FALSE(SelfTest::pidInUse(s, beyondAnyProcess));
    machine.apps->run(userApp(beyondAnyProcess, "Player", "/opt/player/player"));
    EXPECT_TRUE(SelfTest::pidInUse(s, beyondAnyProcess));
    EXPECT_TRUE(SelfTest::pidInUse(s, int32_t(QCoreApplication::applicationPid())));
    EXPECT_TRUE(SelfTest::pidInUse(s, 1));
    for (const int32_t group : {0, -1})
        EXPECT_TRUE(SelfTest::pidInUse(s, group));
}

// Hours other than the defaults are set for the run and put back after it, exactly. The change of hours
// starts a read, which must find the run's own fixture and no history: a read of an earlier run's files
// would slip their nights into the history.
TEST_F(SelfTestRun, TheRunLeavesTheSettingsAsItFoundThem) {
    const FixedClock clock(localMoment("UTC", 2026, 3, 2, 12, 0));
    QSettings settings;
    settings.setValue("nightStartHour", 21);
    settings.remove("nightEndHour");
    writeLog(recentNights(5));
    const Date now = currentDate();
    writeFile(historyPath(), *encodeNights({storedNight("2026-02-20", now - 11 * day, now - 10.7 * day)}));

    Store& s = theStore();
    std::optional<bool> firstReadFindsTheRunsFiles;
    QObject::connect(&s, &Store::loadingChanged, [&] {
        if (s.loading() && !firstReadFindsTheRunsFiles)
            firstReadFindsTheRunsFiles =
                readFile(path("power.log")).find("FakePlayer") != std::string::npos &&
                !QFile::exists(historyPath());
    });
    EXPECT_EQ(runSelfTest(), 0) << lines.join("\n").toStdString();
    EXPECT_EQ(firstReadFindsTheRunsFiles, true);
    EXPECT_EQ(settings.value("nightStartHour"), QVariant(21));
    EXPECT_FALSE(settings.contains("nightEndHour"));
    EXPECT_EQ(store->nightStartHour(), 21);
    EXPECT_EQ(store->nightEndHour(), 7);
}

// Nothing is saved, written or read when a variable is missing: one line and status 2.
TEST_F(SelfTestRun, AMissingVariableRefusesBeforeTouchingAnything) {
    Store& s = theStore();
    QSettings().setValue("nightStartHour", 21);
    writeFile(historyPath(), "[]");
    qunsetenv("DORMIO_ASSERTIONS_FIXTURE");
    EXPECT_EQ(runSelfTest(), 2);
    EXPECT_EQ(lines, QStringList{refusal});
    EXPECT_FALSE(QFile::exists(path("power.log")));
    EXPECT_TRUE(QFile::exists(historyPath()));
    EXPECT_FALSE(s.loading());
    EXPECT_EQ(s.nightStartHour(), 21);
}

// A log fixture that cannot be written fails checks; the summary's counts are those of the lines printed.
TEST_F(SelfTestRun, AFailingCheckEndsWithStatusOne) {
    qputenv("DORMIO_LOG_FIXTURE", path("missing/power.log").toUtf8());
    EXPECT_EQ(runSelfTest(), 1);
    EXPECT_EQ(linesStartingWith("▸ "), sectionTitles);
    const auto failed = linesStartingWith("  ✗ ").size();
    const auto passed = linesStartingWith("  ✓ ").size();
    EXPECT_GT(failed, 0);
    EXPECT_EQ(lines.back(), QStringLiteral("✗ self-test: %1 failed, %2 passed").arg(failed).arg(passed));
}

// The mode's way out, whatever the status: the test takes the place of the process's end.
TEST_F(SelfTestRun, TheModeEndsTheProcessWithItsStatus) {
    Store& s = theStore();
    std::vector<int> ended;
    SelfTest::setProcessEnd([&](int status) { ended.push_back(status); });
    SelfTest::run(s, [](const char*) { return std::optional<std::string>(); });
    SelfTest::setProcessEnd({});
    EXPECT_EQ(ended, std::vector<int>{2});
}

} // namespace
} // namespace dormio::testing
