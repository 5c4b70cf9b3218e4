#include "DormioKit/NightSegments.h"

#include "DormioKit/DateLookup.h"

#include <algorithm>

namespace dormio::NightBuilder {

namespace {

// The dates of `items` strictly inside (start, end), appended in order.
template <typename T>
void addCutPoints(std::vector<Date>& cuts, Date start, Date end, const std::vector<T>& items) {
    for (std::size_t i = firstIndex(start, items); i < items.size() && dateOf(items[i]) < end; ++i)
        cuts.push_back(dateOf(items[i]));
}

PowerState stateAt(Date at, const PowerLog& log) {
    PowerState state = systemState(at, log.events).first;
    if (state != PowerState::awake) return state;
    return displayOn(at, log.display) ? PowerState::screenOn : PowerState::awake;
}

} // namespace

std::pair<PowerState, const PowerEvent*> systemState(Date at, const std::vector<PowerEvent>& events) {
    std::optional<std::size_t> i = lastIndex(at, events);
    if (!i) return {PowerState::awake, nullptr};
    const PowerEvent& event = events[*i];
    return {stateAfter(event.kind), &event};
}

bool displayOn(Date at, const std::vector<DisplayChange>& changes) {
    std::optional<std::size_t> i = lastIndex(at, changes);
    return !i || changes[*i].on;
}

std::vector<Segment> combinedSegments(Date start, Date end, const PowerLog& log) {
    std::vector<Date> cuts{start};
    addCutPoints(cuts, start, end, log.events);
    addCutPoints(cuts, start, end, log.display);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    std::vector<Segment> segments;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        Date until = i + 1 < cuts.size() ? cuts[i + 1] : end;
        PowerState state = stateAt(cuts[i], log);
        if (!segments.empty() && segments.back().state == state)
            segments.back().end = until;
        else
            segments.push_back(Segment{cuts[i], until, state});
    }
    return segments;
}

} // namespace dormio::NightBuilder
