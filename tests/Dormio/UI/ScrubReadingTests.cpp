#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ScrubReading.h"

#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

const Date start = utc(2024, 5, 10, 21);

Date minutes(double m) {
    return start + m * 60;
}

// Six hours: screen on, awake with the screen off, asleep, a dark wake whose event is logged half a second
// before its segment, asleep again with wake moments but no segments for them, and awake at the end. No
// segment covers the first five minutes.
Night scrubbedNight() {
    Night night = nightOf(start, 360,
                          {{5, 30, PowerState::screenOn},
                           {30, 60, PowerState::awake},
                           {60, 200, PowerState::asleep},
                           {200, 202, PowerState::dark},
                           {202, 300, PowerState::asleep},
                           {300, 360, PowerState::awake}},
                          {{4, Kind::darkWake},
                           {5, Kind::awakeAtStart},
                           {45.5, Kind::screenOn},
                           {60, Kind::fellAsleep},
                           {200 - 0.5 / 60, Kind::darkWake},
                           {250, Kind::darkWake},
                           {280, Kind::stayedAwake},
                           {284, Kind::screenOn},
                           {300, Kind::stayedAwake}});
    night.hasBattery = true;
    night.battery = {{minutes(0), 90}, {minutes(100), 85}, {minutes(300), 80}};
    return night;
}

} // namespace

TEST(ScrubReading, ReadsTheStateChargeAndMomentOfAnInstant) {
    struct Case {
        const char* name;
        double at; // minutes after the start
        PowerState state;
        std::optional<double> event; // the minute of the event read
        std::optional<int64_t> charge;
    };
    const Case cases[] = {
        {"before the first segment, far from any dark wake", 1, PowerState::asleep, {}, 90},
        {"before the first segment, a minute from a dark wake", 3, PowerState::dark, 4, 90},
        {"screen on, the segment's own event", 10, PowerState::screenOn, 5, 90},
        {"awake with no event since the segment began, though one comes 30 s later",
         45,
         PowerState::awake,
         {},
         90},
        {"awake after that event", 46, PowerState::awake, 45.5, 90},
        {"asleep, no wake moment near", 100, PowerState::asleep, {}, 85},
        {"dark, its event logged half a second before the segment", 201, PowerState::dark, 200 - 0.5 / 60,
         85},
        {"asleep 90 s after a dark wake", 251.5, PowerState::dark, 250, 85},
        {"asleep 120 s after a dark wake", 252, PowerState::dark, 250, 85},
        {"asleep 121 s after a dark wake", 250 + 121.0 / 60, PowerState::asleep, {}, 85},
        {"asleep between two moments equally far: the earlier", 282, PowerState::asleep, 280, 85},
        {"the night's end reads its last segment", 360, PowerState::awake, 300, 80},
        {"after the end, where no segment holds", 400, PowerState::asleep, {}, 80},
    };
    const Night night = scrubbedNight();
    for (const Case& c : cases) {
        const ScrubReading reading(night, minutes(c.at));
        EXPECT_EQ(reading.date, minutes(c.at)) << c.name;
        EXPECT_EQ(reading.state, c.state) << c.name;
        ASSERT_EQ(reading.event.has_value(), c.event.has_value()) << c.name;
        if (c.event) {
            EXPECT_EQ(reading.event->date, minutes(*c.event)) << c.name;
        }
        EXPECT_EQ(reading.charge, c.charge) << c.name;
    }
}

TEST(ScrubReading, ANightWithoutBatteryDataHasNoChargeAnywhere) {
    Night night = scrubbedNight();
    night.hasBattery = false;
    for (double at : {-10.0, 0.0, 150.0, 360.0}) {
        EXPECT_EQ(ScrubReading(night, minutes(at)).charge, std::nullopt) << at;
    }
    night.hasBattery = true;
    night.battery.clear();
    EXPECT_EQ(ScrubReading(night, minutes(150)).charge, std::nullopt);
}
