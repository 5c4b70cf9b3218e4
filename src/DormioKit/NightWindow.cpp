#include "DormioKit/NightWindow.h"

#include <algorithm>
#include <limits>

namespace dormio {

namespace {

// The hours come from the user's settings unchecked, so any two 64-bit values must give a length without
// overflowing: the arithmetic is done in 128 bits and the result held to the 64-bit range.
__extension__ typedef __int128 Wide;

int64_t clamped(Wide value) {
    constexpr Wide lowest = std::numeric_limits<int64_t>::min(),
                   highest = std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(std::clamp(value, lowest, highest));
}

std::optional<Date> atHour(const Calendar& calendar, Date day, int64_t hour) {
    if (hour < std::numeric_limits<int>::min() || hour > std::numeric_limits<int>::max()) return std::nullopt;
    return calendar.date(day, static_cast<int>(hour));
}

} // namespace

int64_t NightWindow::hours() const {
    Wide start = startHour, end = endHour;
    if (crossesMidnight()) return clamped(24 - start + end);
    return clamped(std::max<Wide>(end - start, 1));
}

std::optional<std::pair<Date, Date>> NightWindow::bounds(Date morning, const Calendar& calendar) const {
    auto end = atHour(calendar, morning, endHour);
    if (!end) return std::nullopt;
    Date startDay = crossesMidnight() ? calendar.addingDays(morning, -1).value_or(morning) : morning;
    Date start = atHour(calendar, startDay, startHour).value_or(*end - static_cast<double>(hours()) * 3600);
    if (!(start < *end)) return std::nullopt;
    return std::pair{start, *end};
}

} // namespace dormio
