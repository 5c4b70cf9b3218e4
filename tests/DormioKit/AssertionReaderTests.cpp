#include "DormioKit/Assertions.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

using namespace dormio;

namespace {

std::string readFixture(const std::string& name) {
    std::ifstream file(std::string(DORMIO_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A listing with one process section around the given lines.
std::string listing(const std::vector<std::string>& lines, const std::string& ending = "\n") {
    std::string text = "Assertion status system-wide:" + ending + "Listed by owning process:" + ending;
    for (const auto& line : lines)
        text += line + ending;
    return text + "Kernel Assertions: 0x4=USB" + ending;
}

LiveAssertion held(std::string process, std::string type) {
    return LiveAssertion{1, std::move(process), std::move(type), "", 0};
}

const std::string player = "   pid 10(Player): [0x1] 00:05:00 PreventUserIdleSystemSleep named: \"Playing\"";

} // namespace

TEST(AssertionReader, ReadsTheSelfTestListing) {
    const auto assertions = AssertionReader::parse(readFixture("assertions.txt"));
    const std::vector<LiveAssertion> expected = {
        {99991, "FakePlayer", "PreventUserIdleSystemSleep", "Playing", 2700},
        {99992, "FakeBrowser", "PreventUserIdleDisplaySleep", "Video Wake Lock", 660},
        {99993, "caffeinate", "PreventSystemSleep", "caffeinate command-line tool", 3600},
        {99994, "powerd", "PreventUserIdleSystemSleep", "Powerd - Prevent sleep while display is on", 7200},
    };
    EXPECT_EQ(assertions, expected);
    ASSERT_EQ(assertions.size(), 4u);
    EXPECT_TRUE(assertions[0].isNoteworthy());
    EXPECT_FALSE(assertions[0].keepsScreenOn());
    EXPECT_FALSE(assertions[1].isNoteworthy());
    EXPECT_TRUE(assertions[1].keepsScreenOn());
    EXPECT_TRUE(assertions[2].isNoteworthy());
    EXPECT_EQ(assertions[2].friendlyType(), "Stops all sleep");
    EXPECT_FALSE(assertions[3].isNoteworthy());
    EXPECT_TRUE(assertions[3].isPlatform());
    EXPECT_EQ(assertions[0].id(), "99991-PreventUserIdleSystemSleep-Playing");
    EXPECT_EQ(assertions[0].ownerPID(), 99991);
}

TEST(AssertionReader, OnlyTheProcessSectionIsRead) {
    const std::string other = "pid 20(Other): 00:00:01 PreventSystemSleep";
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> processes;
    };
    const std::vector<Case> cases = {
        {"no process section", "Assertion status system-wide:\n" + player + "\n", {}},
        {"lines after the kernel section are not read", listing({player}) + other + "\n", {"Player"}},
        {"reading resumes after a further section",
         listing({player}) + other + "\nListed by owning process:\n" + other + "\n",
         {"Player", "Other"}},
        {"a system-wide status line ends the section",
         "Listed by owning process:\n" + player + "\nAssertion status system-wide:\n" + other + "\n",
         {"Player"}},
        {"other lines and rejected pid lines are skipped",
         listing({"Something else", "pid x(Bad): 00:00:01 PreventSystemSleep", player}),
         {"Player"}},
        {"empty text", "", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> processes;
        for (const auto& a : AssertionReader::parse(c.text))
            processes.push_back(a.process);
        EXPECT_EQ(processes, c.processes) << c.what;
    }
}

TEST(AssertionReader, CreatedForAndTimeoutLinesBelongToTheRecordAbove) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::optional<int32_t> createdFor;
        std::optional<int64_t> timeout;
    };
    const std::vector<Case> cases = {
        {"created for, with a full stop", {player, "\tCreated for PID: 456. "}, 456, std::nullopt},
        {"a second line replaces the first",
         {player, "Created for PID: 456.", "Created for PID: 789"},
         789,
         {}},
        {"a line without digits clears it",
         {player, "Created for PID: 456.", "Created for PID: none"},
         {},
         {}},
        {"digits of another script do not read", {player, "Created for PID: \u0664\u0665\u0666"}, {}, {}},
        {"a run mixing scripts does not read", {player, "Created for PID: 45\u0666"}, {}, {}},
        {"full-width digits do not read", {player, "Created for PID: \uFF14\uFF15"}, {}, {}},
        {"too large for a pid", {player, "Created for PID: 2147483648"}, {}, {}},
        {"a sign is not part of the run", {player, "Created for PID: -5"}, {}, {}},
        {"spaces of any kind are trimmed", {player, "Created for PID:\u00A0\t 77"}, 77, {}},
        {"timeout with its unit word",
         {player, "Timeout will fire in 3600 secs Action=TimeoutActionRelease"},
         {},
         3600},
        {"a 64-bit timeout", {player, "Timeout will fire in 9000000000 secs"}, {}, 9000000000},
        {"both", {player, "Created for PID: 5.", "Timeout will fire in 60 secs"}, 5, 60},
        {"sub-lines before any record are skipped",
         {"Created for PID: 5.", "Timeout will fire in 60 secs", player},
         {},
         {}},
    };
    for (const auto& c : cases) {
        const auto assertions = AssertionReader::parse(listing(c.lines));
        ASSERT_EQ(assertions.size(), 1u) << c.what;
        EXPECT_EQ(assertions[0].createdFor, c.createdFor) << c.what;
        EXPECT_EQ(assertions[0].timeout, c.timeout) << c.what;
        EXPECT_EQ(assertions[0].ownerPID(), c.createdFor.value_or(10)) << c.what;
    }
}

TEST(AssertionReader, SubLinesGoToTheMostRecentRecord) {
    const auto assertions = AssertionReader::parse(listing(
        {player, "pid 11(Second): 00:00:01 PreventSystemSleep", "pid x(Rejected): 1", "Created for PID: 3"}));
    ASSERT_EQ(assertions.size(), 2u);
    EXPECT_EQ(assertions[0].createdFor, std::nullopt);
    EXPECT_EQ(assertions[1].createdFor, 3);
}

TEST(AssertionReader, SplitsLinesAtEveryLineEnding) {
    for (const std::string ending : {"\n", "\r", "\r\n", "\u0085", "\u2028", "\u2029"}) {
        const auto assertions = AssertionReader::parse(listing({player, "Created for PID: 7"}, ending));
        ASSERT_EQ(assertions.size(), 1u) << testing::PrintToString(ending);
        EXPECT_EQ(assertions[0].name, "Playing");
        EXPECT_EQ(assertions[0].createdFor, 7);
    }
    // A lone LF after CR is part of one ending; LF then CR is two.
    EXPECT_EQ(AssertionReader::parse("Listed by owning process:\n\r" + player + "\r\n\r\nCreated for PID: 7")
                  .size(),
              1u);
}

TEST(AssertionReader, TrimsUnicodeSpacesAndTabs) {
    const auto assertions =
        AssertionReader::parse(listing({"\u3000\t\u00A0" + player + " \u202F\u2009\t"}, "\n"));
    ASSERT_EQ(assertions.size(), 1u);
    EXPECT_EQ(assertions[0].name, "Playing");
}

TEST(AssertionReader, LineGrammar) {
    struct Case {
        const char* what;
        std::string line;
        std::optional<LiveAssertion> expected;
    };
    const std::vector<Case> cases = {
        {"full line", "pid 7(App): [0x1] 01:02:03 PreventSystemSleep named: \"Job\"",
         LiveAssertion{7, "App", "PreventSystemSleep", "Job", 3723}},
        {"no bracket group and no name", "pid 7(App): 00:01:00 PreventSystemSleep",
         LiveAssertion{7, "App", "PreventSystemSleep", "", 60}},
        {"no age column: positional", "pid 7(App): [0x1] PreventSystemSleep named: \"Job\"",
         LiveAssertion{7, "App", "named:", "Job", 0}},
        {"nested parentheses in the process", "pid 123(Player (Main)): [0x5] 00:00:10 NoIdleSleepAssertion",
         LiveAssertion{123, "Player (Main)", "NoIdleSleepAssertion", "", 10}},
        {"an unclosed bracket is kept whole", "pid 7(App): [0x1 00:00:05 T",
         LiveAssertion{7, "App", "00:00:05", "", 0}},
        {"runs of spaces between words", "pid 7(App):    00:00:05    T    named:  \"n\"",
         LiveAssertion{7, "App", "T", "n", 5}},
        {"quotes inside the name", "pid 7(App): 00:00:01 T named: \"a \"quoted\" name\" trailing",
         LiveAssertion{7, "App", "T", "a \"quoted\" name", 1}},
        {"no closing quote", "pid 7(App): 00:00:01 T named: \"open", LiveAssertion{7, "App", "T", "open", 1}},
        {"a third piece without quotes gives no name", "pid 7(App): 00:00:01 T named: bare",
         LiveAssertion{7, "App", "T", "", 1}},
        {"unreadable age", "pid 7(App): 1:2 T", LiveAssertion{7, "App", "T", "", 0}},
        {"a plus sign", "pid +7(App): 00:00:01 T", LiveAssertion{7, "App", "T", "", 1}},
        {"a minus sign", "pid -7(App): 00:00:01 T", LiveAssertion{-7, "App", "T", "", 1}},
        {"empty process name", "pid 7(): 00:00:01 T", LiveAssertion{7, "", "T", "", 1}},
        {"pid not a number", "pid abc(App): 00:00:01 T", std::nullopt},
        {"pid with a space", "pid 7 (App): 00:00:01 T", std::nullopt},
        {"empty pid", "pid (App): 00:00:01 T", std::nullopt},
        {"bare sign", "pid -(App): 00:00:01 T", std::nullopt},
        {"pid out of range", "pid 2147483648(App): 00:00:01 T", std::nullopt},
        {"no opening parenthesis", "pid 7 App: 00:00:01 T", std::nullopt},
        {"no closing marker", "pid 7(App) 00:00:01 T", std::nullopt},
        {"only one word", "pid 7(App): [0x1] 00:00:01", std::nullopt},
        {"nothing after the marker", "pid 7(App): ", std::nullopt},
        {"not a pid line", "Created for PID: 7", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AssertionReader::parseLine(c.line), c.expected) << c.what;
}

TEST(LiveAssertion, WhatBlocksWhat) {
    struct Case {
        LiveAssertion assertion;
        bool noteworthy;
        bool keepsScreenOn;
    };
    const std::vector<Case> cases = {
        {held("App", "PreventUserIdleSystemSleep"), true, false},
        {held("App", "PreventSystemSleep"), true, false},
        {held("App", "NoIdleSleepAssertion"), true, false},
        {held("App", "PreventUserIdleDisplaySleep"), false, true},
        {held("App", "NoDisplaySleepAssertion"), false, true},
        {held("App", "InternalPreventDisplaySleep"), false, false},
        {held("App", "preventsystemsleep"), false, false},
        {held("WindowServer", "PreventUserIdleDisplaySleep"), false, false},
        {held("powerd", "PreventUserIdleSystemSleep"), false, false},
        {held("kernel_task", "PreventSystemSleep"), false, false},
        {held("hidd", "NoDisplaySleepAssertion"), false, false},
        {held("WindowServer ", "PreventUserIdleDisplaySleep"), false, true},
    };
    for (const auto& c : cases) {
        const auto what = c.assertion.process + "/" + c.assertion.type;
        EXPECT_EQ(c.assertion.isNoteworthy(), c.noteworthy) << what;
        EXPECT_EQ(c.assertion.keepsScreenOn(), c.keepsScreenOn) << what;
    }
    // The housekeeping test is on the listed process, not on the owner it was created for.
    LiveAssertion forPowerd = held("App", "PreventSystemSleep");
    forPowerd.createdFor = 1;
    EXPECT_TRUE(forPowerd.isNoteworthy());
}

TEST(LiveAssertion, FriendlyTypes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"PreventUserIdleSystemSleep", "Stops idle sleep"},
        {"NoIdleSleepAssertion", "Stops idle sleep"},
        {"PreventSystemSleep", "Stops all sleep"},
        {"PreventUserIdleDisplaySleep", "Keeps the screen on"},
        {"NoDisplaySleepAssertion", "Keeps the screen on"},
        {"InternalPreventDisplaySleep", "Holds the display briefly"},
        {"BackgroundTask", "Background task"},
        {"ApplePushServiceTask", "Push notification task"},
        {"UserIsActive", "You\u2019re active"},
        {"NetworkClientActive", "Network client active"},
        {"SoftwareUpdateTask", "Software update"},
        {"ExternalMedia", "External media"},
        {"SomethingNew", "SomethingNew"},
        {"userisactive", "userisactive"},
        {"", ""},
    };
    for (const auto& [type, words] : cases)
        EXPECT_EQ(held("App", type).friendlyType(), words) << type;
}

