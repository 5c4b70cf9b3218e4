#include "DormioKit/NightBuilder.h"

#include "DormioKit/DateLookup.h"
#include "DormioKit/NightEvents.h"
#include "DormioKit/NightWindow.h"

#include <cmath>

namespace dormio::NightBuilder {

namespace {

// A night must last longer than this once clipped to the present; shorter windows say nothing useful.
constexpr double shortestNight = 600;
constexpr double oneDay = 86400;

bool showsBattery(const PowerLog& log) {
    for (const PowerEvent& event : log.events)
        if (event.onBattery == true || (event.charge && *event.charge > 0)) return true;
    return false;
}

} // namespace

std::vector<Night> build(const PowerLog& log, const NightWindow& window, Date now, const Calendar& calendar) {
    std::optional<Date> first = log.firstDate;
    if (!first && !log.events.empty()) first = log.events.front().date;
    // Mornings are walked one calendar day at a time up to `now`: a present that is no real moment has none.
    if (!first || !std::isfinite(now.seconds)) return {};
    bool hasBattery = showsBattery(log);
    double longest = longestRelease(log.releases);

    std::vector<Night> nights;
    Date last = calendar.startOfDay(now + oneDay);
    for (Date day = calendar.startOfDay(*first); day <= last;
         day = calendar.addingDays(day, 1).value_or(day + oneDay)) {
        std::optional<std::pair<Date, Date>> bounds = window.bounds(day, calendar);
        if (!bounds) continue;
        auto [start, end] = *bounds;
        if (start < *first || !(start < now)) continue;
        Date clipped = now < end ? now : end;
        if (clipped - start <= shortestNight || !isCovered(log, start, clipped)) continue;
        Night night = makeNight(calendar.dayID(day), start, clipped, log, hasBattery, longest);
        night.inProgress = end > now;
        nights.push_back(std::move(night));
    }
    return nights;
}

bool isWitnessed(const PowerLog& log, Date start, Date end) {
    const Date from = start - 1;
    const std::size_t i = firstIndex(from, log.events);
    if (i < log.events.size() && log.events[i].date <= end) return true;
    const std::size_t j = firstIndex(from, log.display);
    return j < log.display.size() && log.display[j].date <= end;
}

bool isCovered(const PowerLog& log, Date start, Date end) {
    if (isWitnessed(log, start, end)) return true;
    std::size_t i = firstIndex(start - 1, log.events);
    if (i == 0) return false;
    if (i == log.events.size()) return true;
    // A start-up right after a silent window means the Mac was off, not asleep, through it.
    return log.events[i].kind != PowerEventKind::boot;
}

std::optional<Date> lastDate(const PowerLog& log) {
    std::optional<Date> last;
    const auto consider = [&](Date date) {
        if (!last || *last < date) last = date;
    };
    if (!log.events.empty()) consider(log.events.back().date);
    if (!log.display.empty()) consider(log.display.back().date);
    if (!log.requests.empty()) consider(log.requests.back().logged);
    if (!log.releases.empty()) consider(log.releases.back().end);
    return last;
}

} // namespace dormio::NightBuilder
