#include "DormioKit/Fmt.h"
#include "DormioKit/NightEvents.h"
#include "TestEnvironment.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace dormio;

namespace {

constexpr double minute = 60;
constexpr double hour = 3600;
constexpr Date nightStart = Date::fromUnix(1709938800); // 2024-03-08 23:00 UTC
constexpr Date nightEnd = nightStart + 8 * hour;

using K = PowerEventKind;
using Kind = NightEvent::Kind;

Date at(double seconds) {
    return nightStart + seconds;
}

PowerEvent ev(double seconds, K kind, std::string cause = "", std::string raw = "",
              std::optional<bool> onBattery = {}, std::optional<int64_t> charge = {}) {
    return PowerEvent{at(seconds), kind, std::move(raw), std::move(cause), onBattery, charge};
}

// An event field by field, the optional fields absent unless given.
NightEvent moment(Date date, Kind kind, std::string label, std::string symbol, std::string raw,
                  double duration, std::optional<int64_t> charge = {},
                  std::optional<std::string> scheduledBy = {}, std::optional<std::string> culprit = {}) {
    return NightEvent{date,     kind,   std::move(label),       std::move(symbol), std::move(raw),
                      duration, charge, std::move(scheduledBy), std::move(culprit)};
}

class NightEventsTest : public testing::Test {
protected:
    Night night(bool hasBattery = false) const {
        return NightBuilder::makeNight("2024-03-09", nightStart, nightEnd, log, hasBattery);
    }

