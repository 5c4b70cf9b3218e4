#include "DormioKit/LogReleases.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace dormio;
namespace Parser = dormio::PowerLogParser;

namespace {

const Date lineDate = Date::fromUnix(1773184502); // 2026-03-10 23:15:02 UTC

// --- Releases -----------------------------------------------------------------------------------

struct ReleaseCase {
    std::string message;
    std::optional<AssertionRelease> release;
};

std::ostream& operator<<(std::ostream& out, const ReleaseCase& c) {
    return out << c.message;
}

AssertionRelease released(double duration, int32_t pid, std::string_view process, std::string_view type,
                          std::string_view name) {
    return {lineDate, duration, pid, process, type, name};
}

class Releases : public testing::TestWithParam<ReleaseCase> {};

TEST_P(Releases, ReadsWhoHeldWhatForHowLong) {
    const auto release = Parser::parseRelease(GetParam().message, lineDate);
    ASSERT_EQ(release.has_value(), GetParam().release.has_value());
    if (!release) return;
    const AssertionRelease& expected = *GetParam().release;
    EXPECT_EQ(release->end, expected.end);
    EXPECT_EQ(release->duration, expected.duration);
    EXPECT_EQ(release->pid, expected.pid);
    EXPECT_EQ(release->process, expected.process);
    EXPECT_EQ(release->type, expected.type);
    EXPECT_EQ(release->name, expected.name);
}

INSTANTIATE_TEST_SUITE_P(
    Kept, Releases,
    testing::Values(
        ReleaseCase{"PID 412(backupd) Released PreventUserIdleSystemSleep \"Time Machine backup\" 00:02:15  "
                    "id:0x0x100012345 Aggregate:0x5",
                    released(135, 412, "backupd", "PreventUserIdleSystemSleep", "Time Machine backup")},
        ReleaseCase{"PID 7(Music) TimedOut PreventSystemSleep \"Playing \"Live\" set\" 01:00:00",
                    released(3600, 7, "Music", "PreventSystemSleep", "Playing \"Live\" set")},
        ReleaseCase{"PID 7(a) TurnedOff NoIdleSleepAssertion \"say \"2\" twice\" 00:00:09",
                    released(0, 7, "a", "NoIdleSleepAssertion", "say ")},
        ReleaseCase{"PID 7(a) ClientDied PreventSystemSleep \"trailing\"",
                    released(0, 7, "a", "PreventSystemSleep", "trailing")},
        ReleaseCase{"PID 7(a) Released PreventSystemSleep \"never closed 00:00:05",
                    released(0, 7, "a", "PreventSystemSleep", "")},
        ReleaseCase{"PID 99(cloudd) Released PreventSystemSleep 00:00:42 id:0x0x1",
                    released(42, 99, "cloudd", "PreventSystemSleep", "")},
        ReleaseCase{"PID 99(cloudd)   Released   PreventSystemSleep   00:00:42",
                    released(42, 99, "cloudd", "PreventSystemSleep", "")},
        ReleaseCase{"PID 99(cloudd) Released PreventSystemSleep \"sync\"   00:00:42 x",
                    released(42, 99, "cloudd", "PreventSystemSleep", "sync")},
        ReleaseCase{"PID 99(cloudd) Released PreventSystemSleep \"sync\"x 00:00:42",
                    released(0, 99, "cloudd", "PreventSystemSleep", "")},
        ReleaseCase{"PID 99(cloudd) Released PreventSystemSleep \"sync\" \u0663:00:00",
                    released(0, 99, "cloudd", "PreventSystemSleep", "sync")},
        ReleaseCase{"PID 5() Released PreventSystemSleep x", released(0, 5, "", "PreventSystemSleep", "")},
        ReleaseCase{"PID 5(Web (Main)) Released PreventSystemSleep 00:01:00",
                    released(60, 5, "Web (Main)", "PreventSystemSleep", "")},
        ReleaseCase{"PID +5(a) Released PreventSystemSleep 00:01:00",
                    released(60, 5, "a", "PreventSystemSleep", "")},
        ReleaseCase{"PID -1(a) Released PreventSystemSleep   ",
                    released(0, -1, "a", "PreventSystemSleep", "")},
        ReleaseCase{"PID 2147483647(a) Released PreventSystemSleep inf:0:0",
                    released(0, 2147483647, "a", "PreventSystemSleep", "")}));

INSTANTIATE_TEST_SUITE_P(
    Dropped, Releases,
    testing::Values(
        ReleaseCase{"PID 412(backupd) Created PreventUserIdleSystemSleep \"backup\" 00:00:00", {}},
        ReleaseCase{"PID 412(backupd) Released PreventUserIdleDisplaySleep \"movie\" 00:10:00", {}},
        ReleaseCase{"PID 412(backupd) Released BackgroundTask \"x\" 00:10:00", {}},
        ReleaseCase{"PID 412(backupd) released PreventSystemSleep \"x\" 00:10:00", {}},
        ReleaseCase{"PID 3000000000(a) Released PreventSystemSleep 00:00:01", {}},
        ReleaseCase{"PID (a) Released PreventSystemSleep 00:00:01", {}},
        ReleaseCase{"PID 1 2(a) Released PreventSystemSleep 00:00:01", {}},
        ReleaseCase{"PID +-1(a) Released PreventSystemSleep 00:00:01", {}},
        ReleaseCase{"PID 12a) Released PreventSystemSleep 00:00:01", {}},
        ReleaseCase{"PID 12(a)Released PreventSystemSleep 00:00:01", {}},
        ReleaseCase{"PID 12(a) Released PreventSystemSleep", {}}, ReleaseCase{"PID 12(a) Released", {}},
        ReleaseCase{"pid 12(a) Released PreventSystemSleep x", {}},
        ReleaseCase{" PID 12(a) Released PreventSystemSleep x", {}}, ReleaseCase{"", {}}));

// --- Wake requests ------------------------------------------------------------------------------

std::vector<std::string> processes(const std::vector<WakeRequest>& requests) {
    std::vector<std::string> names;
    for (const auto& request : requests)
        names.emplace_back(request.process);
    return names;
}

TEST(WakeRequests, ReadsEachGroupAndTheChosenOne) {
    const auto requests = Parser::parseWakeRequests(
        "[process=dasd request=TimerPlugin deltaSecs=1800 wakeAt=2026-12-09 03:12:00 "
        "info=\"com.apple.mail.fetch\"] "
        "[*process=powerd request=Maintenance deltaSecs=7200 wakeAt=2026-12-09 05:12:00]",
        lineDate, "+0000");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].logged, lineDate);
    EXPECT_EQ(requests[0].process, "dasd");
    EXPECT_EQ(requests[0].request, "TimerPlugin");
    EXPECT_EQ(requests[0].wakeAt, Date::fromUnix(1796785920));
    EXPECT_EQ(requests[0].info, "com.apple.mail.fetch");
    EXPECT_FALSE(requests[0].chosen);
    EXPECT_EQ(requests[1].process, "powerd");
    EXPECT_EQ(requests[1].info, "");
    EXPECT_EQ(requests[1].wakeAt, Date::fromUnix(1796785920 + 7200));
    EXPECT_TRUE(requests[1].chosen);
}

