#pragma once

// Cutting a parsed power log into nights: which mornings the log covers, each night's power-state segments,
// its moments in plain words, its battery points and the processes that kept the Mac awake.

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dormio {

struct NightWindow;

namespace NightBuilder {

// One night per covered morning of the log, oldest first; the night whose window has not ended is in
// progress.
std::vector<Night> build(const PowerLog& log, const NightWindow& window, Date now, const Calendar& calendar);

// Whether the log says anything about the window: something happened inside it, or the state before it
// carried on (nothing after it, or something after it that is not a start-up).
bool isCovered(const PowerLog& log, Date start, Date end);

// The night of one window, with `inProgress` false.
Night makeNight(const std::string& id, Date start, Date end, const PowerLog& log, bool hasBattery);

// The longest duration among the releases, which bounds how far before the night a release may start.
double longestRelease(const std::vector<AssertionRelease>& releases);

// The releases that overlap the window (ending after its start, starting before its end), in the log's order.
// `longest` is `longestRelease` of the log's releases.
std::vector<AssertionRelease> overlappingReleases(const PowerLog& log, Date start, Date end, double longest);

// `makeNight` for callers that computed `longestRelease` of the log once for many nights.
Night makeNight(const std::string& id, Date start, Date end, const PowerLog& log, bool hasBattery,
                double longest);

// Contiguous spans of one power state from `start` to `end`; neighbours never share a state.
std::vector<Segment> combinedSegments(Date start, Date end, const PowerLog& log);

// The processes whose sleep-blocking assertions held the Mac up during the dark and awake segments, longest
// first.
std::vector<KeptAwake> keptAwake(const std::vector<AssertionRelease>& releases,
                                 const std::vector<Segment>& segments);

// The system's state at a moment and the event that decided it; awake with no event before it.
std::pair<PowerState, const PowerEvent*> systemState(Date at, const std::vector<PowerEvent>& events);

// Whether the display was on at a moment; on when no change precedes it.
bool displayOn(Date at, const std::vector<DisplayChange>& changes);

// Who scheduled the wake request behind a timed dark wake, when one explains it.
std::optional<std::string> scheduler(const PowerEvent& event, const std::vector<WakeRequest>& requests);

} // namespace NightBuilder

} // namespace dormio
