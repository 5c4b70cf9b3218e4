#include "DormioKit/Night.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

constexpr double hour = 3600;
const Date midnight{731808000};

Date at(double hours) {
    return midnight + hours * hour;
}

NightEvent event(Kind kind, double hours = 0) {
    return NightEvent{at(hours),    kind,        std::string(rawValue(kind)), "", "", 0, std::nullopt,
                      std::nullopt, std::nullopt};
}

// 22:00 to 06:00: screen on, asleep, a dark wake, asleep, awake with the screen off.
Night builtNight() {
    return emptyNight(at(-2), at(6),
                      {{at(-2), at(-1), PowerState::screenOn},
                       {at(-1), at(2), PowerState::asleep},
                       {at(2), at(2.5), PowerState::dark},
                       {at(2.5), at(5), PowerState::asleep},
                       {at(5), at(6), PowerState::awake}});
}

Night nightWithBattery(std::vector<BatteryPoint> points, bool hasBattery = true) {
    Night night = builtNight();
    night.battery = std::move(points);
    night.hasBattery = hasBattery;
    return night;
}

} // namespace

TEST(NightFigures, StateTimesOfABuiltNightAddUpToItsDuration) {
    Night night = builtNight();
    EXPECT_EQ(night.duration(), 8 * hour);
    EXPECT_EQ(night.screenTime(), 1 * hour);
    EXPECT_EQ(night.asleep(), 5.5 * hour);
    EXPECT_EQ(night.darkTime(), 0.5 * hour);
    EXPECT_EQ(night.awakeTime(), 1 * hour);
    EXPECT_EQ(night.asleep(), night.time(PowerState::asleep));
    EXPECT_EQ(night.asleep() + night.darkTime() + night.awakeTime() + night.screenTime(), night.duration());
}

TEST(NightFigures, StateTimesAreNotClipped) {
    Night night = builtNight();
    night.segments.push_back({at(7), at(9), PowerState::dark});     // after the night's end
    night.segments.push_back({at(4), at(3), PowerState::screenOn}); // ends before it starts
    EXPECT_EQ(night.darkTime(), 2.5 * hour);
    EXPECT_EQ(night.screenTime(), 0);
}

TEST(NightFigures, NightWithoutSegments) {
    Night night = emptyNight(at(-2), at(6));
    EXPECT_EQ(night.duration(), 8 * hour);
    for (PowerState state : PowerStates::allCases)
        EXPECT_EQ(night.time(state), 0);
    EXPECT_FALSE(night.segment(night.end));
    EXPECT_FALSE(night.segment(night.start));
}

TEST(NightFigures, SegmentAtAMoment) {
    Night night = builtNight();
    const struct {
        const char* name;
        Date date;
        std::optional<PowerState> state;
    } cases[] = {
        {"night start", at(-2), PowerState::screenOn},
        {"inside the second", at(0), PowerState::asleep},
        {"boundary gives the later", at(2), PowerState::dark},
        {"just before a boundary", at(2.5) - 0.001, PowerState::dark},
        {"night end exactly", at(6), PowerState::awake},
        {"a second after the end", at(6) + 1, std::nullopt},
        {"before the first segment", at(-2) - 1, std::nullopt},
    };
    for (const auto& c : cases) {
        auto segment = night.segment(c.date);
        EXPECT_EQ(segment ? std::optional(segment->state) : std::nullopt, c.state) << c.name;
    }
    EXPECT_EQ(night.segment(at(6)), night.segments.back());
}

TEST(NightFigures, SegmentInAGapIsNone) {
    Night night = builtNight();
    night.segments.erase(night.segments.begin() + 2);
    EXPECT_FALSE(night.segment(at(2.25)));
}

TEST(NightFigures, EndMatchesTheLastSegmentEvenWhenItEndsEarlier) {
    Night night = builtNight();
    night.segments.pop_back();
    EXPECT_EQ(night.segment(at(6)), night.segments.back());
    EXPECT_FALSE(night.segment(at(5.5)));
}