struct GroupCase {
    std::string name;
    std::string message;
    std::vector<std::string> processes;
};

std::ostream& operator<<(std::ostream& out, const GroupCase& c) {
    return out << c.name;
}

class WakeRequestGroups : public testing::TestWithParam<GroupCase> {};

TEST_P(WakeRequestGroups, FindsTheGroups) {
    EXPECT_EQ(processes(Parser::parseWakeRequests(GetParam().message, lineDate, "+0000")),
              GetParam().processes);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, WakeRequestGroups,
    testing::Values(
        GroupCase{"Empty", "", {}}, GroupCase{"NoBrackets", "process=a", {}},
        GroupCase{"BracketsInsideQuotedInfo",
                  "[process=a info=\"x] [process=b\" request=r] [process=c]",
                  {"a", "c"}},
        GroupCase{"InfoAfterTheFirstCloseDoesNotCount", "[process=a] info=\"x] [process=b]", {"a", "b"}},
        GroupCase{"InfoQuoteNeverClosed", "[process=a info=\"x] [process=b]", {"a", "b"}},
        GroupCase{"GroupWithoutProcess", "[request=r] [process=b]", {"b"}},
        GroupCase{"EmptyProcess", "[process= request=r] [process=\"\"] [process=c]", {"c"}},
        GroupCase{"UnclosedGroup", "[process=a request=r", {"a"}},
        GroupCase{"TextBetweenGroups", "junk [process=a] junk [process=b] junk", {"a", "b"}},
        GroupCase{"QuotedProcess", "[process=\"Mail Helper\" request=r]", {"Mail Helper"}}));

TEST(WakeRequests, EveryGroupOfALongLineIsRead) {
    // Each group is looked at on its own, so a line of many groups takes time in proportion to its length.
    std::string message;
    for (int i = 0; i < 100000; ++i)
        message += "[process=p" + std::to_string(i) + " request=r]";
    message += "[process=last info=\"a ] b\" request=q]";
    const auto requests = Parser::parseWakeRequests(message, lineDate, "+0000");
    ASSERT_EQ(requests.size(), 100001u);
    EXPECT_EQ(requests[99999].process, "p99999");
    EXPECT_EQ(requests.back().info, "a ] b");
    EXPECT_EQ(requests.back().request, "q");
}

