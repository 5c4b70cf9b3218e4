#pragma once

// Cutting a night into spans of one power state, from the log's power events and display changes.

#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

#include <utility>
#include <vector>

namespace dormio::NightBuilder {

// Contiguous spans of one power state from `start` to `end`; neighbours never share a state.
std::vector<Segment> combinedSegments(Date start, Date end, const PowerLog& log);

// The system's state at a moment and the event that decided it; awake with no event before it.
std::pair<PowerState, const PowerEvent*> systemState(Date at, const std::vector<PowerEvent>& events);

// Whether the display was on at a moment; on when no change precedes it.
bool displayOn(Date at, const std::vector<DisplayChange>& changes);

} // namespace dormio::NightBuilder
