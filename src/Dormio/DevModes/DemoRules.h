#pragma once

// The scripted demo's choices, apart from any window: where the window stands, which moments and nights
// it points at, and how a scrub of the night trace eases from one place to another.

#include "Dormio/Core/LiveRow.h"
#include "DormioKit/Date.h"
#include "DormioKit/Night.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace dormio::DemoRules {

// The window's place on a screen's available area: 40 points short of it each way, at most 1600 × 1000,
// centred, in whole points. A screen smaller than the window's least size keeps that size, centred.
QRect demoFrame(const QRect& available, const QSize& leastSize);

// Where the scrub stops on the night: just past the first dark wake strictly after 42 % of it.
std::optional<double> wakeFraction(const Night& night);
inline constexpr double fallbackWakeFraction = 0.55;

// The id of the night's first story line that opens with a dark wake, whose raw records the demo shows.
std::optional<QString> darkWakeItem(const Night& night);

// The night whose actogram row the demo clicks: the most wakes among the 8 finished nights before the
// newest finished one, ties to the more recent.
std::optional<std::string> busiestRecentNight(const std::vector<Night>& nights);

// The live row the demo quits: the first whose owner is called "Music".
const LiveRow* musicRow(const std::vector<LiveRow>& live);

// The scrub's fraction of the night after `elapsed` of `seconds`: a quadratic ease-in-out from `from` to
// `to`, exactly `to` once the time is up.
double scrubFraction(double from, double to, double elapsed, double seconds);
// The moment of the night the trace's cursor shows for a fraction, held to the night.
Date scrubDate(const Night& night, double fraction);

} // namespace dormio::DemoRules