TEST(NightFigures, BatteryFirstAndLastOnly) {
    const struct {
        std::vector<int64_t> charges;
        int64_t start, end, lost;
    } cases[] = {
        {{80, 75, 78}, 80, 78, 2},
        {{60, 90}, 60, 90, 0},
        {{55}, 55, 55, 0},
        {{90, 10, 100, 85}, 90, 85, 5},
    };
    for (const auto& c : cases) {
        std::vector<BatteryPoint> points;
        for (std::size_t i = 0; i < c.charges.size(); ++i)
            points.push_back({at(static_cast<double>(i)), c.charges[i]});
        Night night = nightWithBattery(points);
        EXPECT_EQ(night.startCharge(), c.start);
        EXPECT_EQ(night.endCharge(), c.end);
        EXPECT_EQ(night.lost(), c.lost);
    }
}

TEST(NightFigures, BatteryFiguresAbsentWithoutABattery) {
    for (const Night& night :
         {nightWithBattery({{at(1), 90}, {at(3), 85}}, false), nightWithBattery({}, true)}) {
        EXPECT_FALSE(night.startCharge());
        EXPECT_FALSE(night.endCharge());
        EXPECT_FALSE(night.lost());
        EXPECT_FALSE(night.charge(at(2)));
    }
}

TEST(NightFigures, LostNeverOverflowsOnExtremeStoredCharges) {
    constexpr int64_t max = std::numeric_limits<int64_t>::max();
    constexpr int64_t min = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(nightWithBattery({{at(0), max}, {at(1), -1}}).lost(), max);
    EXPECT_EQ(nightWithBattery({{at(0), max}, {at(1), min}}).lost(), max);
    EXPECT_EQ(nightWithBattery({{at(0), min}, {at(1), max}}).lost(), 0);
    EXPECT_EQ(nightWithBattery({{at(0), -1}, {at(1), min}}).lost(), max);
}

TEST(NightFigures, ChargeAtAMomentTakesTheLastReadingNotAfterIt) {
    Night night = nightWithBattery({{at(1), 90}, {at(3), 85}});
    const struct {
        double hours;
        int64_t charge;
    } cases[] = {{0.5, 90}, {1, 90}, {2 + 59.0 / 60, 90}, {3, 85}, {5, 85}, {-10, 90}};
    for (const auto& c : cases)
        EXPECT_EQ(night.charge(at(c.hours)), c.charge) << c.hours;
}

TEST(NightFigures, CountsAndWakeMoments) {
    Night night = builtNight();
    night.events = {event(Kind::darkWake, 1), event(Kind::darkWake, 2),     event(Kind::stayedAwake, 3),
                    event(Kind::screenOn, 4), event(Kind::awakeAtStart, 5), event(Kind::fellAsleep, 6)};
    EXPECT_EQ(night.darkWakeCount(), 2);
    EXPECT_EQ(night.screenOnCount(), 1);
    EXPECT_EQ(night.upCount(), 2);
    EXPECT_EQ(night.wakeCount(), 4);
    std::vector<NightEvent> expected(night.events.begin(), night.events.begin() + 4);
    EXPECT_EQ(night.wakeMoments(), expected);
}

TEST(NightFigures, WakeMomentsKeepStoredOrder) {
    Night night = builtNight();
    night.events = {event(Kind::screenOn, 4), event(Kind::darkWake, 1)};
    auto moments = night.wakeMoments();
    ASSERT_EQ(moments.size(), 2u);
    EXPECT_EQ(moments[0].kind, Kind::screenOn);
    EXPECT_EQ(moments[1].kind, Kind::darkWake);
}

TEST(NightFigures, BedtimeIsTheFirstFellAsleepInOrder) {
    Night night = builtNight();
    night.events = {event(Kind::darkWake, 1), event(Kind::awakeAtStart, 0)};
    EXPECT_FALSE(night.bedtime());
    EXPECT_TRUE(night.wakeMoments().size() == 1);

    night.events = {event(Kind::screenOn, 0), event(Kind::fellAsleep, 1), event(Kind::fellAsleep, 3)};
    ASSERT_TRUE(night.bedtime());
    EXPECT_EQ(night.bedtime()->date, at(1));
}

TEST(NightFigures, ScoreAndWordComeFromTheRestScore) {
    Night night = emptyNight(at(0), at(8), {{at(0), at(8), PowerState::asleep}});
    EXPECT_EQ(night.score(), 100);
    EXPECT_EQ(night.scoreWord(), "Sound");
}
