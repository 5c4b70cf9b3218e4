#include "DamagedCopies.h"
#include "Dormio/Core/SleepWatcher.h"
#include "Dormio/Core/Toast.h"
#include "DormioKit/NightJson.h"
#include "FakePlatform.h"
#include "FixedClock.h"
#include "StoreTests.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace dormio::testing {
namespace {

std::vector<Night> storedNights(const QString& path) {
    auto nights = decodeNights(readFile(path));
    EXPECT_TRUE(nights) << "the history file does not decode";
    return nights.value_or(std::vector<Night>{});
}

using StoreLogReadTest = StoreTest;

TEST_F(StoreLogReadTest, FirstReadWritesTheFinishedNightsInOrderAndSelectsTheNewest) {
    writeLog(recentNights(3));
    Store& s = makeStore();
    readLogOnce();

    ASSERT_EQ(s.nights().size(), 3u);
    EXPECT_TRUE(std::is_sorted(s.nights().begin(), s.nights().end(),
                               [](const Night& a, const Night& b) { return a.start < b.start; }));
    EXPECT_EQ(s.selectedNightID(), s.nights().back().id);
    EXPECT_TRUE(s.loadedOnce());
    EXPECT_EQ(storedNights(historyPath()), s.nights());
}

TEST_F(StoreLogReadTest, MergesTheNewReadIntoSixtyDaysOfHistory) {
    writeLog(recentNights(1));
    Store& s = makeStore();
    readLogOnce();
    ASSERT_EQ(s.nights().size(), 1u);
    const Night fresh = s.nights().front();

    const Date now = currentDate();
    Night recent = storedNight("recent", now - 20.5 * day, now - 20 * day);
    Night expired = storedNight("expired", now - 60.5 * day, now - 60 * day);
    Night sample = storedNight("sample", now - 10.5 * day, now - 10 * day);
    sample.isDemo = true;
    Night unfinished = storedNight("unfinished", now - 5.5 * day, now - 5 * day);
    unfinished.inProgress = true;
    Night stale = fresh;
    stale.segments.clear();
    stale.pluggedIn = !fresh.pluggedIn;
    writeFile(historyPath(), *encodeNights({recent, expired, sample, unfinished, stale}));
    readLogOnce();

    EXPECT_EQ(s.nights(), (std::vector<Night>{recent, fresh}));
    EXPECT_EQ(storedNights(historyPath()), s.nights());
}

TEST_F(StoreLogReadTest, HistoryThatAlreadyHoldsTheMergedNightsIsNotWrittenAgain) {
    // Every write puts a new file in the old one's place.
    const auto inode = [&] {
        struct stat status {};
        return ::stat(QFile::encodeName(historyPath()).constData(), &status) == 0 ? status.st_ino : 0;
    };
    writeLog(recentNights(2));
    Store& s = makeStore();
    readLogOnce();
    const auto written = inode();
    ASSERT_NE(written, 0u);
    readLogOnce();
    EXPECT_EQ(inode(), written);
    EXPECT_EQ(storedNights(historyPath()), s.nights());

    writeLog(recentNights(3));
    readLogOnce();
    EXPECT_NE(inode(), written);
    EXPECT_EQ(storedNights(historyPath()), s.nights());
}

// A read tells the pages that the nights changed only when they did: against the nights it started with, or
// against nights put in place while it ran.
TEST_F(StoreLogReadTest, NightsAreAnnouncedOnlyWhenTheReadChangesThem) {
    const std::vector<Night> sample{storedNight("sample", Date{0}, Date{3600})};
    struct Case {
        const char* name;
        int nightsBefore; // the log's nights already shown
        int nightsRead;
        bool sampleWhileReading; // nights set between the read's start and its end
        int announced;
    };
    for (const Case& c : {Case{"the same log again", 2, 2, false, 0}, Case{"a night more", 2, 3, false, 1},
                          Case{"sample nights set meanwhile", 2, 2, true, 2}}) {
        QFile::remove(historyPath());
        writeLog(recentNights(c.nightsBefore));
        Store& s = makeStore();
        readLogOnce();
        writeLog(recentNights(c.nightsRead));
        QSignalSpy nights(&s, &Store::nightsChanged);
        s.refreshLog();
        if (c.sampleWhileReading) s.setNights(sample);
        waitForLogRead();
        EXPECT_EQ(nights.count(), c.announced) << c.name;
        EXPECT_EQ(s.nights(), storedNights(historyPath())) << c.name;
        EXPECT_EQ(s.nights().size(), std::size_t(c.nightsRead)) << c.name;
    }
}

TEST_F(StoreLogReadTest, AnOlderLogLeavesTheRecordedNightsAsTheyWere) {
    writeLog(recentNights(6));
    Store& s = makeStore();
    readLogOnce();
    const std::vector<Night> recorded = s.nights();
    ASSERT_EQ(recorded.size(), 6u);

    // One night three weeks back and nothing since: every later window carries its last state on.
    writeLog(nightLines(startOfDay(currentDate()) - 21 * day));
    readLogOnce();
    ASSERT_GT(s.nights().size(), 6u);
    const std::vector<Night> stored = storedNights(historyPath());
    for (const Night& night : recorded) {
        EXPECT_NE(std::find(s.nights().begin(), s.nights().end(), night), s.nights().end()) << night.id;
        EXPECT_NE(std::find(stored.begin(), stored.end(), night), stored.end()) << night.id;
    }
}

TEST_F(StoreLogReadTest, NightsRecordedWhileTheClockRanAheadAreNeitherShownNorKept) {
    writeLog(recentNights(2));
    const Date now = currentDate();
    writeFile(historyPath(), *encodeNights({storedNight("2099-01-01", now + 364.7 * day, now + 365 * day),
                                            storedNight("in-an-hour", now + hour, now + 2 * hour)}));
    Store& s = makeStore();
    readLogOnce();

    ASSERT_EQ(s.nights().size(), 2u);
    EXPECT_EQ(s.selectedNightID(), s.nights().back().id);
    EXPECT_EQ(storedNights(historyPath()), s.nights());
}

TEST_F(StoreLogReadTest, SelectionThatNoLongerNamesANightFallsBackToTheDefault) {
    writeLog(recentNights(2));
    Store& s = makeStore();
    readLogOnce();
    const std::string older = s.nights().front().id;
    s.setSelectedNightID(older);
    readLogOnce();
    EXPECT_EQ(s.selectedNightID(), older);
    s.setSelectedNightID("gone");
    readLogOnce();
    EXPECT_EQ(s.selectedNightID(), s.nights().back().id);
}

TEST_F(StoreLogReadTest, NightInProgressIsShownButNotStored) {
    // At 02:00 the night of the default window, 23:00 to 07:00, is still running.
    const FixedClock clock(startOfDay(currentDate()) + 2 * hour);
    const Date now = currentDate();
    writeLog(wakeLine(now - 4 * hour, 80) + sleepLine(now - 0.5 * hour, 79));
    Store& s = makeStore();
    s.refresh(true);
    waitForLogRead();

    ASSERT_EQ(s.nights().size(), 1u);
    EXPECT_TRUE(s.nights().front().inProgress);
    EXPECT_EQ(s.selectedNightID(), s.nights().front().id);
    EXPECT_TRUE(storedNights(historyPath()).empty());
    EXPECT_EQ(toastText(), "Power log read · 1 night") << "the night in progress counts as read";
}

std::string nightWithoutIsDemo() {
    auto document = nlohmann::json::parse(*encodeNights({storedNight("2001-01-02", Date{0}, Date{3600})}));
    document[0].erase("isDemo");
    return document.dump();
}

struct DamagedHistory {
    const char* name;
    std::string text;
};

void PrintTo(const DamagedHistory& file, std::ostream* out) {
    *out << file.name;
}

class StoreDamagedHistoryTest : public StoreTest, public ::testing::WithParamInterface<DamagedHistory> {};

TEST_P(StoreDamagedHistoryTest, IsRebuiltAndKeptAside) {
    writeLog(recentNights(2));
    writeFile(historyPath() + ".damaged", "a copy an earlier version kept aside");
    writeFile(historyPath(), GetParam().text);
    Store& s = makeStore();
    readLogOnce();

    EXPECT_EQ(s.nights().size(), 2u);
    EXPECT_EQ(storedNights(historyPath()), s.nights());
    const QStringList copies = damagedCopies(historyPath());
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readFile(copies[0]), GetParam().text);
    EXPECT_EQ(readFile(historyPath() + ".damaged"), "a copy an earlier version kept aside");
}

