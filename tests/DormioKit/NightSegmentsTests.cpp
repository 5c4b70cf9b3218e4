#include "DormioKit/NightSegments.h"

#include <gtest/gtest.h>

using namespace dormio;

namespace {

constexpr Date nightStart{700000000};
constexpr double hour = 3600;
constexpr Date nightEnd = nightStart + 8 * hour;

Date at(double seconds) {
    return nightStart + seconds;
}

PowerEvent event(double seconds, PowerEventKind kind) {
    return PowerEvent{at(seconds), kind, "", "", {}, {}};
}

struct SegmentsCase {
    const char* name;
    std::vector<PowerEvent> events;
    std::vector<DisplayChange> display;
    std::vector<Segment> expected;
};

using K = PowerEventKind;
using S = PowerState;

class CombinedSegments : public testing::TestWithParam<SegmentsCase> {};

TEST_P(CombinedSegments, CutsTheWindowByEventsAndDisplay) {
    const SegmentsCase& c = GetParam();
    PowerLog log;
    log.events = c.events;
    log.display = c.display;
    EXPECT_EQ(NightBuilder::combinedSegments(nightStart, nightEnd, log), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CombinedSegments,
    testing::Values(
        SegmentsCase{"EmptyLogIsScreenOnThroughout", {}, {}, {{nightStart, nightEnd, S::screenOn}}},
        SegmentsCase{"SleepBeforeTheNightCarriesOver",
                     {event(-hour, K::sleep)},
                     {},
                     {{nightStart, nightEnd, S::asleep}}},
        SegmentsCase{"WakeWithoutDisplayChangesIsScreenOn",
                     {event(-hour, K::sleep), event(3 * hour, K::wake)},
                     {},
                     {{nightStart, at(3 * hour), S::asleep}, {at(3 * hour), nightEnd, S::screenOn}}},
        SegmentsCase{"DisplayOffAfterAWakeLeavesItAwake",
                     {event(-hour, K::sleep), event(3 * hour, K::wake)},
                     {{at(3 * hour + 30), false}},
                     {{nightStart, at(3 * hour), S::asleep},
                      {at(3 * hour), at(3 * hour + 30), S::screenOn},
                      {at(3 * hour + 30), nightEnd, S::awake}}},
        SegmentsCase{"DisplayIsIgnoredInADarkWake",
                     {event(-hour, K::sleep), event(hour, K::darkWake), event(hour + 600, K::sleep)},
                     {{at(hour + 60), true}},
                     {{nightStart, at(hour), S::asleep},
                      {at(hour), at(hour + 600), S::dark},
                      {at(hour + 600), nightEnd, S::asleep}}},
        SegmentsCase{"EqualDatesMakeOneCutAndTheLastDecides",
                     {event(-hour, K::sleep), event(hour, K::darkWake), event(hour, K::wake)},
                     {{at(hour), false}},
                     {{nightStart, at(hour), S::asleep}, {at(hour), nightEnd, S::awake}}},
        SegmentsCase{"EventAtTheEndAddsNothing",
                     {event(-hour, K::sleep), event(8 * hour, K::wake)},
                     {{at(8 * hour), true}},
                     {{nightStart, nightEnd, S::asleep}}},
        SegmentsCase{"EventAtTheStartDecidesTheFirstState",
                     {event(-hour, K::sleep), event(0, K::enterDark)},
                     {},
                     {{nightStart, nightEnd, S::dark}}},
        SegmentsCase{"RepeatedSleepsMerge",
                     {event(-hour, K::wake), event(hour, K::sleep), event(2 * hour, K::sleep),
                      event(3 * hour, K::sleep), event(4 * hour, K::darkToFull)},
                     {{at(-hour), false}},
                     {{nightStart, at(hour), S::awake},
                      {at(hour), at(4 * hour), S::asleep},
                      {at(4 * hour), nightEnd, S::awake}}},
        SegmentsCase{"BootIsAwakeAndDisplayOnBeforeAnyChange",
                     {event(2 * hour, K::boot)},
                     {{at(2 * hour + 10), false}},
                     {{nightStart, at(2 * hour + 10), S::screenOn}, {at(2 * hour + 10), nightEnd, S::awake}}},
        SegmentsCase{"DisplayChangesOutsideTheWindowOnlySetTheState",
                     {},
                     {{at(-10), false}, {at(8 * hour + 1), true}},
                     {{nightStart, nightEnd, S::awake}}}),
    [](const testing::TestParamInfo<SegmentsCase>& info) { return std::string(info.param.name); });

TEST(CombinedSegments, DurationsAddUpToTheWindow) {
    PowerLog log;
    for (int i = 0; i < 40; ++i)
        log.events.push_back(event(i * 731.5 - 100, static_cast<K>(i % 6)));
    for (int i = 0; i < 25; ++i)
        log.display.push_back({at(i * 1117.25), i % 2 == 0});
    std::vector<Segment> segments = NightBuilder::combinedSegments(nightStart, nightEnd, log);
    double total = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_GT(segments[i].seconds(), 0);
        if (i > 0) {
            EXPECT_EQ(segments[i].start, segments[i - 1].end);
            EXPECT_NE(segments[i].state, segments[i - 1].state);
        }
        total += segments[i].seconds();
    }
    EXPECT_EQ(segments.front().start, nightStart);
    EXPECT_EQ(segments.back().end, nightEnd);
    EXPECT_DOUBLE_EQ(total, 8 * hour);
}

TEST(SystemState, LastEventAtOrBeforeDecides) {
    const std::vector<PowerEvent> events{event(0, K::sleep), event(100, K::enterDark), event(200, K::boot)};
    EXPECT_EQ(NightBuilder::systemState(at(-1), events),
              std::make_pair(S::awake, static_cast<const PowerEvent*>(nullptr)));
    EXPECT_EQ(NightBuilder::systemState(at(0), events), std::make_pair(S::asleep, &events[0]));
    EXPECT_EQ(NightBuilder::systemState(at(150), events), std::make_pair(S::dark, &events[1]));
    EXPECT_EQ(NightBuilder::systemState(at(200), events), std::make_pair(S::awake, &events[2]));
    EXPECT_EQ(NightBuilder::systemState(at(0), {}).first, S::awake);
}

TEST(DisplayOn, OnUnlessTheLastChangeTurnedItOff) {
    std::vector<DisplayChange> changes{{at(0), false}, {at(100), true}};
    EXPECT_TRUE(NightBuilder::displayOn(at(-1), changes));
    EXPECT_FALSE(NightBuilder::displayOn(at(0), changes));
    EXPECT_TRUE(NightBuilder::displayOn(at(100), changes));
    EXPECT_TRUE(NightBuilder::displayOn(at(0), {}));
}

} // namespace
