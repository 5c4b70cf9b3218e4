#include "DormioKit/NightSegments.h"

#include "DormioKit/DateLookup.h"

#include <algorithm>
#include <iterator>

namespace dormio::NightBuilder {

namespace {

// The dates of `items` strictly inside (start, end), in order.
template <typename T> std::vector<Date> datesInside(Date start, Date end, const std::vector<T>& items) {
    std::vector<Date> dates;
    for (std::size_t i = firstIndex(start, items); i < items.size() && dateOf(items[i]) < end; ++i)
        dates.push_back(dateOf(items[i]));
    return dates;
}

// The state after the last event at or before a moment (`last`), and that event.
std::pair<PowerState, const PowerEvent*> stateAfterEvent(std::optional<std::size_t> last,
                                                         const std::vector<PowerEvent>& events) {
    if (!last) return {PowerState::awake, nullptr};
    const PowerEvent& event = events[*last];
    return {stateAfter(event.kind), &event};
}

bool onAfterChange(std::optional<std::size_t> last, const std::vector<DisplayChange>& changes) {
    return !last || changes[*last].on;
}

// The state at each of a night's cuts, asked in time order.
class StateWalk {
public:
    explicit StateWalk(const PowerLog& log) : events_(log.events), display_(log.display) {}

    PowerState at(Date at) {
        const PowerState state = stateAfterEvent(events_.at(at), events_.items()).first;
        if (state != PowerState::awake) return state;
        return onAfterChange(display_.at(at), display_.items()) ? PowerState::screenOn : PowerState::awake;
    }

private:
    LastIndexWalk<PowerEvent> events_;
    LastIndexWalk<DisplayChange> display_;
};

} // namespace

std::pair<PowerState, const PowerEvent*> systemState(Date at, const std::vector<PowerEvent>& events) {
    return stateAfterEvent(lastIndex(at, events), events);
}

bool displayOn(Date at, const std::vector<DisplayChange>& changes) {
    return onAfterChange(lastIndex(at, changes), changes);
}

std::vector<Segment> combinedSegments(Date start, Date end, const PowerLog& log) {
    // Both lists are in time order already, and every date inside the night is later than its start.
    const std::vector<Date> events = datesInside(start, end, log.events);
    const std::vector<Date> display = datesInside(start, end, log.display);
    std::vector<Date> cuts{start};
    cuts.reserve(1 + events.size() + display.size());
    std::merge(events.begin(), events.end(), display.begin(), display.end(), std::back_inserter(cuts));
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    StateWalk states(log);
    std::vector<Segment> segments;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        Date until = i + 1 < cuts.size() ? cuts[i + 1] : end;
        PowerState state = states.at(cuts[i]);
        if (!segments.empty() && segments.back().state == state)
            segments.back().end = until;
        else
            segments.push_back(Segment{cuts[i], until, state});
    }
    return segments;
}

} // namespace dormio::NightBuilder
