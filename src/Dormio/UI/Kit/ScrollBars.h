#pragma once

// The pages' scroll bars: a thin rounded thumb in the theme's inks, with no groove and no stepper arrows,
// in place of the desktop style's.

class QAbstractScrollArea;
class QScrollArea;

namespace dormio::ScrollBars {

inline constexpr int extent = 10;      // the bar's breadth
inline constexpr int thumbBreadth = 6; // the thumb within it
inline constexpr int leastThumb = 24;

// Gives both of the area's scroll bars the thin look.
void makeThin(QAbstractScrollArea* area);

// Sets an area up as a page's column: no frame, its widget as wide as the area, scrolling only up and
// down (the bar shown as needed), the thin bars, and out of the Tab walk between the controls.
void makeColumn(QScrollArea* area);

} // namespace dormio::ScrollBars
