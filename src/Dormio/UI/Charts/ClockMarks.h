#pragma once

// Whole hours on the user's wall clock, and the even steps that mark time along a chart's axis.

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace dormio::Charts {

// No axis shows more marks than this; a span so long that it would need more (a damaged night years
// long) gets its first maxMarks and no more, instead of a loop that takes minutes or never ends.
inline constexpr std::size_t maxMarks = 2000;

// The first moment strictly after `after` whose wall-clock minute and second are both 0 in the calendar's
// zone; it may fall on a change of the clock. None when the calendar cannot reach the date.
std::optional<Date> nextWholeHour(const Calendar& calendar, Date after);

// first, first + step, first + 2 step, ... while not after `last`, keeping only those not before `from`.
// Stops early at maxMarks and where adding the step no longer moves the date.
std::vector<Date> steps(Date first, Date from, Date last, double step);

} // namespace dormio::Charts
