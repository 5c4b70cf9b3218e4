#include "DormioKit/PowerLogParser.h"
#include "PowerLogLines.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace dormio;
namespace Parser = dormio::PowerLogParser;

namespace {

// 2026-03-10 00:00:00 UTC
constexpr double march10 = 1773100800;

Date utc(double unixSeconds) {
    return Date::fromUnix(unixSeconds);
}

constexpr std::string_view sleepMessage =
    "Entering Sleep state due to 'Idle Sleep':TCPKeepAlive=active Using Batt (Charge:80%) 3 secs";
constexpr std::string_view wakeMessage =
    "Wake from Deep Idle [CDNVA] : due to EC.LidOpen/Lid Open Using AC (Charge:100%)";

// --- Lines --------------------------------------------------------------------------------------

struct LineCase {
    std::string name;
    std::string text;
    std::size_t events;
    int64_t skipped;
};

std::ostream& operator<<(std::ostream& out, const LineCase& c) {
    return out << c.name;
}

class LineSplitting : public testing::TestWithParam<LineCase> {};

TEST_P(LineSplitting, KeepsAndCountsLines) {
    const PowerLog log = Parser::parse(GetParam().text);
    EXPECT_EQ(log.events.size(), GetParam().events);
    EXPECT_EQ(log.skippedLines, GetParam().skipped);
}

const std::string sleepLine = LogLines::line("2026-03-10 23:15:02 +0000", "Sleep", sleepMessage);

INSTANTIATE_TEST_SUITE_P(
    Lines, LineSplitting,
    testing::Values(
        LineCase{"EmptyText", "", 0, 0}, LineCase{"OnlyNewlines", "\n\n\r\n", 0, 0},
        LineCase{"TwentySevenBytes", "2026-03-10 23:15:02 +0000 S", 0, 0},
        LineCase{"TwentyEightBytesWithoutTab", "2026-03-10 23:15:02 +0000 Sl", 0, 1},
        LineCase{"LongLineWithoutTab", "2026-03-10 23:15:02 +0000 Sleep Entering Sleep", 0, 1},
        LineCase{"BeginsWith19", "1926-03-10 23:15:02 +0000 Sleep          \tEntering", 0, 0},
        LineCase{"HeaderLines", "Sleep/Wakes since boot:3\nTotal Sleep/Wakes since boot:5\n", 0, 0},
        LineCase{"FinalLineWithoutNewline", sleepLine.substr(0, sleepLine.size() - 1), 1, 0},
        LineCase{"StateLineMonth13", LogLines::line("2026-13-10 23:15:02 +0000", "Sleep", sleepMessage), 0,
                 1},
        LineCase{"WakeRequestsUnreadableDate",
                 LogLines::line("2026-03-1x 23:15:02 +0000", "Wake Requests", "[process=a]"), 0, 1},
        LineCase{"AssertionMonth13",
                 LogLines::line("2026-13-10 23:15:02 +0000", "Assertions",
                                "PID 1(a) Released PreventSystemSleep \"n\" 00:00:05"),
                 0, 0},
        LineCase{"OtherTypeUnreadableDate", LogLines::line("2026-03-1x 23:15:02 +0000", "Kernel", "x"), 0, 0},
        LineCase{"PaddedSleepType", "2026-03-10 23:15:02 +0000 Sleep      \tx", 1, 0},
        LineCase{"LowerCaseSleepType", "2026-03-10 23:15:02 +0000 sleep      \tx", 0, 0},
        LineCase{"TabAtByte26", "2026-03-10 23:15:02 +0000 \tSleep", 0, 0}));

TEST(PowerLogParser, AViewWithoutTextIsTheEmptyLog) {
    const PowerLog log = Parser::parse(std::string_view{});
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(log.firstDate, std::nullopt);
    EXPECT_EQ(log.skippedLines, 0);
}

TEST(PowerLogParser, CrLfEndsReadLikeLfEnds) {
    const std::string lf =
        LogLines::line("2026-03-10 23:15:02 +0000", "Sleep", sleepMessage) +
        LogLines::line("2026-03-11 07:02:00 +0000", "Wake", wakeMessage) +
        LogLines::line("2026-03-11 07:02:01 +0000", "Notification", "Display is turned on");
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    const PowerLog a = Parser::parse(lf), b = Parser::parse(crlf);
    ASSERT_EQ(b.events.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(a.events[i].raw, b.events[i].raw);
        EXPECT_EQ(a.events[i].charge, b.events[i].charge);
    }
    ASSERT_EQ(b.display.size(), 1u);
    EXPECT_TRUE(b.display[0].on);
    EXPECT_EQ(a.firstDate, b.firstDate);
}

// --- Dates --------------------------------------------------------------------------------------

struct DateCase {
    std::string text;
    std::optional<double> unixSeconds;
};

std::ostream& operator<<(std::ostream& out, const DateCase& c) {
    return out << '"' << c.text << '"';
}

class DateReading : public testing::TestWithParam<DateCase> {};

TEST_P(DateReading, ReadsTheFixedPositions) {
    const auto date = Parser::parseDate(GetParam().text);
    if (GetParam().unixSeconds)
        EXPECT_EQ(date, utc(*GetParam().unixSeconds));
    else
        EXPECT_EQ(date, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Readable, DateReading,
                         testing::Values(DateCase{"2026-03-10 23:15:02 +0000", march10 + 83702},
                                         DateCase{"2026-03-10 00:00:00 +0530", march10 - 19800},
                                         DateCase{"2026-03-10 00:00:00 -0800", march10 + 28800},
                                         DateCase{"2026-03-09 23:59:60 +0000", march10},
                                         DateCase{"2026-02-31 00:00:00 +0000", march10 - 7 * 86400},
                                         DateCase{"2026-03-10 00:00:00x+0000", march10},
                                         DateCase{"2026-03-10 00:00:00 +0099", march10 - 99 * 60},
                                         DateCase{"2026-03-10 00:00:00 +0000 and more", march10}));

INSTANTIATE_TEST_SUITE_P(
    Unreadable, DateReading,
    testing::Values(DateCase{"2026-13-10 00:00:00 +0000", {}}, DateCase{"2026-00-10 00:00:00 +0000", {}},
                    DateCase{"2026-03-00 00:00:00 +0000", {}}, DateCase{"2026-03-32 00:00:00 +0000", {}},
                    DateCase{"2026-03-10 24:00:00 +0000", {}}, DateCase{"2026-03-10 00:60:00 +0000", {}},
                    DateCase{"2026-03-10 00:00:61 +0000", {}}, DateCase{"2026-03-10 00:00:00 00000", {}},
                    DateCase{"2026-03-10 00:00:00 +00a0", {}}, DateCase{"2026/03/10 00:00:00 +0000", {}},
                    DateCase{"2026-03-10T00:00:00 +0000", {}}, DateCase{"2026-3-10 00:00:00 +0000", {}},
                    DateCase{"2026-03-10 00:00:00 +000", {}}, DateCase{"", {}}));

TEST(PowerLogParser, LinesOfSeveralDaysKeepTheirOwnDays) {
    const PowerLog log =
        Parser::parse(LogLines::line("2026-03-10 23:00:00 +0000", "Sleep", sleepMessage) +
                      LogLines::line("2026-03-11 01:00:00 +0000", "DarkWake", "DarkWake from Deep Idle") +
                      LogLines::line("2026-03-10 23:30:00 +0100", "Wake", wakeMessage) +
                      LogLines::line("2027-03-10 23:00:00 +0000", "Start", "Start"));
    ASSERT_EQ(log.events.size(), 4u);
    EXPECT_EQ(log.events[0].date, utc(march10 + 81000));
    EXPECT_EQ(log.events[1].date, utc(march10 + 82800));
    EXPECT_EQ(log.events[2].date, utc(march10 + 86400 + 3600));
    EXPECT_EQ(log.events[3].date, utc(march10 + 365 * 86400 + 82800));
}

// --- State events -------------------------------------------------------------------------------

struct StateCase {
    std::string type;
    std::string message;
    PowerEventKind kind;
    std::string cause;
};

std::ostream& operator<<(std::ostream& out, const StateCase& c) {
    return out << c.type << ": " << c.message;
}

class StateEvents : public testing::TestWithParam<StateCase> {};

TEST_P(StateEvents, KindAndCause) {
    const PowerEvent event = Parser::parseStateEvent(GetParam().type, GetParam().message, Date{42});
    EXPECT_EQ(event.date, Date{42});
    EXPECT_EQ(event.kind, GetParam().kind);
    EXPECT_EQ(event.cause, GetParam().cause);
    EXPECT_EQ(event.raw, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Sleeps, StateEvents,
    testing::Values(StateCase{"Sleep", std::string(sleepMessage), PowerEventKind::sleep, "Idle Sleep"},
                    StateCase{"Sleep", "Entering DarkWake state due to 'Maintenance Sleep':",
                              PowerEventKind::enterDark, "Maintenance Sleep"},
                    StateCase{"Sleep", "Entering Sleep state due to 'Idle Sleep", PowerEventKind::sleep, ""},
                    StateCase{"Sleep", "Entering Sleep state due to Idle Sleep'", PowerEventKind::sleep, ""},
                    StateCase{"Sleep", "Entering Sleep state due to ' Clamshell ' x", PowerEventKind::sleep,
                              " Clamshell "}));

INSTANTIATE_TEST_SUITE_P(
    Wakes, StateEvents,
    testing::Values(
        StateCase{"Wake", std::string(wakeMessage), PowerEventKind::wake, "EC.LidOpen/Lid Open"},
        StateCase{"Wake", "DarkWake to FullWake from Deep Idle [DS] : due to UserActivity Assertion",
                  PowerEventKind::darkToFull, "UserActivity Assertion"},
        StateCase{"DarkWake", "DarkWake to FullWake from Deep Idle", PowerEventKind::darkToFull, ""},
        StateCase{"DarkWake",
                  "DarkWake from Deep Idle [CDNP] : due to NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance "
                  "Using Batt (Charge:79%) 45 secs",
                  PowerEventKind::darkWake, "NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance"},
        StateCase{"DarkWake", "Wake from Standby due to rtc", PowerEventKind::darkWake, "rtc"},
        StateCase{"Wake", "DarkWake from Deep Idle due to rtc", PowerEventKind::darkWake, "rtc"},
        StateCase{"Wake", "Wake from Normal Sleep [CDNVA]", PowerEventKind::wake, ""},
        StateCase{"Wake", "Wake due to \t\u00A0EC.PowerButton\u202F Using AC", PowerEventKind::wake,
                  "EC.PowerButton"},
        StateCase{"Wake", "Wake due to Using Batt", PowerEventKind::wake, "Using Batt"},
        StateCase{"Start", "Start Using AC", PowerEventKind::boot, "Mac started up"}));

struct SourceCase {
    std::string message;
    std::optional<bool> onBattery;
    std::optional<int64_t> charge;
};

std::ostream& operator<<(std::ostream& out, const SourceCase& c) {
    return out << '"' << c.message << '"';
}

class PowerSource : public testing::TestWithParam<SourceCase> {};

TEST_P(PowerSource, BatteryAndCharge) {
    const auto [onBattery, charge] = Parser::powerSource(GetParam().message);
    EXPECT_EQ(onBattery, GetParam().onBattery);
    EXPECT_EQ(charge, GetParam().charge);
}

INSTANTIATE_TEST_SUITE_P(Messages, PowerSource,
                         testing::Values(SourceCase{"x Using Batt (Charge:80%) 3 secs", true, 80},
                                         SourceCase{"x Using AC (Charge:100%)", false, 100},
                                         SourceCase{"x Using AC", false, {}},
                                         SourceCase{"x Using BATT (Charge:80%)", {}, 80},
                                         SourceCase{"x Using UPS", {}, {}},
                                         SourceCase{"Charge:80% and no source", {}, {}},
                                         SourceCase{"Charge:80% Using AC", false, {}},
                                         SourceCase{"x Using Batt (Charge:%)", true, {}},
                                         SourceCase{"x Using Batt (Charge: 80%)", true, {}},
                                         SourceCase{"x Using Batt (Charge:007%)", true, 7},
                                         SourceCase{"x Using Batt (Charge:\u0668\u0660%)", true, {}},
                                         SourceCase{"x Using Batt (Charge:8\u0660%)", true, {}},
                                         SourceCase{"x Using Batt (Charge:99999999999999999999%)", true, {}},
                                         SourceCase{"x Using Batt (Charge:80", true, 80}));

TEST(PowerLogParser, StateLinesKeepTheirMessageColumnOnly) {
    const PowerLog log = Parser::parse(LogLines::line(
        "2026-03-10 23:15:02 +0000", "Sleep", "  " + std::string(sleepMessage) + "  ", "further\tcolumns"));
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].raw, sleepMessage);
    EXPECT_EQ(log.events[0].onBattery, true);
    EXPECT_EQ(log.events[0].charge, 80);
}

TEST(PowerLogParser, IllFormedBytesInKeptTextBecomeReplacementCharacters) {
    const PowerLog log = Parser::parse(
        LogLines::line("2026-03-10 23:15:02 +0000", "Wake", "Wake due to lid\xFF open\xE2\x80"));
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].raw, "Wake due to lid\uFFFD open\uFFFD");
    EXPECT_EQ(log.events[0].cause, "lid\uFFFD open\uFFFD");
}

