#include "Dormio/UI/Charts/ClockMarks.h"

#include <cmath>

namespace dormio::Charts {

namespace {

constexpr double hour = 3600;

// The first whole hour of the wall clock at or after `at` (strictly after, when `strictly`), as long as
// the zone keeps `offset` (seconds east of UTC) until then.
Date wholeHourUnder(Date at, int offset, bool strictly) {
    const double local = at.unix() + offset;
    double whole = std::ceil(local / hour) * hour;
    if (strictly && whole <= local) whole += hour;
    return Date::fromUnix(whole - offset);
}

// The first whole second in (from, to] at which the zone's offset is no longer `offset`; the caller knows
// that `to` has another offset. Offsets change on whole seconds, so halving the span ends in a few steps.
Date offsetChangeBetween(const Calendar& calendar, Date from, Date to, int offset) {
    double before = std::floor(from.unix());
    double after = std::ceil(to.unix());
    while (after - before > 1) {
        const double middle = std::floor((before + after) / 2);
        if (calendar.offsetSeconds(Date::fromUnix(middle)) == offset)
            before = middle;
        else
            after = middle;
    }
    return Date::fromUnix(after);
}

} // namespace

std::optional<Date> nextWholeHour(const Calendar& calendar, Date after) {
    // ICU reaches about 95,000 years either side of 1970; further out there is no wall clock to read.
    constexpr double reach = 3e12;
    if (!std::isfinite(after.seconds) || std::abs(after.unix()) > reach) return std::nullopt;

    Date from = after;
    bool strictly = true;
    // Each round crosses one change of the zone's offset; a real zone never changes twice within an hour,
    // and the bound keeps a pathological one from looping.
    for (int round = 0; round < 8; ++round) {
        const int offset = calendar.offsetSeconds(from);
        const Date candidate = wholeHourUnder(from, offset, strictly);
        if (calendar.offsetSeconds(candidate) == offset) return candidate;
        // The clock changes before the candidate: the wall clock jumps there, so look again from the
        // change with the offset that holds after it. The change itself may fall on a whole hour.
        from = offsetChangeBetween(calendar, from, candidate, offset);
        strictly = false;
    }
    return std::nullopt;
}

std::vector<Date> steps(Date first, Date from, Date last, double step) {
    std::vector<Date> marks;
    if (!(step > 0)) return marks;
    Date t = first;
    // Marks before `from` are never kept, so whole steps of them are skipped at once.
    if (const double skipped = std::floor((from - first) / step); skipped > 0 && std::isfinite(skipped))
        t = first + skipped * step;
    while (t <= last && marks.size() < maxMarks) {
        if (t >= from) marks.push_back(t);
        const Date next = t + step;
        if (!(next > t)) break; // so far out that the step is lost in rounding
        t = next;
    }
    return marks;
}

} // namespace dormio::Charts
