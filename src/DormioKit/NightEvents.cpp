#include "DormioKit/NightEvents.h"

#include "DormioKit/DateLookup.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/KeptAwakeAttribution.h"
#include "DormioKit/NightSegments.h"
#include "DormioKit/UnicodeText.h"
#include "DormioKit/WakeReason.h"

#include <array>
#include <cmath>
#include <map>
#include <span>
#include <utility>

namespace dormio::NightBuilder {

namespace {

using Kind = NightEvent::Kind;

// An event this close before a segment's start is what began it; an older one only carried the state over.
constexpr double startingEventReach = 5;
// A wake request listed longer ago than this no longer explains a wake.
constexpr double requestReach = 21600;
constexpr double briefScreen = 300;
constexpr double briefAwake = 120;
constexpr double shortAwakeBeforeSleep = 300;
// Where a wake request without a wake time counts as dated: 0001-01-01, far before any log.
constexpr Date distantPast{-63114076800.0};

// The symbols of the events that no wake reason names.
constexpr std::string_view asleepSymbol = "moon.zzz";
constexpr std::string_view darkWakeSymbol = "moon.haze";
constexpr std::string_view screenOffSymbol = "eye.slash";
constexpr std::string_view screenOnSymbol = "display";
constexpr std::array<std::string_view, 4> ownSymbols{asleepSymbol, darkWakeSymbol, screenOffSymbol,
                                                     screenOnSymbol};

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

const PowerEvent* startingEvent(Date at, LastIndexWalk<PowerEvent>& events) {
    std::optional<std::size_t> i = events.at(at);
    if (!i || !(events.items()[*i].date > at - startingEventReach)) return nullptr;
    return &events.items()[*i];
}

// Scans back from the night's start; for a night that begins asleep the first event met is already the sleep.
const PowerEvent* lastSleep(Date atOrBefore, const std::vector<PowerEvent>& events) {
    std::optional<std::size_t> i = lastIndex(atOrBefore, events);
    if (!i) return nullptr;
    for (std::size_t k = *i + 1; k-- > 0;)
        if (events[k].kind == PowerEventKind::sleep) return &events[k];
    return nullptr;
}

// The first index whose element is dated at or after `date`.
std::size_t firstIndexAtOrAfter(Date date, const std::vector<PowerEvent>& events) {
    std::size_t i = firstIndex(date, events);
    while (i > 0 && events[i - 1].date == date)
        --i;
    return i;
}

// The releases, sorted by end, that may overlap the window: those that end after its start, up to where even
// the longest release (`longest`) ending there would start at or after its end.
std::span<const AssertionRelease> mayOverlap(const std::vector<AssertionRelease>& releases, Date start,
                                             Date end, double longest) {
    const std::size_t first = firstIndex(start, releases);
    std::size_t last = first;
    while (last < releases.size() && releases[last].end - longest < end)
        ++last;
    return std::span(releases).subspan(first, last - first);
}

const WakeRequest& pickRequest(std::size_t first, std::size_t last, Date wake,
                               const std::vector<WakeRequest>& requests) {
    for (std::size_t i = first; i <= last; ++i)
        if (requests[i].chosen) return requests[i];
    const WakeRequest* nearest = &requests[first];
    double nearestDistance = std::abs(nearest->wakeAt.value_or(distantPast) - wake);
    for (std::size_t i = first + 1; i <= last; ++i) {
        double distance = std::abs(requests[i].wakeAt.value_or(distantPast) - wake);
        if (distance < nearestDistance) {
            nearest = &requests[i];
            nearestDistance = distance;
        }
    }
    return *nearest;
}

// Whether a cause names a timed wake, one that a wake request may explain.
bool isTimed(std::string_view cause) {
    const std::string lower = UnicodeText::lowerCase(cause);
    return contains(lower, "rtc") || contains(lower, "sleepservice") || contains(lower, "maintenance") ||
           contains(lower, "spmi");
}

// Who scheduled the timed wake at `event`, given the last request listed at or before it.
std::optional<std::string> scheduledBy(const PowerEvent& event, std::optional<std::size_t> last,
                                       const std::vector<WakeRequest>& requests) {
    if (!last || !(requests[*last].logged > event.date - requestReach)) return std::nullopt;
    std::size_t first = *last;
    while (first > 0 && requests[first - 1].logged == requests[*last].logged)
        --first;

    const WakeRequest& picked = pickRequest(first, *last, event.date, requests);
    const std::string process(picked.process);
    if (!picked.info.empty()) return process + " \u00B7 " + std::string(picked.info);
    return process + " (" + std::string(picked.request) + ")";
}

struct SegmentContext {
    const Segment& segment;
    bool isFirst;
    const Segment* previous;
    const PowerEvent* starting;
};

class EventMaker {
public:
    EventMaker(Date nightStart, const PowerLog& log, const std::vector<AssertionRelease>& releases)
        : nightStart_(nightStart), log_(log), releases_(releases), longest_(longestRelease(releases)),
          requests_(log.requests) {}