// --- Display ------------------------------------------------------------------------------------

TEST(PowerLogParser, DisplayNotificationsAreJudgedByTheirMessage) {
    const PowerLog log = Parser::parse(
        LogLines::line("2026-03-10 23:00:00 +0000", "Notification", "Display is turned off", "turned on") +
        LogLines::line("2026-03-10 23:00:01 +0000", "Notification", "Display is turned on  ", "off") +
        LogLines::line("2026-03-10 23:00:02 +0000", "Notification", "Display is turned dim") +
        LogLines::line("2026-03-10 23:00:03 +0000", "Notification", "Lid is closed") +
        LogLines::line("2026-03-10 23:00:04 +0000", "Notification", "display is turned on") +
        LogLines::line("2026-03-1x 23:00:05 +0000", "Notification", "Display is turned on"));
    ASSERT_EQ(log.display.size(), 3u);
    EXPECT_FALSE(log.display[0].on);
    EXPECT_TRUE(log.display[1].on);
    EXPECT_FALSE(log.display[2].on);
    EXPECT_EQ(log.display[1].date, utc(march10 + 82801));
    EXPECT_EQ(log.skippedLines, 0);
    EXPECT_EQ(log.firstDate, std::nullopt);
}

// --- Assertion lines ----------------------------------------------------------------------------

