#pragma once

// A wake the system was asked for: the RTC's alarm at a set time, or a systemd timer that wakes the system.

#include <cstdint>
#include <string>

namespace dormio {

struct WakeAlarm {
    std::string name; // who asked: the clock ("rtc0")
    std::string info; // what for: "RTC wake alarm"
    int64_t time = 0; // seconds since 1970
};

// A timer with WakeSystem=yes: each time it elapses while the system sleeps, the system wakes and the
// service manager starts its unit.
struct WakeTimer {
    std::string name; // the timer unit ("apt-daily-upgrade.timer")
    std::string unit; // the unit it starts ("apt-daily-upgrade.service")
    std::string info; // the timer's description
};

} // namespace dormio
