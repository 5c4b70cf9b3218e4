#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <limits>

using namespace dormio;

namespace {

constexpr double minute = 60;
constexpr double hour = 3600;
constexpr double day = 86400;
// Midnight UTC starting 2024-03-08.
constexpr Date march8 = Date::fromUnix(1709856000);

using K = PowerEventKind;

PowerEvent ev(Date date, K kind, std::optional<bool> onBattery = {}, std::optional<int64_t> charge = {}) {
    return PowerEvent{date, kind, "", "", onBattery, charge};
}

struct CoverCase {
    const char* name;
    std::vector<PowerEvent> events;
    std::vector<DisplayChange> display;
    bool covered;
};

constexpr Date windowStart = march8 + 23 * hour;
constexpr Date windowEnd = windowStart + 8 * hour;

class IsCovered : public testing::TestWithParam<CoverCase> {};

TEST_P(IsCovered, SaysWhetherTheLogKnowsTheWindow) {
    PowerLog log;
    log.events = GetParam().events;
    log.display = GetParam().display;
    EXPECT_EQ(NightBuilder::isCovered(log, windowStart, windowEnd), GetParam().covered);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsCovered,
    testing::Values(
        CoverCase{"EmptyLog", {}, {}, false},
        CoverCase{"EventInside", {ev(windowStart + hour, K::darkWake)}, {}, true},
        CoverCase{"EventAtTheEnd", {ev(windowEnd, K::boot)}, {}, true},
        CoverCase{"DisplayChangeInside", {ev(windowEnd + hour, K::boot)}, {{windowStart + hour, true}}, true},
        CoverCase{"HalfASecondBeforeCountsAsInside", {ev(windowStart - 0.5, K::boot)}, {}, true},
        CoverCase{"OnlyLaterEvents", {ev(windowEnd + hour, K::wake)}, {}, false},
        CoverCase{"EarlierEventAndNothingAfter", {ev(windowStart - hour, K::sleep)}, {}, true},
        CoverCase{"OneSecondBeforeThenStartUp",
                  {ev(windowStart - 1, K::sleep), ev(windowEnd + hour, K::boot)},
                  {},
                  false},
        CoverCase{"EarlierEventThenAnotherKind",
                  {ev(windowStart - hour, K::sleep), ev(windowEnd + hour, K::wake)},
                  {},
                  true}),
    [](const testing::TestParamInfo<CoverCase>& info) { return std::string(info.param.name); });

class Build : public testing::Test {
protected:
    std::vector<Night> build(Date now, NightWindow window = {}) const {
        return NightBuilder::build(log, window, now, utc);
    }

    static std::vector<std::string> ids(const std::vector<Night>& nights) {
        std::vector<std::string> result;
        for (const Night& n : nights)
            result.push_back(n.id);
        return result;
    }

