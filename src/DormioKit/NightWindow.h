#pragma once

// The user's night: the stretch between two hours of the wall clock, belonging to the morning on which it
// ends.

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace dormio {

struct NightWindow {
    int64_t startHour = 23; // on the 24-hour clock, at minute 0
    int64_t endHour = 7;    // on the morning's day, at minute 0

    // True exactly when the end hour is smaller than the start hour; equal hours do not cross midnight.
    bool crossesMidnight() const { return endHour < startHour; }
    // The nominal length in whole hours, at least 1; clock changes are not counted.
    int64_t hours() const;
    // The start and end of the night that ends on the day of `morning`, with start earlier than end, or none.
    std::optional<std::pair<Date, Date>> bounds(Date morning, const Calendar& calendar) const;

    bool operator==(const NightWindow&) const = default;
};

} // namespace dormio