TEST(PowerLogParser, OnlySleepBlockingReleasesAreKept) {
    const std::string date = "2026-03-10 23:00:00 +0000";
    const PowerLog log = Parser::parse(
        LogLines::line(date, "Assertions",
                       "PID 412(backupd) Released PreventUserIdleSystemSleep \"Time Machine\" 00:03:12") +
        LogLines::line(date, "Assertions",
                       "PID 412(backupd) Created PreventUserIdleSystemSleep \"Time Machine\" 00:00:00") +
        LogLines::line(date, "Assertions", "PID 9(a) Released PreventSystemSleep \"x) Created y\" 00:00:09") +
        LogLines::line(date, "Assertions",
                       "PID 9(a) Released PreventUserIdleDisplaySleep \"movie\" 00:00:09") +
        LogLines::line(date, "Assertions", "Summary- [System: PrevIdle SystemSleep] Using AC") +
        LogLines::line(date, "Assertions", "PID 88(cloudd) TimedOut NoIdleSleepAssertion \"sync\" 00:00:30") +
        LogLines::line(date, "Assertions  ", "PID 7(b) ClientDied PreventSystemSleep 00:10:00 id:0x0x1"));
    ASSERT_EQ(log.releases.size(), 3u);
    EXPECT_EQ(log.releases[0].process, "backupd");
    EXPECT_EQ(log.releases[0].duration, 192);
    EXPECT_EQ(log.releases[1].type, "NoIdleSleepAssertion");
    EXPECT_EQ(log.releases[2].pid, 7);
    EXPECT_EQ(log.releases[2].duration, 600);
    EXPECT_EQ(log.releases[2].end, utc(march10 + 82800));
    EXPECT_EQ(log.firstDate, std::nullopt);
    EXPECT_EQ(log.skippedLines, 0);
}

