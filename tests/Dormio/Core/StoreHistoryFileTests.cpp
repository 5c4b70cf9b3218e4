#include "DamagedCopies.h"
#include "Dormio/Core/HistoryFile.h"
#include "DormioKit/NightJson.h"
#include "StoreTests.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace dormio::testing {
namespace {

std::vector<std::string> ids(const std::vector<Night>& nights) {
    std::vector<std::string> result;
    for (const Night& night : nights)
        result.push_back(night.id);
    return result;
}

const Date now = currentDate();

Night endedDaysAgo(std::string id, double days) {
    return storedNight(std::move(id), now - (days + 0.3) * day, now - days * day);
}

Night flagged(Night night, bool isDemo, bool inProgress) {
    night.isDemo = isDemo;
    night.inProgress = inProgress;
    return night;
}

// A log that saw something happen in the middle of each of these nights.
PowerLog witnessing(const std::vector<Night>& nights) {
    PowerLog log;
    for (const Night& night : nights)
        log.events.push_back(
            PowerEvent{night.start + (night.end - night.start) / 2, PowerEventKind::darkWake});
    std::sort(log.events.begin(), log.events.end(),
              [](const PowerEvent& a, const PowerEvent& b) { return a.date < b.date; });
    return log;
}

// The nights kept when the history file held `stored`.
std::vector<Night> merged(std::vector<Night> stored, std::vector<Night> fresh, const PowerLog& log) {
    return HistoryFile::merge({std::move(stored), false, true}, std::move(fresh), log, now).nights;
}

struct MergeCase {
    const char* name;
    std::vector<Night> stored;
    std::vector<Night> fresh;
    std::vector<std::string> expected;
};

void PrintTo(const MergeCase& c, std::ostream* out) {
    *out << c.name;
}

class StoreHistoryMergeTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(StoreHistoryMergeTest, KeepsWhatTheHistoryShouldHold) {
    const MergeCase& c = GetParam();
    EXPECT_EQ(ids(merged(c.stored, c.fresh, witnessing(c.fresh))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreHistoryMergeTest,
    ::testing::Values(MergeCase{"KeepsTwentyDaysDropsSixty",
                                {endedDaysAgo("sixty", 60), endedDaysAgo("sixtyOne", 61),
                                 endedDaysAgo("twenty", 20), endedDaysAgo("almostSixty", 59.99)},
                                {},
                                {"almostSixty", "twenty"}},
                      MergeCase{"DropsStoredSampleAndUnfinishedNights",
                                {flagged(endedDaysAgo("sample", 3), true, false),
                                 flagged(endedDaysAgo("running", 2), false, true), endedDaysAgo("real", 4)},
                                {},
                                {"real"}},
                      MergeCase{"KeepsNewUnfinishedNights",
                                {},
                                {flagged(endedDaysAgo("tonight", 0), false, true)},
                                {"tonight"}},
                      MergeCase{"SortsByStartStoredFirstOnEqualStarts",
                                {endedDaysAgo("b", 2), endedDaysAgo("c", 1)},
                                {endedDaysAgo("a", 3), endedDaysAgo("d", 2)},
                                {"a", "b", "d", "c"}},
                      MergeCase{"NewReadReplacesStoredNightOfTheSameID",
                                {endedDaysAgo("same", 5), endedDaysAgo("other", 6)},
                                {endedDaysAgo("same", 1)},
                                {"other", "same"}},
                      MergeCase{"DropsStoredNightsThatStartAfterNow",
                                {endedDaysAgo("yesterday", 1), endedDaysAgo("nextYear", -365),
                                 endedDaysAgo("inAnHour", -0.35)},
                                {},
                                {"yesterday"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreHistoryMerge, ReplacedNightTakesTheNewContents) {
    Night stored = endedDaysAgo("same", 1);
    Night fresh = stored;
    fresh.pluggedIn = !stored.pluggedIn;
    EXPECT_EQ(merged({stored}, {fresh}, witnessing({fresh})), std::vector<Night>{fresh});
}

TEST(StoreHistoryMerge, OfTwoStoredNightsWithOneIDTheLaterStays) {
    const Night first = endedDaysAgo("twin", 3);
    const Night second = endedDaysAgo("twin", 2);
    EXPECT_EQ(merged({first, second}, {}, PowerLog{}), std::vector<Night>{second});
}

TEST(StoreHistoryFile, AlreadyStoredOnlyWhenTheFinishedNightsAreTheFileAsRead) {
    const Night a = endedDaysAgo("a", 2);
    const Night b = endedDaysAgo("b", 1);
    Night changed = b;
    changed.pluggedIn = !b.pluggedIn;
    const Night running = flagged(endedDaysAgo("running", 0), false, true);
    const Night old = endedDaysAgo("old", 61);
    const struct {
        const char* name;
        HistoryFile::Stored stored;
        std::vector<Night> fresh;
        bool alreadyStored;
    } cases[] = {
        {"nothing new", {{a, b}, false, true}, {}, true},
        {"the same night read again", {{a, b}, false, true}, {b}, true},
        {"a night in progress is never written", {{a, b}, false, true}, {running}, true},
        {"nothing and nothing", {{}, false, true}, {running}, true},
        {"no file yet", {{}, false, false}, {running}, false},
        {"a damaged file is always written", {{}, true, false}, {}, false},
        {"a night more", {{a}, false, true}, {b}, false},
        {"a night too old", {{old, a, b}, false, true}, {}, false},
        {"a night in progress in the file", {{a, b, running}, false, true}, {}, false},
        {"another order", {{b, a}, false, true}, {}, false},
        {"a night changed", {{a, b}, false, true}, {changed}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HistoryFile::merge(c.stored, c.fresh, witnessing(c.fresh), now).alreadyStored,
                  c.alreadyStored)
            << c.name;
}

// A night read again from a log that only carries an old state on into it must not replace what was
// recorded while it happened.
struct ReplaceCase {
    const char* name;
    std::vector<PowerEvent> events;
    std::vector<DisplayChange> display;
    bool replaces;
};

void PrintTo(const ReplaceCase& c, std::ostream* out) {
    *out << c.name;
}

class StoreHistoryReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

// The stored night "night" ran from 1.3 to 1 day ago, the newest stored night from 0.35 to 0.05 days ago.
TEST_P(StoreHistoryReplaceTest, ReplacesAStoredNightOnlyWithWhatTheLogSaw) {
    const ReplaceCase& c = GetParam();
    const Night stored = endedDaysAgo("night", 1);
    const Night newest = endedDaysAgo("newest", 0.05);
    Night fresh = stored;
    fresh.segments.front().state = PowerState::screenOn;
    PowerLog log;
    log.events = c.events;
    log.display = c.display;

    const std::vector<Night> nights = merged({stored, newest}, {fresh}, log);
    EXPECT_EQ(nights, (std::vector<Night>{c.replaces ? fresh : stored, newest}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreHistoryReplaceTest,
    ::testing::Values(
        ReplaceCase{"AStateEventInTheWindow",
                    {{now - 1.2 * day, PowerEventKind::darkWake}, {now - 0.2 * day, PowerEventKind::wake}},
                    {},
                    true},
        ReplaceCase{"ADisplayChangeInTheWindow",
                    {{now - 3 * day, PowerEventKind::wake}, {now - 0.2 * day, PowerEventKind::sleep}},
                    {{now - 1.1 * day, true}},
                    true},
        ReplaceCase{"AnEventAtTheWindowsVeryEnd",
                    {{now - 1 * day, PowerEventKind::wake}, {now - 0.2 * day, PowerEventKind::sleep}},
                    {},
                    true},
        ReplaceCase{"NothingInTheWindowButBeforeAndAfterIt",
                    {{now - 1.4 * day, PowerEventKind::sleep}, {now - 0.2 * day, PowerEventKind::wake}},
                    {},
                    false},
        ReplaceCase{"ALogThatEndedBeforeTheWindow",
                    {{now - 1.35 * day, PowerEventKind::wake}},
                    {{now - 1.32 * day, true}},
                    false},
        ReplaceCase{"ALogThatEndsBeforeTheNewestStoredNightBegins",
                    {{now - 1.2 * day, PowerEventKind::darkWake}, {now - 0.5 * day, PowerEventKind::wake}},
                    {},
                    false},
        ReplaceCase{"AnEmptyLog", {}, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

class StoreHistoryFileTest : public StoreTest {};

TEST_F(StoreHistoryFileTest, WritesOnlyFinishedNightsAndReadsThemBack) {
    const Night done = endedDaysAgo("done", 1);
    const Night running = flagged(endedDaysAgo("running", 0), false, true);
    ASSERT_EQ(HistoryFile::write(path("nights.json"), {done, running}, false), std::nullopt);
    const auto stored = HistoryFile::read(path("nights.json"));
    EXPECT_FALSE(stored.damaged);
    EXPECT_EQ(stored.nights, std::vector<Night>{done});
}

// A stored night kept as it was is written again by copying its text from the file, where that text is the
// writer's own: whatever the file held, the file written holds what the writer gives the merged nights, byte
// for byte, the night in progress among them left out.
TEST_F(StoreHistoryFileTest, NightsWrittenAgainHoldTheWritersOwnText) {
    Night first = endedDaysAgo("a", 3);
    first.start = Date{std::floor(first.start.seconds)};
    const std::string start = "\"start\":" + std::to_string(int64_t(first.start.seconds));
    const std::vector<Night> stored{first, endedDaysAgo("b", 2), endedDaysAgo("c", 1)};
    const std::vector<Night> fresh{endedDaysAgo("d", 0.5), flagged(endedDaysAgo("e", 2.5), false, true)};
    struct Case {
        const char* what;
        std::string from, to; // a change to the file as written
        int copied;           // nights written by copying their text
    };
    const Case cases[] = {
        {"as written", "", "", 3},
        {"a date spelt as an integer", start + ".0}", start + "}", 2},
        {"a text with an escape", "\"id\":\"b\"", "\"id\":\"\\u0062\"", 2},
        {"a space between nights", "},{", "}, {", 0},
    };
    for (const Case& c : cases) {
        std::string text = *encodeNights(stored);
        if (!c.from.empty()) {
            const auto at = text.find(c.from);
            ASSERT_NE(at, std::string::npos) << c.what;
            text.replace(at, c.from.size(), c.to);
        }
        writeFile(path("nights.json"), text);
        HistoryFile::Stored read = HistoryFile::read(path("nights.json"));
        ASSERT_EQ(read.nights, stored) << c.what;
        const HistoryFile::Merged merged = HistoryFile::merge(std::move(read), fresh, witnessing(fresh), now);
        EXPECT_EQ(std::count_if(merged.texts.begin(), merged.texts.end(), [](auto t) { return !t.empty(); }),
                  c.copied)
            << c.what;
        ASSERT_EQ(HistoryFile::write(path("again.json"), merged.nights, false, merged.texts), std::nullopt);
        std::vector<Night> finished = merged.nights;
        std::erase_if(finished, [](const Night& night) { return night.inProgress; });
        ASSERT_EQ(ids(finished), (std::vector<std::string>{"a", "b", "c", "d"})) << c.what;
        EXPECT_EQ(readFile(path("again.json")), *encodeNights(finished)) << c.what;
    }
}

TEST_F(StoreHistoryFileTest, MissingFileIsEmptyAndNotDamaged) {
    const auto stored = HistoryFile::read(path("nights.json"));
    EXPECT_TRUE(stored.nights.empty());
    EXPECT_FALSE(stored.damaged);
}

TEST_F(StoreHistoryFileTest, AnythingButARegularFileIsDamagedAndNotWaitedOn) {
    ASSERT_EQ(mkfifo(path("pipe.json").toUtf8().constData(), 0600), 0);
    QDir().mkpath(path("folder.json"));
    QFile::link(path("nowhere.json"), path("dangling.json"));
    for (const char* name : {"pipe.json", "folder.json", "dangling.json"}) {
        const auto stored = HistoryFile::read(path(name));
        EXPECT_TRUE(stored.damaged) << name;
        EXPECT_TRUE(stored.nights.empty()) << name;
    }
    ASSERT_EQ(HistoryFile::write(path("pipe.json"), {endedDaysAgo("a", 1)}, true), std::nullopt);
    EXPECT_EQ(HistoryFile::read(path("pipe.json")).nights.size(), 1u);
    const QStringList copies = damagedCopies(path("pipe.json"));
    ASSERT_EQ(copies.size(), 1);
    struct stat aside {};
    ASSERT_EQ(stat(copies[0].toUtf8().constData(), &aside), 0);
    EXPECT_TRUE(S_ISFIFO(aside.st_mode)) << "the pipe is kept aside";
}

TEST_F(StoreHistoryFileTest, DamagedFileBehindALinkIsKeptAsideAndTheHistoryWrittenInItsPlace) {
    writeFile(path("target.json"), "{not json");
    QFile::link(path("target.json"), path("linked.json"));
    QFile::link(path("nowhere.json"), path("dangling.json"));
    for (const char* name : {"linked.json", "dangling.json"}) {
        ASSERT_TRUE(HistoryFile::read(path(name)).damaged) << name;
        ASSERT_EQ(HistoryFile::write(path(name), {endedDaysAgo("a", 1)}, true), std::nullopt) << name;
        EXPECT_FALSE(QFileInfo(path(name)).isSymLink()) << name;
        EXPECT_EQ(HistoryFile::read(path(name)).nights.size(), 1u) << name;
        const QStringList copies = damagedCopies(path(name));
        ASSERT_EQ(copies.size(), 1) << name;
        EXPECT_TRUE(QFileInfo(copies[0]).isSymLink()) << name;
    }
    EXPECT_EQ(readFile(path("target.json")), "{not json");
    EXPECT_FALSE(QFile::exists(path("nowhere.json")));
}

TEST_F(StoreHistoryFileTest, DamagedFileThatCannotBeMovedAsideIsNotOverwritten) {
    // A name so long that no longer name for its copy fits in the folder.
    const QString history = path(QString(245, 'n') + ".json");
    writeFile(history, "{not json");
    const auto failure = HistoryFile::write(history, {endedDaysAgo("a", 1)}, true);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith("couldn’t set aside the damaged file “" + history + "”: "))
        << failure->toStdString();
    EXPECT_EQ(readFile(history), "{not json");
    EXPECT_EQ(QFileInfo(history).dir().entryList(QDir::Files), QStringList{QFileInfo(history).fileName()});
}

TEST_F(StoreHistoryFileTest, NightThatCannotBeEncodedLeavesTheFileAsItWas) {
    writeFile(path("nights.json"), "{not json");
    Night broken = endedDaysAgo("broken", 1);
    broken.segments.front().end = Date{std::nan("")};
    EXPECT_TRUE(HistoryFile::write(path("nights.json"), {broken}, true));
    EXPECT_EQ(readFile(path("nights.json")), "{not json");
    EXPECT_TRUE(damagedCopies(path("nights.json")).isEmpty());
}

TEST_F(StoreHistoryFileTest, WriteIntoAMissingFolderFailsQuietly) {
    writeFile(path("blocker"), "a file where the folder should be");
    const auto failure = HistoryFile::write(path("blocker/nights.json"), {endedDaysAgo("a", 1)}, false);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith("couldn’t write “" + path("blocker/nights.json") + "”: "));
}

} // namespace
} // namespace dormio::testing
