#pragma once

// The fixed-position dates of log lines, "yyyy-MM-dd HH:mm:ss +hhmm", read by their digits without a
// date formatter or a locale.

#include "DormioKit/Date.h"

#include <ctime>
#include <optional>
#include <string_view>

namespace dormio {

// Consecutive lines nearly always share their day, so the calendar arithmetic of timegm runs once per
// day; hours, minutes and seconds are plain arithmetic on top of it. One reader serves one log read.
class LogDateReader {
public:
    // The date in the first 25 bytes, or none when they are not one.
    std::optional<Date> read(std::string_view bytes);

private:
    int day_ = -1; // yyyymmdd of `midnight_`
    time_t midnight_ = 0;
};

} // namespace dormio
