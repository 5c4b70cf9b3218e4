#pragma once

// What the model's tests share: moments written on the UTC clock, the TZ and ICU locale that a test pins
// and puts back (ZoneAndLocale.h), and the nights that the record tests start from.

#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "ZoneAndLocale.h"

#include <ctime>
#include <utility>
#include <vector>

namespace dormio::test {

inline Date utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return Date::fromUnix(static_cast<double>(timegm(&fields)));
}

inline Night emptyNight(Date start, Date end, std::vector<Segment> segments = {}) {
    return Night{"2024-03-10", start, end, std::move(segments), {}, {}, false, false, {}, false, false};
}

// A night with a value in every field: its first event has every optional member, its second none.
inline Night sampleNight() {
    using Kind = NightEvent::Kind;
    return Night{
        .id = "2024-03-10",
        .start = Date{731800800},
        .end = Date{731842200},
        .segments = {{Date{731800800}, Date{731810000}, PowerState::screenOn},
                     {Date{731810000}, Date{731842200}, PowerState::asleep}},
        .events = {{Date{731810000}, Kind::fellAsleep, "Fell asleep", "moon.zzz", "Entering Sleep", 1200, 80,
                    "com.apple.alarm", "Idle"},
                   {Date{731820000}, Kind::darkWake, "Dark wake", "moon.haze", "DarkWake from Sleep", 45.5,
                    std::nullopt, std::nullopt, std::nullopt}},
        .battery = {{Date{731800800}, 90}, {Date{731842200.5}, 84}},
        .hasBattery = true,
        .pluggedIn = false,
        .keptAwake = {{"backupd", "Backup", "PreventUserIdleSystemSleep", 600.5}},
        .isDemo = false,
        .inProgress = false,
    };
}

} // namespace dormio::test