    std::optional<NightEvent> event(const SegmentContext& c) {
        switch (c.segment.state) {
        case PowerState::asleep:
            return asleep(c);
        case PowerState::dark:
            return dark(c);
        case PowerState::awake:
            return awake(c);
        case PowerState::screenOn:
            return screenOn(c);
        }
        return std::nullopt;
    }

private:
    std::optional<NightEvent> asleep(const SegmentContext& c) {
        bool wasAsleep = asleepSeen_;
        asleepSeen_ = true;
        if (c.isFirst) {
            const PowerEvent* sleep = lastSleep(nightStart_, log_.events);
            std::string raw = sleep ? "Asleep since " + Fmt::dayTime(sleep->date) : rawText(c);
            return base(c, Kind::fellAsleep, "Already asleep", asleepSymbol, raw);
        }
        bool backToSleep =
            !wasAsleep || c.previous->state == PowerState::screenOn ||
            (c.previous->state == PowerState::awake && c.previous->seconds() >= shortAwakeBeforeSleep);
        if (!backToSleep) return std::nullopt;
        std::string label = WakeReason::sleepLabel(c.starting ? std::string_view(c.starting->cause) : "");
        return base(c, Kind::fellAsleep, label, asleepSymbol, rawText(c));
    }

    NightEvent dark(const SegmentContext& c) {
        WakeReason reason = c.starting ? reading(*c.starting).reason
                                       : WakeReason{"Dark wake", std::string(darkWakeSymbol), false};
        NightEvent e = c.isFirst
                           ? base(c, Kind::awakeAtStart,
                                  "Briefly awake in the dark (" + UnicodeText::lowerCase(reason.label) + ")",
                                  reason.symbol, rawText(c))
                           : base(c, Kind::darkWake, reason.label, reason.symbol, rawText(c));
        if (c.starting && reading(*c.starting).timed)
            e.scheduledBy = shared(scheduledBy(*c.starting, requests_.at(c.starting->date), log_.requests));
        return e;
    }

    std::optional<NightEvent> awake(const SegmentContext& c) {
        if (!c.isFirst && c.segment.seconds() < briefAwake) return std::nullopt;
        std::string raw = rawText(c, "Display off while the system stayed awake");
        NightEvent e =
            c.isFirst ? base(c, Kind::awakeAtStart, "Awake, screen off", screenOffSymbol, raw)
                      : base(c, Kind::stayedAwake, "Stayed awake with the screen off", screenOffSymbol, raw);
        e.scheduledBy = shared(wokenBy(wakeReason(c)));
        std::vector<KeptAwake> holders =
            keptAwake(mayOverlap(releases_, c.segment.start, c.segment.end, longest_), {c.segment});
        if (!holders.empty()) e.culprit = texts_.intern(holders.front().process);
        return e;
    }

    NightEvent screenOn(const SegmentContext& c) {
        std::optional<WakeReason> reason = wakeReason(c);
        std::string symbol = reason ? reason->symbol : std::string(screenOnSymbol);
        std::string raw = rawText(c, "Display is turned on");
        NightEvent e = c.isFirst ? base(c, Kind::awakeAtStart, "You were still using your Mac", symbol, raw)
                                 : base(c, Kind::screenOn,
                                        c.segment.seconds() >= briefScreen ? "You used your Mac"
                                                                           : "Screen lit up briefly",
                                        symbol, raw);
        e.scheduledBy = shared(wokenBy(reason));
        return e;
    }

    NightEvent base(const SegmentContext& c, Kind kind, std::string_view label, std::string_view symbol,
                    std::string_view raw) {
        NightEvent e;
        e.date = c.segment.start;
        e.kind = kind;
        e.label = texts_.intern(label);
        e.symbol = texts_.intern(symbol);
        e.raw = texts_.intern(raw);
        e.duration = c.segment.seconds();
        if (c.starting) e.charge = c.starting->charge;
        return e;
    }

    static std::string rawText(const SegmentContext& c, std::string_view fallback = "") {
        if (c.starting && !c.starting->raw.empty()) return c.starting->raw;
        return std::string(fallback);
    }

    std::optional<WakeReason> wakeReason(const SegmentContext& c) {
        if (!c.starting) return std::nullopt;
        return reading(*c.starting).reason;
    }

    // What a cause says, worked out once per night for each cause and kind: a stormy night repeats the same
    // few causes thousands of times. The keys view the log's events, which outlive the maker.
    struct CauseReading {
        WakeReason reason;
        bool timed;
    };