    PowerLog log;

private:
    test::ScopedTZ tz_{"UTC"};
};

TEST_F(NightEventsTest, AsleepThroughoutTellsWhenItFellAsleep) {
    log.events = {ev(-2 * hour, K::wake),
                  ev(-hour, K::sleep, "Idle Sleep", "Entering Sleep state due to 'Idle Sleep'")};
    Night n = night();
    ASSERT_EQ(n.segments.size(), 1u);
    std::vector<NightEvent> expected{moment(nightStart, Kind::fellAsleep, "Already asleep", "moon.zzz",
                                            "Asleep since " + Fmt::dayTime(at(-hour)), 8 * hour)};
    EXPECT_EQ(n.events, expected);
    EXPECT_EQ(n.id, "2024-03-09");
    EXPECT_FALSE(n.inProgress);
    EXPECT_FALSE(n.isDemo);
}

TEST_F(NightEventsTest, DarkWakeBetweenSleepsIsOneMomentAndTheSecondSleepIsSilent) {
    log.events = {ev(-hour, K::sleep, "Idle Sleep"),
                  ev(2 * hour, K::darkWake, "RTC (Alarm)", "DarkWake due to RTC (Alarm)"),
                  ev(2 * hour + 45, K::sleep, "Maintenance Sleep")};
    Night n = night();
    ASSERT_EQ(n.events.size(), 2u);
    EXPECT_EQ(n.events[1], moment(at(2 * hour), Kind::darkWake, "Scheduled timer", "timer",
                                  "DarkWake due to RTC (Alarm)", 45));
}

TEST_F(NightEventsTest, ScreenOnThenSleepTellsTheSleepInWords) {
    log.events = {
        ev(-hour, K::sleep, "Idle Sleep"), ev(hour, K::wake, "EC.LidOpen (User)", "Wake due to EC.LidOpen"),
        ev(hour + 200, K::sleep, "Clamshell Sleep", "Entering Sleep state due to 'Clamshell Sleep'")};
    Night n = night();
    ASSERT_EQ(n.events.size(), 3u);
    EXPECT_EQ(n.events[1], moment(at(hour), Kind::screenOn, "Screen lit up briefly", "laptopcomputer",
                                  "Wake due to EC.LidOpen", 200, {}, "Woken by: You opened the lid"));
    EXPECT_EQ(n.events[2],
              moment(at(hour + 200), Kind::fellAsleep, "Lid closed \u2014 went to sleep", "moon.zzz",
                     "Entering Sleep state due to 'Clamshell Sleep'", 8 * hour - hour - 200));
}

struct LaterSegmentCase {
    const char* name;
    K kind;
    bool displayOff;
    double seconds;
    std::optional<Kind> kindMade;
    const char* label;
};

class LaterSegment : public NightEventsTest, public testing::WithParamInterface<LaterSegmentCase> {};

// Asleep, then a wake of the given length, then asleep again.
TEST_P(LaterSegment, MakesItsMomentByLength) {
    const LaterSegmentCase& c = GetParam();
    log.events = {ev(-hour, K::sleep), ev(hour, c.kind, "UserActivity Assertion"),
                  ev(hour + c.seconds, K::sleep)};
    if (c.displayOff) log.display = {{at(hour), false}};
    Night n = night();
    ASSERT_EQ(n.segments.size(), 3u);
    if (!c.kindMade) {
        EXPECT_EQ(n.events.size(), 1u);
        return;
    }
    ASSERT_GE(n.events.size(), 2u);
    EXPECT_EQ(n.events[1].kind, *c.kindMade);
    EXPECT_EQ(n.events[1].label, c.label);
    EXPECT_EQ(n.events[1].duration, c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaterSegment,
    testing::Values(LaterSegmentCase{"ScreenOnOf300IsUse", K::wake, false, 300, Kind::screenOn,
                                     "You used your Mac"},
                    LaterSegmentCase{"ScreenOnOf299IsBrief", K::wake, false, 299, Kind::screenOn,
                                     "Screen lit up briefly"},
                    LaterSegmentCase{"AwakeOf119IsNothing", K::wake, true, 119, std::nullopt, ""},
                    LaterSegmentCase{"AwakeOf120StayedAwake", K::wake, true, 120, Kind::stayedAwake,
                                     "Stayed awake with the screen off"}),
    [](const testing::TestParamInfo<LaterSegmentCase>& info) { return std::string(info.param.name); });

struct BackToSleepCase {
    const char* name;
    std::vector<PowerEvent> events;
    std::vector<DisplayChange> display;
    std::vector<Kind> kinds;
};

class BackToSleep : public NightEventsTest, public testing::WithParamInterface<BackToSleepCase> {};

TEST_P(BackToSleep, TellsASleepOnlyAfterTheScreenOrALongAwakeSpell) {
    log.events = GetParam().events;
    log.display = GetParam().display;
    std::vector<Kind> kinds;
    for (const NightEvent& e : night().events)
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds, GetParam().kinds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackToSleep,
    testing::Values(BackToSleepCase{"FirstSleepOfANightAwakeAtStart",
                                    {ev(-hour, K::wake), ev(hour, K::enterDark), ev(hour + 60, K::sleep)},
                                    {{at(-hour), false}},
                                    {Kind::awakeAtStart, Kind::darkWake, Kind::fellAsleep}},
                    BackToSleepCase{"AfterShortAwakeSpellSilent",
                                    {ev(-hour, K::sleep), ev(hour, K::wake), ev(hour + 299, K::sleep)},
                                    {{at(hour), false}},
                                    {Kind::fellAsleep, Kind::stayedAwake}},
                    BackToSleepCase{"AfterLongAwakeSpellTold",
                                    {ev(-hour, K::sleep), ev(hour, K::wake), ev(hour + 300, K::sleep)},
                                    {{at(hour), false}},
                                    {Kind::fellAsleep, Kind::stayedAwake, Kind::fellAsleep}},
                    BackToSleepCase{"AfterTheScreenTold",
                                    {ev(-hour, K::sleep), ev(hour, K::wake), ev(hour + 10, K::sleep)},
                                    {},
                                    {Kind::fellAsleep, Kind::screenOn, Kind::fellAsleep}}),
    [](const testing::TestParamInfo<BackToSleepCase>& info) { return std::string(info.param.name); });

struct FirstSegmentCase {
    const char* name;
    std::vector<PowerEvent> events;
    std::vector<DisplayChange> display;
    NightEvent expected;
};

class FirstSegment : public NightEventsTest, public testing::WithParamInterface<FirstSegmentCase> {};

TEST_P(FirstSegment, IsAlwaysTold) {
    log.events = GetParam().events;
    log.display = GetParam().display;
    Night n = night();
    ASSERT_FALSE(n.events.empty());
    EXPECT_EQ(n.events.front(), GetParam().expected);
    // The symbol picked is one the table lists, so the glyph check sees it.
    const std::vector<std::string_view> symbols = NightBuilder::eventSymbols();
    EXPECT_NE(std::find(symbols.begin(), symbols.end(), n.events.front().symbol), symbols.end());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstSegment,
    testing::Values(
        FirstSegmentCase{
            "DarkWithItsReasonInLowerCase",
            {ev(-2, K::darkWake, "EC.LidOpen", "DarkWake from Sleep", true, 64), ev(30, K::sleep)},
            {},
            moment(nightStart, Kind::awakeAtStart, "Briefly awake in the dark (you opened the lid)",
                   "laptopcomputer", "DarkWake from Sleep", 30, 64)},
        FirstSegmentCase{"DarkWithoutStartingEvent",
                         {ev(-5, K::darkWake, "RTC", "DarkWake"), ev(30, K::sleep)},
                         {},
                         moment(nightStart, Kind::awakeAtStart, "Briefly awake in the dark (dark wake)",
                                "moon.haze", "", 30)},
        FirstSegmentCase{"AwakeForTenSeconds",
                         {ev(-hour, K::wake, "EC.PowerButton"), ev(10, K::sleep)},
                         {{at(-hour), false}},
                         moment(nightStart, Kind::awakeAtStart, "Awake, screen off", "eye.slash",
                                "Display off while the system stayed awake", 10)},
        FirstSegmentCase{"AwakeWokenJustBefore",
                         {ev(-4.5, K::wake, "EC.PowerButton", "Wake from Deep Idle"), ev(10, K::sleep)},
                         {{at(-hour), false}},
                         moment(nightStart, Kind::awakeAtStart, "Awake, screen off", "eye.slash",
                                "Wake from Deep Idle", 10, {}, "Woken by: Power button pressed")},
        FirstSegmentCase{"ScreenOnWithoutReason",
                         {ev(-hour, K::wake), ev(hour, K::sleep)},
                         {},
                         moment(nightStart, Kind::awakeAtStart, "You were still using your Mac", "display",
                                "Display is turned on", hour)}),
    [](const testing::TestParamInfo<FirstSegmentCase>& info) { return std::string(info.param.name); });

TEST_F(NightEventsTest, CulpritOfAnAwakeSpellComesFromItsOwnReleases) {
    log.events = {ev(-hour, K::sleep), ev(hour, K::darkWake),
                  ev(hour + 600, K::darkToFull, "", "DarkWake to FullWake"), ev(hour + 1200, K::sleep)};
    log.display = {{at(-hour), false}};
    log.releases = {
        AssertionRelease{at(hour + 500), 400, 10, "backupd", "PreventSystemSleep", "Backup"},
        AssertionRelease{at(hour + 1100), 400, 11, "mds", "PreventUserIdleSystemSleep", "Indexing"},
    };
    Night n = night();
    ASSERT_EQ(n.events.size(), 4u);
    EXPECT_EQ(n.events[1].culprit, std::nullopt); // dark wakes name no culprit
    EXPECT_EQ(n.events[2].kind, Kind::stayedAwake);
    EXPECT_EQ(n.events[2].culprit, "mds");
    EXPECT_EQ(n.events[2].raw, "DarkWake to FullWake");
    EXPECT_EQ(n.events[3].label, "Went to sleep"); // ten minutes awake make the sleep worth telling
    std::vector<KeptAwake> expected{{"backupd", "Backup", "PreventSystemSleep", 400},
                                    {"mds", "Indexing", "PreventUserIdleSystemSleep", 400}};
    EXPECT_EQ(n.keptAwake, expected);
}

TEST_F(NightEventsTest, ReleasesOverlapTheNightStrictly) {
    log.releases = {
        AssertionRelease{at(0), 600, 1, "endsAtStart", "PreventSystemSleep", ""},
        AssertionRelease{at(60), 600, 2, "beganBefore", "PreventSystemSleep", ""},
        AssertionRelease{at(8 * hour + 600), 600, 3, "beginsAtEnd", "PreventSystemSleep", ""},
        AssertionRelease{at(9 * hour), 3 * hour, 4, "long", "PreventSystemSleep", ""},
        AssertionRelease{at(20 * hour), 0, 5, "after", "PreventSystemSleep", ""},
    };
    std::vector<std::string> names;
    double longest = NightBuilder::longestRelease(log.releases);
    EXPECT_EQ(longest, 3 * hour);
    for (const AssertionRelease& r : NightBuilder::overlappingReleases(log, nightStart, nightEnd, longest))
        names.emplace_back(r.process);
    EXPECT_EQ(names, (std::vector<std::string>{"beganBefore", "long"}));
}

struct SchedulerCase {
    const char* name;
    std::string cause;
    double requestsBefore; // seconds between the requests' line and the wake
    std::vector<WakeRequest> batch;
    std::optional<std::string> expected;
};

class Scheduler : public testing::TestWithParam<SchedulerCase> {};

WakeRequest request(const char* process, const char* kind, std::optional<double> wakeAt, const char* info,
                    bool chosen) {
    return WakeRequest{Date{}, process, kind, wakeAt ? std::optional<Date>(at(*wakeAt)) : std::nullopt,
                       info,   chosen};
}

TEST_P(Scheduler, NamesTheRequestBehindATimedWake) {
    const SchedulerCase& c = GetParam();
    Date wake = at(3 * hour);
    std::vector<WakeRequest> requests{WakeRequest{wake - 10 * hour, "older", "Maintenance", wake, "", true}};
    for (WakeRequest r : c.batch) {
        r.logged = wake - c.requestsBefore;
        requests.push_back(r);
    }
    requests.push_back(WakeRequest{wake + 1, "later", "Maintenance", wake, "", true});
    PowerEvent event{wake, K::darkWake, "", c.cause, {}, {}};
    EXPECT_EQ(NightBuilder::scheduler(event, requests), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Scheduler,
    testing::Values(
        SchedulerCase{"ChosenOneWins",
                      "RTC (Alarm)",
                      2 * hour,
                      {request("first", "Maintenance", 3 * hour, "", false),
                       request("softwareupdated", "Wake", 5 * hour, "com.apple.update", true)},
                      "softwareupdated \u00B7 com.apple.update"},
        SchedulerCase{"TooOldGivesNone",
                      "RTC (Alarm)",
                      7 * hour,
                      {request("softwareupdated", "Wake", 5 * hour, "com.apple.update", true)},
                      std::nullopt},
        SchedulerCase{
            "SixHoursIsTooOld", "rtc", 6 * hour, {request("a", "Wake", 3 * hour, "", true)}, std::nullopt},
        SchedulerCase{"CauseMustNameATimer",
                      "EC.LidOpen",
                      hour,
                      {request("a", "Wake", 3 * hour, "", true)},
                      std::nullopt},
        SchedulerCase{"CauseWordsAreCaseBlind",
                      "Sleep Service (SPMI)",
                      hour,
                      {request("dasd", "SleepService", {}, "", true)},
                      "dasd (SleepService)"},
        SchedulerCase{"NearestWakeTimeWhenNoneChosen",
                      "Maintenance",
                      hour,
                      {request("far", "Wake", 1 * hour, "", false),
                       request("near", "DarkWake", 3 * hour + 30, "", false),
                       request("none", "Wake", {}, "", false)},
                      "near (DarkWake)"},
        SchedulerCase{"EqualDistancesKeepTheEarlier",
                      "Maintenance",
                      hour,
                      {request("before", "Wake", 3 * hour - 30, "", false),
                       request("after", "Wake", 3 * hour + 30, "", false)},
                      "before (Wake)"},
        // A request without a wake time counts as dated 0001-01-01: nearer to a wake in 2024 than the
        // year 9600, farther than the year 3600.
        SchedulerCase{
            "WithoutWakeTimeBeatsTheFarFuture",
            "Maintenance",
            hour,
            {request("future", "Wake", 2.4e11, "", false), request("undated", "Wake", {}, "", false)},
            "undated (Wake)"},
        SchedulerCase{"WithoutWakeTimeLosesToTheNearFuture",
                      "Maintenance",
                      hour,
                      {request("undated", "Wake", {}, "", false), request("future", "Wake", 5e10, "", false)},
                      "future (Wake)"},
        SchedulerCase{"WithoutWakeTimesTheFirst",
                      "Maintenance",
                      hour,
                      {request("one", "Wake", {}, "", false), request("two", "Wake", {}, "", false)},
                      "one (Wake)"}),
    [](const testing::TestParamInfo<SchedulerCase>& info) { return std::string(info.param.name); });

TEST_F(NightEventsTest, DarkWakeCarriesItsScheduler) {
    log.events = {ev(-hour, K::sleep), ev(2 * hour, K::darkWake, "RTC (Maintenance)"),
                  ev(2 * hour + 60, K::sleep)};
    log.requests = {WakeRequest{at(0), "dasd", "Maintenance", at(2 * hour), "", false},
                    WakeRequest{at(0), "softwareupdated", "Wake", at(4 * hour), "check", true}};
    Night n = night();
    ASSERT_EQ(n.events.size(), 2u);
    EXPECT_EQ(n.events[1].scheduledBy, "softwareupdated \u00B7 check");
}

// A storm repeats a few causes all night: each wake still gets its own request, and the same words on a
// start-up and on a wake still read by the kind of their event.
TEST_F(NightEventsTest, RepeatedCausesAreReadByKindAndEachWakeByItsOwnRequest) {
    log.events = {ev(-hour, K::sleep)};
    for (int i = 0; i < 4; ++i) {
        const double wake = (i + 1) * hour;
        log.events.push_back(ev(wake, K::darkWake, i % 2 ? "RTC (Maintenance)" : "rtc/SPMI"));
        log.events.push_back(ev(wake + 60, K::sleep));
        log.requests.push_back(WakeRequest{at(wake - 600), "dasd", "Maintenance", at(wake), "", false});
        log.requests.back().process = i % 2 ? "dasd" : "cloudd";
        log.requests.back().request = i < 2 ? "early" : "late";
    }
    log.events.push_back(ev(5 * hour, K::boot, "Mac started up"));
    log.events.push_back(ev(6 * hour, K::sleep));
    log.events.push_back(ev(7 * hour, K::wake, "Mac started up"));
    Night n = night();

    struct Expected {
        Kind kind;
        std::string label;
        std::optional<std::string> scheduledBy;
    };
    const Expected expected[] = {
        {Kind::fellAsleep, "Already asleep", std::nullopt},
        {Kind::darkWake, "Scheduled timer", "cloudd (early)"},
        {Kind::darkWake, "Maintenance / Power Nap", "dasd (early)"},
        {Kind::darkWake, "Scheduled timer", "cloudd (late)"},
        {Kind::darkWake, "Maintenance / Power Nap", "dasd (late)"},
        {Kind::screenOn, "You used your Mac", "Woken by: Mac started up"},
        {Kind::fellAsleep, "Went to sleep", std::nullopt},
        {Kind::screenOn, "You used your Mac", "Woken by: Other (Mac started up)"},
    };
    ASSERT_EQ(n.events.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(n.events[i].kind, expected[i].kind) << i;
        EXPECT_EQ(n.events[i].label, expected[i].label) << i;
        EXPECT_EQ(n.events[i].scheduledBy, expected[i].scheduledBy) << i;
    }
}

TEST_F(NightEventsTest, BatteryPointsAtTheStartAtEachChargeAndAtTheEnd) {
    log.events = {ev(-hour, K::sleep, "", "", true, 80), ev(2 * hour, K::darkWake, "", "", true, 78),
                  ev(2 * hour + 60, K::sleep, "", "", true)};
    Night n = night(true);
    std::vector<BatteryPoint> expected{{nightStart, 80}, {at(2 * hour), 78}, {nightEnd, 78}};
    EXPECT_EQ(n.battery, expected);
    EXPECT_FALSE(n.pluggedIn);
    EXPECT_TRUE(night(false).battery.empty());
}

TEST_F(NightEventsTest, ChargeAtTheEndMakesNoExtraPoint) {
    log.events = {ev(2 * hour, K::darkWake, "", "", true, 78), ev(8 * hour, K::sleep, "", "", true, 77)};
    std::vector<BatteryPoint> expected{{at(2 * hour), 78}, {nightEnd, 77}};
    EXPECT_EQ(night(true).battery, expected);
}

struct PluggedCase {
    const char* name;
    std::vector<PowerEvent> events;
    bool pluggedIn;
};

class PluggedIn : public NightEventsTest, public testing::WithParamInterface<PluggedCase> {};

TEST_P(PluggedIn, MainsInsideOrJustBeforeTheNight) {
    log.events = GetParam().events;
    EXPECT_EQ(night(true).pluggedIn, GetParam().pluggedIn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PluggedIn,
    testing::Values(PluggedCase{"NothingAtAll", {}, false},
                    PluggedCase{"BatteryInsideMainsBefore",
                                {ev(-hour, K::sleep, "", "", false), ev(hour, K::darkWake, "", "", true)},
                                true},
                    PluggedCase{"BatteryInsideAndBefore",
                                {ev(-hour, K::sleep, "", "", true), ev(hour, K::darkWake, "", "", true)},
                                false},
                    PluggedCase{"MainsAtTheStartBehindABatteryEvent",
                                {ev(0, K::sleep, "", "", false), ev(0, K::darkWake, "", "", true)},
                                true},
                    PluggedCase{"MainsAtTheEnd",
                                {ev(-hour, K::sleep, "", "", true), ev(8 * hour, K::wake, "", "", false)},
                                true},
                    PluggedCase{"MainsAfterTheEnd",
                                {ev(-hour, K::sleep, "", "", true), ev(8 * hour + 1, K::wake, "", "", false)},
                                false},
                    PluggedCase{"SourceUnknownBefore", {ev(-hour, K::sleep)}, false}),
    [](const testing::TestParamInfo<PluggedCase>& info) { return std::string(info.param.name); });

} // namespace