TEST(WakeRequests, KeysAfterABracketInsideInfoAreStillRead) {
    const auto requests = Parser::parseWakeRequests(
        "[*process=a info=\"[x] y\" request=late wakeAt=2026-12-09 03:12:00]", lineDate, "+0000");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].info, "[x] y");
    EXPECT_EQ(requests[0].request, "late");
    EXPECT_EQ(requests[0].wakeAt, Date::fromUnix(1796785920));
    EXPECT_TRUE(requests[0].chosen);
}

TEST(WakeRequests, OnlyTheFirstOccurrenceOfAKeyCounts) {
    const auto requests = Parser::parseWakeRequests(
        "[process=a info=\"request=inner\" request=outer process=b]", lineDate, "+0000");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].process, "a");
    EXPECT_EQ(requests[0].request, "inner\"");
}

struct WakeAtCase {
    std::string group;
    std::optional<std::string> zone;
    std::optional<double> unixSeconds;
};

std::ostream& operator<<(std::ostream& out, const WakeAtCase& c) {
    return out << c.group << " zone " << c.zone.value_or("none");
}

class WakeTimes : public testing::TestWithParam<WakeAtCase> {};

TEST_P(WakeTimes, ReadInTheLinesZone) {
    const auto requests = Parser::parseWakeRequests(GetParam().group, lineDate, GetParam().zone);
    ASSERT_EQ(requests.size(), 1u);
    if (GetParam().unixSeconds)
        EXPECT_EQ(requests[0].wakeAt, Date::fromUnix(*GetParam().unixSeconds));
    else
        EXPECT_EQ(requests[0].wakeAt, std::nullopt);
}

constexpr double wakeAtUTC = 1796785920; // 2026-12-09 03:12:00 UTC

INSTANTIATE_TEST_SUITE_P(
    Zones, WakeTimes,
    testing::Values(WakeAtCase{"[process=a wakeAt=2026-12-09 03:12:00]", "+0000", wakeAtUTC},
                    WakeAtCase{"[process=a wakeAt=2026-12-09 03:12:00]", "-0800", wakeAtUTC + 8 * 3600},
                    WakeAtCase{"[process=a wakeAt=2026-12-09 03:12:00]", "+0530", wakeAtUTC - 19800},
                    WakeAtCase{"[process=a wakeAt=2026-12-09 03:12]", "+0000", {}},
                    WakeAtCase{"[process=a wakeAt=2026-12-09 03:12:0]", "+0000", {}},
                    WakeAtCase{"[process=a wakeAt=2026-12-09 03:12:00.5 info=\"x\"]", "+0000", wakeAtUTC},
                    WakeAtCase{"[process=a wakeAt=2026-13-09 03:12:00]", "+0000", {}},
                    WakeAtCase{"[process=a wakeAt=soon]", "+0000", {}},
                    WakeAtCase{"[process=a]", "+0000", {}}));

// Without a valid zone of its own, a wake time is read in the current zone at the line's date.
class WakeTimesInTheCurrentZone : public testing::Test {
protected:
    void useZone(const char* zone) { tz_.set(zone); }
    static std::optional<Date> wakeAt(std::optional<std::string_view> lineZone, Date logged = lineDate) {
        const auto requests =
            Parser::parseWakeRequests("[process=a wakeAt=2026-12-09 03:12:00]", logged, lineZone);
        return requests.empty() ? std::nullopt : requests[0].wakeAt;
    }

private:
    test::ScopedTZ tz_;
};

TEST_F(WakeTimesInTheCurrentZone, MissingOrInvalidZoneUsesTheCurrentOffsetAtTheLoggedDate) {
    useZone("America/Los_Angeles");
    EXPECT_EQ(wakeAt(std::nullopt), Date::fromUnix(wakeAtUTC + 7 * 3600)); // logged in March, summer time
    EXPECT_EQ(wakeAt(std::nullopt, Date::fromUnix(1768478400)),
              Date::fromUnix(wakeAtUTC + 8 * 3600)); // January
    EXPECT_EQ(wakeAt("+08"), Date::fromUnix(wakeAtUTC + 7 * 3600));
    EXPECT_EQ(wakeAt("08000"), Date::fromUnix(wakeAtUTC + 7 * 3600));
    EXPECT_EQ(wakeAt("+0800"), Date::fromUnix(wakeAtUTC - 8 * 3600));
}

TEST_F(WakeTimesInTheCurrentZone, OffsetsWithMinutesOnBothSidesOfUTC) {
    useZone("Asia/Kolkata");
    EXPECT_EQ(wakeAt(std::nullopt), Date::fromUnix(wakeAtUTC - 19800));
    useZone("America/St_Johns");
    EXPECT_EQ(wakeAt(std::nullopt, Date::fromUnix(1768478400)), Date::fromUnix(wakeAtUTC + 12600));
    useZone("UTC");
    EXPECT_EQ(wakeAt(std::nullopt), Date::fromUnix(wakeAtUTC));
}

} // namespace