    const CauseReading& reading(const PowerEvent& event) {
        const auto key = std::pair{event.kind, std::string_view(event.cause)};
        auto known = readings_.find(key);
        if (known == readings_.end())
            known = readings_
                        .emplace(key, CauseReading{WakeReason::classify(event.cause, event.kind),
                                                   isTimed(event.cause)})
                        .first;
        return known->second;
    }

    std::optional<SharedText> shared(const std::optional<std::string>& text) {
        if (!text) return std::nullopt;
        return texts_.intern(*text);
    }

    static std::optional<std::string> wokenBy(const std::optional<WakeReason>& reason) {
        if (!reason) return std::nullopt;
        return "Woken by: " + reason->label;
    }

    Date nightStart_;
    const PowerLog& log_;
    const std::vector<AssertionRelease>& releases_;
    double longest_;
    LastIndexWalk<WakeRequest> requests_;
    std::map<std::pair<PowerEventKind, std::string_view>, CauseReading> readings_;
    bool asleepSeen_ = false;
    SharedTextPool texts_; // the night's events repeat the same few texts
};

std::vector<NightEvent> nightEvents(const std::vector<Segment>& segments, Date start, const PowerLog& log,
                                    const std::vector<AssertionRelease>& releases) {
    EventMaker maker(start, log, releases);
    LastIndexWalk<PowerEvent> logEvents(log.events);
    std::vector<NightEvent> events;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& segment = segments[i];
        SegmentContext context{segment, i == 0, i > 0 ? &segments[i - 1] : nullptr,
                               startingEvent(segment.start, logEvents)};
        if (std::optional<NightEvent> e = maker.event(context)) events.push_back(std::move(*e));
    }
    return events;
}

std::vector<BatteryPoint> batteryPoints(Date start, Date end, const std::vector<PowerEvent>& events) {
    std::vector<BatteryPoint> points;
    if (std::optional<std::size_t> before = lastIndex(start, events); before && events[*before].charge)
        points.push_back(BatteryPoint{start, *events[*before].charge});
    for (std::size_t i = firstIndex(start, events); i < events.size() && events[i].date <= end; ++i)
        if (events[i].charge) points.push_back(BatteryPoint{events[i].date, *events[i].charge});
    if (!points.empty() && points.back().date < end)
        points.push_back(BatteryPoint{end, points.back().charge});
    return points;
}

bool pluggedIn(Date start, Date end, const std::vector<PowerEvent>& events) {
    for (std::size_t i = firstIndexAtOrAfter(start, events); i < events.size() && events[i].date <= end; ++i)
        if (events[i].onBattery == false) return true;
    std::optional<std::size_t> before = lastIndex(start, events);
    return before && events[*before].onBattery == false;
}

} // namespace

double longestRelease(const std::vector<AssertionRelease>& releases) {
    double longest = 0;
    for (const AssertionRelease& release : releases)
        if (release.duration > longest) longest = release.duration;
    return longest;
}

std::vector<AssertionRelease> overlappingReleases(const PowerLog& log, Date start, Date end, double longest) {
    const std::span<const AssertionRelease> candidates = mayOverlap(log.releases, start, end, longest);
    std::vector<AssertionRelease> overlapping;
    overlapping.reserve(candidates.size());
    for (const AssertionRelease& release : candidates)
        if (release.start() < end) overlapping.push_back(release);
    return overlapping;
}

std::optional<std::string> scheduler(const PowerEvent& event, const std::vector<WakeRequest>& requests) {
    if (!isTimed(event.cause)) return std::nullopt;
    return scheduledBy(event, lastIndex(event.date, requests), requests);
}

std::vector<std::string_view> eventSymbols() {
    std::vector<std::string_view> names(ownSymbols.begin(), ownSymbols.end());
    for (std::string_view name : WakeReason::allSymbols())
        names.push_back(name);
    return names;
}

Night makeNight(const std::string& id, Date start, Date end, const PowerLog& log, bool hasBattery) {
    return makeNight(id, start, end, log, hasBattery, longestRelease(log.releases));
}

Night makeNight(const std::string& id, Date start, Date end, const PowerLog& log, bool hasBattery,
                double longest) {
    Night night;
    night.id = id;
    night.start = start;
    night.end = end;
    night.hasBattery = hasBattery;
    night.segments = combinedSegments(start, end, log);
    std::vector<AssertionRelease> releases = overlappingReleases(log, start, end, longest);
    night.events = nightEvents(night.segments, start, log, releases);
    if (hasBattery) night.battery = batteryPoints(start, end, log.events);
    night.pluggedIn = pluggedIn(start, end, log.events);
    night.keptAwake = keptAwake(releases, night.segments);
    return night;
}

} // namespace dormio::NightBuilder
