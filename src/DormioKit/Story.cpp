#include "DormioKit/Story.h"

#include "DormioKit/Hash.h"

namespace dormio {

double StoryItem::totalDuration() const {
    double total = 0;
    for (const NightEvent& event : events)
        total += event.duration;
    return total;
}

namespace Story {

namespace {

bool continuesRun(const std::vector<StoryItem>& items, const NightEvent& event) {
    if (event.kind != NightEvent::Kind::darkWake || items.empty()) return false;
    const NightEvent& head = items.back().first();
    return head.kind == NightEvent::Kind::darkWake && head.label == event.label;
}

} // namespace

std::vector<StoryItem> items(const Night& night) {
    std::vector<StoryItem> result;
    for (const NightEvent& event : night.events) {
        if (continuesRun(result, event))
            result.back().events.push_back(event);
        else
            result.push_back(StoryItem{{event}});
    }
    return result;
}

} // namespace Story

} // namespace dormio

std::size_t std::hash<dormio::StoryItem>::operator()(const dormio::StoryItem& item) const noexcept {
    dormio::Hasher hasher;
    hasher.add(item.events);
    return hasher.value();
}
