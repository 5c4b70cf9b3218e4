#pragma once

// The pages' scroll bars: a thin rounded thumb in the theme's inks, with no groove and no stepper arrows,
// in place of the desktop style's.

class QAbstractScrollArea;

namespace dormio::ScrollBars {

inline constexpr int extent = 10;      // the bar's breadth
inline constexpr int thumbBreadth = 6; // the thumb within it
inline constexpr int leastThumb = 24;

// Gives both of the area's scroll bars the thin look.
void makeThin(QAbstractScrollArea* area);

} // namespace dormio::ScrollBars