TEST(LiveAssertion, IdentityEqualityAndHashing) {
    const LiveAssertion a{42, "App", "PreventSystemSleep", "Job", 10};
    EXPECT_EQ(a.id(), "42-PreventSystemSleep-Job");
    EXPECT_EQ((LiveAssertion{-1, "App", "T", ""}.id()), "-1-T-");

    LiveAssertion createdFor = a;
    createdFor.createdFor = 7;
    EXPECT_EQ(createdFor.ownerPID(), 7);
    EXPECT_EQ(createdFor.id(), a.id());
    EXPECT_NE(createdFor, a);
    LiveAssertion withTimeout = a;
    withTimeout.timeout = 7;
    EXPECT_NE(withTimeout, createdFor);

    const std::hash<LiveAssertion> hash;
    EXPECT_EQ(hash(a), hash(LiveAssertion{42, "App", "PreventSystemSleep", "Job", 10}));
    const std::unordered_set<LiveAssertion> set = {a, createdFor, withTimeout, a};
    EXPECT_EQ(set.size(), 3u);
}

TEST(AssertionReader, CurrentPassesOnThatTheToolCouldNotStart) {
    if (std::filesystem::exists("/usr/bin/pmset")) GTEST_SKIP() << "the power tool exists here";
    const auto listing = AssertionReader::current();
    EXPECT_TRUE(listing.assertions.empty());
    EXPECT_EQ(listing.outcome, PowerLogParser::RunOutcome::couldNotStart);
}
