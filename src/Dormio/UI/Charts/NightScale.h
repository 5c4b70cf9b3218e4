#pragma once

// One night laid across the plot of the night trace: dates become x positions, and the night's whole
// clock hours and quarter hours become the marks of its axis.

#include "DormioKit/Calendar.h"
#include "DormioKit/Night.h"

#include <QRectF>
#include <vector>

namespace dormio {

// Built afresh for each layout or drawing pass; it refers to the night it was built for and is never kept.
struct NightScale {
    const Night& night;
    QRectF plot; // in the trace's own coordinates

    // Where `date` lies on the plot. Dates outside the night lie outside the plot; nothing is clamped. A
    // night shorter than a second is drawn as one second long.
    double x(Date date) const;

    // The whole hours of the user's wall clock from the night's start to its end, both included. After the
    // first they follow one another by exactly 3600 s, so across a change of the clock they stay evenly
    // spaced rather than jump with the wall clock.
    std::vector<Date> hours(const Calendar& calendar = Calendar::current()) const;

    // The quarter-hour ticks of the axis: every 900 s from the hour before the first whole hour (from the
    // night's start when there is none), keeping those within the night.
    std::vector<Date> quarterHours(const std::vector<Date>& hours) const;
};

} // namespace dormio