    PowerLog log;
    Calendar utc{"UTC"};

private:
    test::ScopedTZ tz_{"UTC"};
};

TEST_F(Build, NoFirstDateAndNoEventsGivesNothing) {
    log.display = {{march8, true}};
    EXPECT_TRUE(build(march8 + 10 * day).empty());
}

TEST_F(Build, APresentThatIsNoRealMomentGivesNothingAndEnds) {
    log.events = {ev(march8 + 22 * hour, K::sleep)};
    for (double now : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_TRUE(build(Date{now}).empty());
}

TEST_F(Build, FirstNightStartsAfterTheFirstDate) {
    log.firstDate = march8 + 8 * hour;
    log.events = {ev(march8 + 22 * hour, K::sleep), ev(march8 + day + 9 * hour, K::wake)};
    std::vector<Night> nights = build(march8 + 2 * day + 12 * hour);
    EXPECT_EQ(ids(nights), (std::vector<std::string>{"2024-03-09", "2024-03-10"}));
    ASSERT_EQ(nights.size(), 2u);
    EXPECT_EQ(nights[0].start, march8 + 23 * hour);
    EXPECT_EQ(nights[0].end, march8 + day + 7 * hour);
    EXPECT_FALSE(nights[0].inProgress);
    EXPECT_FALSE(nights[1].inProgress);
}

TEST_F(Build, FirstDateFallsBackToTheFirstEvent) {
    log.events = {ev(march8 + 22 * hour, K::sleep)};
    EXPECT_EQ(ids(build(march8 + day + 12 * hour)), std::vector<std::string>{"2024-03-09"});
}

TEST_F(Build, NightUnderWayEndsNow) {
    log.events = {ev(march8 + 22 * hour, K::sleep)};
    Date now = march8 + day + 2 * hour;
    std::vector<Night> nights = build(now);
    ASSERT_EQ(nights.size(), 1u);
    EXPECT_EQ(nights[0].id, "2024-03-09");
    EXPECT_EQ(nights[0].end, now);
    EXPECT_TRUE(nights[0].inProgress);
    EXPECT_EQ(nights[0].segments.back().end, now);
}

TEST_F(Build, NightEndingNowIsFinished) {
    log.events = {ev(march8 + 22 * hour, K::sleep)};
    Date now = march8 + day + 7 * hour;
    std::vector<Night> nights = build(now);
    ASSERT_EQ(nights.size(), 1u);
    EXPECT_EQ(nights[0].end, now);
    EXPECT_FALSE(nights[0].inProgress);
}

TEST_F(Build, NightMustLastLongerThanTenMinutes) {
    log.events = {ev(march8 + 22 * hour, K::sleep)};
    EXPECT_TRUE(build(march8 + 23 * hour + 600).empty());
    std::vector<Night> nights = build(march8 + 23 * hour + 601);
    ASSERT_EQ(nights.size(), 1u);
    EXPECT_EQ(nights[0].duration(), 601);
}

TEST_F(Build, SilentWindowBeforeAStartUpIsNoNight) {
    log.events = {ev(march8 + 22 * hour, K::sleep), ev(march8 + 2 * day + 12 * hour, K::boot)};
    EXPECT_EQ(ids(build(march8 + 3 * day)), std::vector<std::string>{"2024-03-11"});
    log.events.back().kind = K::wake;
    EXPECT_EQ(ids(build(march8 + 3 * day)),
              (std::vector<std::string>{"2024-03-09", "2024-03-10", "2024-03-11"}));
}

TEST_F(Build, EqualHoursGiveNoNights) {
    log.events = {ev(march8, K::sleep)};
    EXPECT_TRUE(build(march8 + 5 * day, NightWindow{7, 7}).empty());
}

TEST_F(Build, WindowWithinOneDay) {
    log.events = {ev(march8, K::sleep)};
    std::vector<Night> nights = build(march8 + day + 12 * hour, NightWindow{1, 7});
    EXPECT_EQ(ids(nights), (std::vector<std::string>{"2024-03-08", "2024-03-09"}));
    ASSERT_EQ(nights.size(), 2u);
    EXPECT_EQ(nights[1].start, march8 + day + 1 * hour);
    EXPECT_EQ(nights[1].end, march8 + day + 7 * hour);
}

TEST_F(Build, BatteryIsDecidedOnceForTheWholeLog) {
    log.events = {ev(march8 + 22 * hour, K::sleep, false, 0), ev(march8 + 3 * day, K::wake, false)};
    Date now = march8 + 3 * day + 12 * hour;
    std::vector<Night> nights = build(now);
    ASSERT_EQ(nights.size(), 3u);
    for (const Night& n : nights)
        EXPECT_FALSE(n.hasBattery);
    log.events.back().charge = 1;
    for (const Night& n : build(now))
        EXPECT_TRUE(n.hasBattery);
    log.events.back() = ev(march8 + 3 * day, K::wake, true);
    for (const Night& n : build(now))
        EXPECT_TRUE(n.hasBattery);
}

TEST_F(Build, MorningsFollowTheCalendarAcrossAClockChange) {
    test::ScopedTZ tz("Europe/Berlin");
    Calendar berlin{"Europe/Berlin"};
    // 2024-03-29 12:00 UTC to 2024-04-02: the clocks went forward on the night to 31 March.
    Date first = Date::fromUnix(1711713600);
    log.events = {ev(first, K::sleep)};
    std::vector<Night> nights = NightBuilder::build(log, NightWindow{}, first + 4 * day, berlin);
    EXPECT_EQ(ids(nights),
              (std::vector<std::string>{"2024-03-30", "2024-03-31", "2024-04-01", "2024-04-02"}));
    ASSERT_EQ(nights.size(), 4u);
    EXPECT_EQ(nights[0].duration(), 8 * hour);
    EXPECT_EQ(nights[1].duration(), 7 * hour);
    EXPECT_EQ(nights[2].duration(), 8 * hour);
    EXPECT_EQ(nights[1].start, Date::fromUnix(1711836000)); // 2024-03-30 23:00 +0100
}

} // namespace
