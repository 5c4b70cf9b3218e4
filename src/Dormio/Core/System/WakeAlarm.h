#pragma once

// A wake the system was asked for at a set time: a systemd timer with WakeSystem=, or the RTC's alarm.

#include <cstdint>
#include <string>

namespace dormio {

struct WakeAlarm {
    std::string name; // who asked: the timer unit ("apt-daily.timer") or the clock ("rtc0")
    std::string info; // what for: the timer's description; "RTC wake alarm" for the clock
    int64_t time = 0; // seconds since 1970
};

} // namespace dormio
