#include "Dormio/UI/Charts/NightScale.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/ClockMarks.h"

namespace dormio {

double NightScale::x(Date date) const {
    return plot.left() + plot.width() * (date - night.start) / Charts::atLeastOneSecond(night.duration());
}

std::vector<Date> NightScale::hours(const Calendar& calendar) const {
    // A night that starts on the hour has that hour as its first: the search starts a second earlier.
    const std::optional<Date> first = Charts::nextWholeHour(calendar, night.start - 1);
    if (!first || *first > night.end) return {};
    return Charts::steps(*first, *first, night.end, 3600);
}

std::vector<Date> NightScale::quarterHours(const std::vector<Date>& hours) const {
    const Date first = hours.empty() ? night.start : hours.front() - 3600;
    return Charts::steps(first, night.start, night.end, 900);
}

} // namespace dormio