// --- Order and first date -----------------------------------------------------------------------

TEST(PowerLogParser, SortsByDateKeepingTextOrderOfEqualDates) {
    const PowerLog log = Parser::parse(
        LogLines::line("2026-03-11 07:00:00 +0000", "Wake", "Wake first") +
        LogLines::line("2026-03-10 23:00:00 +0000", "Sleep", "Entering Sleep state due to 'Idle Sleep':") +
        LogLines::line("2026-03-11 07:00:00 +0000", "DarkWake", "DarkWake second") +
        LogLines::line("2026-03-11 07:00:00 +0000", "Start", "third") +
        LogLines::line("2026-03-11 06:00:00 +0000", "Notification", "Display is turned on") +
        LogLines::line("2026-03-11 05:00:00 +0000", "Notification", "Display is turned off") +
        LogLines::line("2026-03-11 07:00:00 +0000", "Wake Requests", "[process=b] [process=c]") +
        LogLines::line("2026-03-11 06:00:00 +0000", "Wake Requests", "[process=a]") +
        LogLines::line("2026-03-11 07:00:00 +0000", "Assertions",
                       "PID 2(two) Released PreventSystemSleep 00:00:01") +
        LogLines::line("2026-03-11 06:00:00 +0000", "Assertions",
                       "PID 1(one) Released PreventSystemSleep 00:00:01"));

    std::vector<std::string> raws;
    for (const auto& event : log.events)
        raws.push_back(event.raw);
    EXPECT_EQ(raws, (std::vector<std::string>{"Entering Sleep state due to 'Idle Sleep':", "Wake first",
                                              "DarkWake second", "third"}));
    ASSERT_EQ(log.display.size(), 2u);
    EXPECT_FALSE(log.display[0].on);
    std::vector<std::string> requesters;
    for (const auto& request : log.requests)
        requesters.emplace_back(request.process);
    EXPECT_EQ(requesters, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(log.releases.size(), 2u);
    EXPECT_EQ(log.releases[0].process, "one");
}

struct FirstDateCase {
    std::string name;
    std::string text;
    std::optional<double> unixSeconds;
};

std::ostream& operator<<(std::ostream& out, const FirstDateCase& c) {
    return out << c.name;
}

class FirstDate : public testing::TestWithParam<FirstDateCase> {};

TEST_P(FirstDate, IsTheEarliestNotedDate) {
    const auto first = Parser::parse(GetParam().text).firstDate;
    if (GetParam().unixSeconds)
        EXPECT_EQ(first, utc(*GetParam().unixSeconds));
    else
        EXPECT_EQ(first, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FirstDate,
    testing::Values(FirstDateCase{"FirstReadableOtherLine",
                                  LogLines::line("2026-03-1x 01:00:00 +0000", "Kernel Client Acks", "x") +
                                      LogLines::line("2026-03-10 02:00:00 +0000", "Kernel Client Acks", "x") +
                                      LogLines::line("2026-03-10 01:00:00 +0000", "Summary", "x"),
                                  march10 + 7200},
                    FirstDateCase{"EarlierStateLineLowersIt",
                                  LogLines::line("2026-03-10 02:00:00 +0000", "Summary", "x") +
                                      LogLines::line("2026-03-10 03:00:00 +0000", "Sleep", "x") +
                                      LogLines::line("2026-03-10 01:00:00 +0000", "Wake", "x"),
                                  march10 + 3600},
                    FirstDateCase{"OtherLinesAfterANotedDateDoNotLowerIt",
                                  LogLines::line("2026-03-10 03:00:00 +0000", "Sleep", "x") +
                                      LogLines::line("2026-03-10 01:00:00 +0000", "Summary", "x"),
                                  march10 + 10800},
                    FirstDateCase{"LowerCaseTypeIsAnOtherType",
                                  LogLines::line("2026-03-10 03:00:00 +0000", "sleep", "x"), march10 + 10800},
                    FirstDateCase{
                        "KeptLinesOfOtherKindsNeverSetIt",
                        LogLines::line("2026-03-10 01:00:00 +0000", "Assertions",
                                       "PID 1(a) Released PreventSystemSleep 00:00:01") +
                            LogLines::line("2026-03-10 01:00:00 +0000", "Assertions", "Summary") +
                            LogLines::line("2026-03-10 01:00:00 +0000", "Notification",
                                           "Display is turned on") +
                            LogLines::line("2026-03-10 01:00:00 +0000", "Notification", "Lid is open") +
                            LogLines::line("2026-03-10 01:00:00 +0000", "Wake Requests", "[process=a]"),
                        std::nullopt}));

} // namespace
