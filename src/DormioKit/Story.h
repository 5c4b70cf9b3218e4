#pragma once

// A night's moments as the user reads them: runs of dark wakes with the same words told as one line.

#include "DormioKit/Night.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace dormio {

// One line of the story; it always holds at least one event, in the night's order.
struct StoryItem {
    std::vector<NightEvent> events;

    const NightEvent& first() const { return events.front(); }
    // The identity of the first event, which finds the line again.
    std::string id() const { return first().id(); }
    bool isGroup() const { return events.size() > 1; }
    double totalDuration() const;

    bool operator==(const StoryItem&) const = default;
};

namespace Story {

// Every event of the night exactly once, in order.
std::vector<StoryItem> items(const Night& night);

} // namespace Story

} // namespace dormio

// Hashing covers the events, as equality does.
template <> struct std::hash<dormio::StoryItem> {
    std::size_t operator()(const dormio::StoryItem& item) const noexcept;
};
