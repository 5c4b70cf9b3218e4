#pragma once

// The clock text of a whole hour, for every place that names the night window.

#include <QString>

namespace dormio {

// Today's date at `hour`:00 in the user's zone, as the locale writes hours and minutes ("23:00"). An hour
// that a clock change skips today gives the next time that exists; one the calendar cannot place at all
// gives the current time.
QString hourText(int hour);

} // namespace dormio