INSTANTIATE_TEST_SUITE_P(Files, StoreDamagedHistoryTest,
                         ::testing::Values(DamagedHistory{"NotJson", "{not json"},
                                           DamagedHistory{"ObjectInsteadOfArray", "{\"nights\":[]}"},
                                           DamagedHistory{"NightWithoutIsDemo", nightWithoutIsDemo()},
                                           DamagedHistory{"Empty", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// Damaged a second time, the history is set aside under a second name: the copy of the first damage,
// with the nights it may still hold, stays.
TEST_F(StoreLogReadTest, ASecondDamagedHistoryKeepsTheFirstCopy) {
    writeLog(recentNights(2));
    writeFile(historyPath(), "{damaged once");
    Store& s = makeStore();
    readLogOnce();
    writeFile(historyPath(), "{damaged twice");
    readLogOnce();

    EXPECT_EQ(storedNights(historyPath()), s.nights());
    const QStringList copies = damagedCopies(historyPath());
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(readFile(copies[0]), "{damaged once");
    EXPECT_EQ(readFile(copies[1]), "{damaged twice");
}

TEST_F(StoreLogReadTest, MissingHistoryIsNotKeptAsDamaged) {
    writeLog(recentNights(1));
    makeStore();
    readLogOnce();
    EXPECT_TRUE(QFile::exists(historyPath()));
    EXPECT_TRUE(damagedCopies(historyPath()).isEmpty());
}

TEST_F(StoreLogReadTest, UnwritableSupportFolderKeepsTheNightsInMemory) {
    writeFile(path("blocker"), "a file where the folder should be");
    qputenv("DORMIO_SUPPORT_DIR", path("blocker/support").toUtf8());
    writeLog(recentNights(2));
    Store& s = makeStore();
    readLogOnce();

    EXPECT_EQ(s.nights().size(), 2u);
    EXPECT_TRUE(s.loadedOnce());
    EXPECT_FALSE(QFile::exists(s.historyURL()));
}

TEST_F(StoreLogReadTest, HistoryStaysWhereTheSupportFolderWasWhenTheStoreWasMade) {
    writeLog(recentNights(1));
    Store& s = makeStore();
    qputenv("DORMIO_SUPPORT_DIR", path("elsewhere").toUtf8());
    readLogOnce();
    EXPECT_EQ(s.historyURL(), historyPath());
    EXPECT_TRUE(QFile::exists(historyPath()));
}

TEST_F(StoreLogReadTest, SupportFolderIsCreatedWithItsParents) {
    qputenv("DORMIO_SUPPORT_DIR", path("a/b/support").toUtf8());
    EXPECT_EQ(Store::supportDir(), path("a/b/support"));
    EXPECT_TRUE(QDir(path("a/b/support")).exists());
}

TEST_F(StoreLogReadTest, SupportFolderDefaultsToTheDataFolder) {
    for (const char* value : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        if (value)
            qputenv("DORMIO_SUPPORT_DIR", value);
        else
            qunsetenv("DORMIO_SUPPORT_DIR");
        EXPECT_EQ(Store::supportDir(), path("data") + "/Dormio");
        EXPECT_TRUE(QDir(path("data/Dormio")).exists());
    }
}

TEST_F(StoreLogReadTest, RequestsDuringAReadLeadToExactlyOneMore) {
    writeLog(recentNights(2));
    Store& s = makeStore();
    int reads = 0;
    QObject::connect(&s, &Store::loadingChanged, [&] { reads += s.loading(); });
    s.refreshLog();
    s.refreshLog();
    s.refreshLog();
    s.refreshLog();
    waitForLogRead();
    QTest::qWait(50);
    EXPECT_EQ(reads, 2);
    EXPECT_FALSE(s.loading());
}

TEST_F(StoreLogReadTest, NightHourChangedDuringAReadRebuildsWithTheNewHour) {
    writeLog(recentNights(2));
    Store& s = makeStore();
    s.refreshLog();
    s.setNightStartHour(22);
    waitForLogRead();

    EXPECT_EQ(s.nightStartHour(), 22);
    ASSERT_EQ(s.nights().size(), 2u);
    for (const Night& night : s.nights())
        EXPECT_EQ(std::fmod(night.start.unix(), day), 22 * hour) << night.id;
}

TEST_F(StoreLogReadTest, NightHoursOutOfRangeBuildTheDefaultNights) {
    writeLog(recentNights(2));
    QSettings().setValue("nightStartHour", 99);
    QSettings().setValue("nightEndHour", -1);
    Store& s = makeStore();
    readLogOnce();
    ASSERT_EQ(s.nights().size(), 2u);
    for (const Night& night : s.nights()) {
        EXPECT_EQ(std::fmod(night.start.unix(), day), 23 * hour) << night.id;
        EXPECT_EQ(std::fmod(night.end.unix(), day), 7 * hour) << night.id;
    }
}

TEST_F(StoreLogReadTest, AssigningANightHourItsValueStillReads) {
    writeLog(recentNights(1));
    Store& s = makeStore();
    s.setNightStartHour(s.nightStartHour());
    EXPECT_TRUE(s.loading());
    waitForLogRead();
    s.setNightEndHour(s.nightEndHour());
    EXPECT_TRUE(s.loading());
    waitForLogRead();
    EXPECT_EQ(s.nights().size(), 1u);
}

struct Announcement {
    int nights;
    const char* text;
};

class StoreAnnouncementTest : public StoreTest, public ::testing::WithParamInterface<Announcement> {};

TEST_P(StoreAnnouncementTest, CountsTheNightsJustRead) {
    writeLog(recentNights(GetParam().nights));
    Store& s = makeStore();
    s.refresh(true);
    waitForLogRead();
    EXPECT_EQ(toastText(), QString::fromUtf8(GetParam().text));
    EXPECT_EQ(toast.current()->symbol, "checkmark");
}

INSTANTIATE_TEST_SUITE_P(Counts, StoreAnnouncementTest,
                         ::testing::Values(Announcement{0, "Power log read · 0 nights"},
                                           Announcement{1, "Power log read · 1 night"},
                                           Announcement{3, "Power log read · 3 nights"}));

TEST_F(StoreLogReadTest, RefreshDuringAReadIsAnnouncedByThatReadOnly) {
    writeLog(recentNights(1));
    Store& s = makeStore();
    s.refreshLog();
    s.refresh(true);
    QSignalSpy toasts(&toast, &Toast::currentChanged);
    waitForLogRead();
    QTest::qWait(20);
    EXPECT_EQ(toasts.count(), 1);
    EXPECT_EQ(toastText(), "Power log read · 1 night");
}

// A log file that cannot be read is a failed read, never an empty log: the nights and the history stay as
// they were, and the toast says what went wrong and what to do. Nothing waits on a pipe or a device.
TEST_F(StoreLogReadTest, FixtureThatCannotBeReadSaysWhyAndLeavesNightsAndHistoryAlone) {
    writeLog(recentNights(2));
    Store& s = makeStore();
    readLogOnce();
    ASSERT_EQ(s.nights().size(), 2u);
    const std::vector<Night> nights = s.nights();
    const std::string history = readFile(historyPath());
    ASSERT_EQ(mkfifo(path("pipe.log").toUtf8().constData(), 0600), 0);
    QDir().mkpath(path("folder.log"));

    const struct {
        QString fixture;
        std::string text; // written to the fixture first, when not empty
        QString toast;
    } cases[] = {
        {path("missing.log"),
         {},
         "Can’t open the power log “missing.log”. Check that it exists and is readable, then refresh."},
        {path("pipe.log"),
         {},
         "The power log “pipe.log” isn’t a regular file. Point DORMIO_LOG_FIXTURE at a file, then refresh."},
        {"/dev/zero",
         {},
         "The power log “zero” isn’t a regular file. Point DORMIO_LOG_FIXTURE at a file, then refresh."},
        {path("folder.log"),
         {},
         "The power log “folder.log” isn’t a regular file. Point DORMIO_LOG_FIXTURE at a file, then "
         "refresh."},
        {path("power.log"), recentNights(3) + "Caf\xe9\n",
         "The power log “power.log” isn’t UTF-8 text. Save it as UTF-8, then refresh."},
    };
    for (const auto& c : cases) {
        if (!c.text.empty()) writeLog(c.text);
        // The fixture is named once, when the store's platform is made: a store per fixture.
        qputenv("DORMIO_LOG_FIXTURE", c.fixture.toUtf8());
        Store& reading = makeStore();
        reading.setNights(nights);
        toast.clear();
        reading.refresh(true);
        waitForLogRead();
        EXPECT_EQ(toastText(), c.toast) << c.fixture.toStdString();
        EXPECT_EQ(toastSymbol(), ToastSymbols::failed) << c.fixture.toStdString();
        EXPECT_EQ(reading.nights(), nights) << c.fixture.toStdString();
        EXPECT_EQ(readFile(historyPath()), history) << c.fixture.toStdString();
    }
}

TEST_F(StoreLogReadTest, FixtureThatIsNotUtf8IsNotRead) {
    Store& s = makeStore();
    // A stray byte, an overlong slash, a surrogate, a cut-off sequence, a code point above U+10FFFF.
    for (std::string_view bad : {"\xff", "\xc0\xaf", "\xed\xa0\x80", "\xe2\x82", "\xf4\x90\x80\x80"}) {
        writeLog(recentNights(2) + std::string(bad) + "\n");
        readLogOnce();
        EXPECT_TRUE(s.nights().empty()) << ::testing::PrintToString(bad);
    }
    EXPECT_TRUE(s.loadedOnce());
    writeLog(recentNights(2) + "Caf\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x8c\x99\n");
    readLogOnce();
    EXPECT_EQ(s.nights().size(), 2u) << "well-formed text beyond ASCII reads";
}

// Off a Mac the journal is read, and a machine without one has no log to read.
TEST_F(StoreLogReadTest, WithoutAJournalTheSystemLogCannotBeRead) {
    LinuxPower::machine().journalFolder = path("no-journal").toStdString();
    EXPECT_EQ(SystemPowerLog().read(currentDate()).outcome, PowerLogParser::RunOutcome::couldNotStart);
}

// Journal files this user may not open are no empty journal: from the first read on, the store says what to
// do where the pages and the menu bar look for why there are no nights, the refresh's toast says it too,
// and the history stays as it was.
TEST_F(StoreLogReadTest, AJournalThisUserCannotReadSaysWhatToDoFromTheFirstRead) {
    const QString sentence =
        "Dormio can’t read the system journal. Add yourself to the systemd-journal group and log in again.";
    writeLog(recentNights(2));
    makeStore();
    readLogOnce();
    const std::string history = readFile(historyPath());
    ASSERT_FALSE(history.empty());

    readUnreadableJournal();
    Store& s = makeStore();
    EXPECT_EQ(SystemPowerLog().read(currentDate()).failure, sentence.toStdString());
    QSignalSpy nights(&s, &Store::nightsChanged);
    readLogOnce();
    EXPECT_EQ(s.logFailure(), sentence);
    EXPECT_EQ(s.menuSummary(), sentence);
    EXPECT_EQ(nights.count(), 0);
    EXPECT_TRUE(s.nights().empty());
    EXPECT_EQ(readFile(historyPath()), history);
    s.refresh(true);
    waitForLogRead();
    EXPECT_EQ(toastText(), sentence);
    EXPECT_EQ(toastSymbol(), ToastSymbols::failed);
    EXPECT_EQ(readFile(historyPath()), history);
}

// The failure lasts until a read succeeds, and a read that fails differently says its own sentence.
TEST_F(StoreLogReadTest, TheFailureOfTheLastReadIsTheOneThatStands) {
    FakePlatform machine;
    auto log = std::make_shared<FakePowerLog>();
    machine.log = log;
    log->answer("", PowerLogParser::RunOutcome::couldNotStart);
    Store& s = makeStore(machine.platform());
    readLogOnce();
    EXPECT_EQ(s.logFailure(), "Couldn’t read the power log.");
    EXPECT_EQ(s.menuSummary(), "Couldn’t read the power log.");
    log->answer("");
    readLogOnce();
    EXPECT_EQ(s.logFailure(), std::nullopt);
    EXPECT_EQ(s.menuSummary(), "No nights recorded yet");
}

// Both reads take the moment from the store's clock, whatever the system's says.
TEST_F(StoreLogReadTest, TheLogAndTheListingAreReadAtTheStoresMoment) {
    const Date moment = Date::fromUnix(1767225600); // 2026-01-01 00:00 UTC
    const FixedClock clock(moment);
    FakePlatform machine;
    auto log = std::make_shared<FakePowerLog>();
    auto assertions = std::make_shared<FakeAssertions>();
    machine.log = log;
    machine.assertions = assertions;
    Store& s = makeStore(machine.platform());
    readLogOnce();
    QSignalSpy live(&s, &Store::lastLiveReadChanged);
    s.refreshNow();
    ASSERT_TRUE(live.wait(10000));
    EXPECT_EQ(log->readAt(), std::vector<Date>{moment});
    EXPECT_EQ(assertions->readAt(), std::vector<Date>{moment});
}

TEST_F(StoreLogReadTest, LogCommandThatCannotRunLeavesNightsAndHistoryAlone) {
    FakePlatform machine;
    auto log = std::make_shared<FakePowerLog>();
    machine.log = log;
    log->answer(recentNights(2));
    Store& s = makeStore(machine.platform());
    readLogOnce();
    ASSERT_EQ(s.nights().size(), 2u);
    const std::string history = readFile(historyPath());

    log->answer("", PowerLogParser::RunOutcome::couldNotStart);
    QSignalSpy nights(&s, &Store::nightsChanged);
    int reads = 0;
    QObject::connect(&s, &Store::loadingChanged, [&] { reads += s.loading(); });
    s.refresh(true);
    s.refreshLog();
    waitForLogRead();

    EXPECT_EQ(reads, 2);
    EXPECT_EQ(nights.count(), 0);
    EXPECT_EQ(s.nights().size(), 2u);
    EXPECT_EQ(readFile(historyPath()), history);
    EXPECT_EQ(toastText(), "Couldn’t read the power log.");
    EXPECT_EQ(toast.current()->symbol, "exclamationmark.circle");
}

TEST_F(StoreLogReadTest, DemoModeReadsNothingAndRefreshOnlyAnnounces) {
    writeLog(recentNights(2));
    Store& s = makeStore();
    s.demoState().setDemo(true);
    s.setNights({storedNight("a", Date{0}, Date{3600}), storedNight("b", Date{86400}, Date{90000}),
                 storedNight("c", Date{172800}, Date{176400})});
    s.refreshLog();
    EXPECT_FALSE(s.loading());
    s.refresh(true);
    EXPECT_FALSE(s.loading());
    QTest::qWait(20);
    EXPECT_EQ(s.nights().size(), 3u);
    EXPECT_FALSE(s.loadedOnce());
    EXPECT_FALSE(QFile::exists(historyPath()));
    EXPECT_EQ(toastText(), "Power log read · 3 nights");
}

TEST_F(StoreLogReadTest, ReadThatEndsInDemoModeLeavesTheSampleNightsShown) {
    writeLog(recentNights(2));
    Store& s = makeStore();
    s.refreshLog();
    s.demoState().setDemo(true);
    Night sample = storedNight("sample", Date{0}, Date{3600});
    sample.isDemo = true;
    s.setNights({sample});
    s.setSelectedNightID(sample.id);
    waitForLogRead();

    EXPECT_EQ(s.nights(), std::vector<Night>{sample});
    EXPECT_EQ(s.selectedNightID(), sample.id);
    EXPECT_EQ(storedNights(historyPath()).size(), 2u) << "the history still gets the nights read";
}

TEST_F(StoreLogReadTest, WakingFromSleepReadsAgain) {
    writeLog(recentNights(1));
    Store& s = makeStore();
    s.start(false);
    waitForLogRead();
    ASSERT_TRUE(waitUntil([&] { return s.lastLiveRead().has_value(); }));
    auto* watcher = s.findChild<SleepWatcher*>();
    ASSERT_NE(watcher, nullptr);
    QSignalSpy live(&s, &Store::lastLiveReadChanged);
    watcher->prepareForSleep(true);
    EXPECT_FALSE(s.loading());
    watcher->prepareForSleep(false);
    EXPECT_TRUE(s.loading());
    EXPECT_TRUE(live.wait(10000));
}

} // namespace
} // namespace dormio::testing

namespace dormio::testing {
namespace {

// An export of one night's sleep behind the lid, yesterday night, as journal files in `folder`.
bool writeRecentJournal(const QString& folder) {
    const int64_t today = int64_t(std::floor(currentDate().unix() / 86400)) * 86400; // TZ is UTC here
    const int64_t sleep = today - 2 * 86400 + 23 * 3600 + 1800, wake = today - 86400 + 6 * 3600 + 1800;
    std::string text;
    const auto entry = [&](int64_t when, int64_t sinceBoot, const char* identifier, const char* message) {
        text += "__REALTIME_TIMESTAMP=" + std::to_string(when * 1000000) +
                "\n__MONOTONIC_TIMESTAMP=" + std::to_string(sinceBoot * 1000000) +
                "\n_BOOT_ID=0123456789abcdef0123456789abcdef\n" +
                (std::string_view(identifier) == "kernel"
                     ? std::string("_TRANSPORT=kernel\n")
                     : "_TRANSPORT=journal\n_UID=0\n_COMM=" + std::string(identifier) +
                           "\n_EXE=/usr/lib/systemd/" + identifier + "\n") +
                "SYSLOG_IDENTIFIER=" + identifier + "\nMESSAGE=" + message + "\n\n";
    };
    entry(sleep - 5 * 3600, 2, "kernel", "Linux version 6.1.0-18-amd64");
    entry(sleep - 1, 5 * 3600 + 1, "systemd-logind", "Lid closed.");
    entry(sleep, 5 * 3600 + 2, "systemd-sleep", "Entering sleep state 'suspend'...");
    entry(sleep, 5 * 3600 + 2, "kernel", "PM: suspend entry (s2idle)");
    entry(wake, 5 * 3600 + 3, "kernel", "PM: suspend exit");
    entry(wake + 2, 5 * 3600 + 5, "systemd-logind", "Lid opened.");
    QProcess convert;
    convert.start(
        QStringLiteral("/lib/systemd/systemd-journal-remote"),
        {QStringLiteral("--output=") + folder + QStringLiteral("/system.journal"), QStringLiteral("-")});
    convert.write(text.data(), qint64(text.size()));
    convert.closeWriteChannel();
    return convert.waitForFinished(30000) && convert.exitCode() == 0;
}

TEST_F(StoreLogReadTest, WithoutFixtureOffAMacTheNightsComeFromTheJournal) {
    if (!QFile::exists(QStringLiteral("/lib/systemd/systemd-journal-remote")))
        GTEST_SKIP() << "systemd-journal-remote is not installed";
    QDir().mkpath(path("journal"));
    ASSERT_TRUE(writeRecentJournal(path("journal")));
    qunsetenv("DORMIO_LOG_FIXTURE");
    LinuxPower::machine() = {.journalFolder = path("journal").toStdString(),
                             .upowerFolder = path("no-upower"),
                             .rtcFolder = path("no-rtc"),
                             .useBus = false};
    Store& s = makeStore();
    s.refresh(true);
    waitForLogRead();
    ASSERT_FALSE(s.nights().empty());
    const auto lidClosed = std::find_if(s.nights().begin(), s.nights().end(), [](const Night& night) {
        return std::any_of(night.events.begin(), night.events.end(),
                           [](const NightEvent& e) { return e.label == "Lid closed — went to sleep"; });
    });
    ASSERT_NE(lidClosed, s.nights().end());
    EXPECT_TRUE(std::any_of(lidClosed->events.begin(), lidClosed->events.end(), [](const NightEvent& e) {
        return e.scheduledBy == std::optional<std::string>("Woken by: You opened the lid");
    }));
    EXPECT_TRUE(toastText().startsWith(QStringLiteral("Power log read · ")));
}

} // namespace
} // namespace dormio::testing
