#include "DormioKit/NightBuilder.h"

#include "DormioKit/DateLookup.h"
#include "DormioKit/NightEvents.h"
#include "DormioKit/NightWindow.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <string>
#include <thread>

namespace dormio::NightBuilder {

namespace {

// A night must last longer than this once clipped to the present; shorter windows say nothing useful.
constexpr double shortestNight = 600;
constexpr double oneDay = 86400;

// Nights are made on up to this many threads: each night reads only the log, and a wake storm makes a week of
// nights cost as much as a tenth of the log's read.
constexpr unsigned mostThreads = 4;

// A night's window, found in turn; what the night holds is then made on any thread.
struct NightWindowDates {
    std::string id;
    Date start;
    Date end; // clipped to the present
    bool inProgress;
};

// `make(i)` for every i in 0 ..< count, on up to mostThreads threads (this one among them), each taking the
// next i not yet taken, so that a long night does not hold up the others.
template <typename Make> void makeEach(std::size_t count, Make make) {
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            make(i);
    };
    const std::size_t threads =
        std::min<std::size_t>({count, mostThreads, std::max(std::thread::hardware_concurrency(), 1u)});
    std::vector<std::future<void>> others;
    for (std::size_t t = 1; t < threads; ++t)
        others.push_back(std::async(std::launch::async | std::launch::deferred, work));
    work();
    for (auto& other : others)
        other.get();
}

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

    std::vector<NightWindowDates> windows;
    Date last = calendar.startOfDay(now + oneDay);
    for (Date day = calendar.startOfDay(*first); day <= last;
         day = calendar.addingDays(day, 1).value_or(day + oneDay)) {
        std::optional<std::pair<Date, Date>> bounds = window.bounds(day, calendar);
        if (!bounds) continue;
        auto [start, end] = *bounds;
        if (start < *first || !(start < now)) continue;
        Date clipped = now < end ? now : end;
        if (clipped - start <= shortestNight || !isCovered(log, start, clipped)) continue;
        windows.push_back({calendar.dayID(day), start, clipped, end > now});
    }
    std::vector<Night> nights(windows.size());
    makeEach(windows.size(), [&](std::size_t i) {
        const NightWindowDates& w = windows[i];
        nights[i] = makeNight(w.id, w.start, w.end, log, hasBattery, longest);
        nights[i].inProgress = w.inProgress;
    });
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
