#pragma once

// One night's contents: its segments, its moments in plain words, its battery points and who kept the Mac
// awake, made from the log for one window.

#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio::NightBuilder {

// The night of one window, with `inProgress` false.
Night makeNight(const std::string& id, Date start, Date end, const PowerLog& log, bool hasBattery);

// `makeNight` for callers that computed `longestRelease` of the log once for many nights.
Night makeNight(const std::string& id, Date start, Date end, const PowerLog& log, bool hasBattery,
                double longest);

// The longest duration among the releases, which bounds how far before the night a release may start.
double longestRelease(const std::vector<AssertionRelease>& releases);

// The releases that overlap the window (ending after its start, starting before its end), in the log's order.
// `longest` is `longestRelease` of the log's releases.
std::vector<AssertionRelease> overlappingReleases(const PowerLog& log, Date start, Date end, double longest);

// Every symbol a night's events can carry: their own and those of every wake reason.
std::vector<std::string_view> eventSymbols();

// Who scheduled the wake request behind a timed dark wake, when one explains it.
std::optional<std::string> scheduler(const PowerEvent& event, const std::vector<WakeRequest>& requests);

} // namespace dormio::NightBuilder
