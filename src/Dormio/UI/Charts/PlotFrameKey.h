#pragma once

// The night trace's plot rectangle as the page above it learns it, for the demo driver to aim at.

#include <QRectF>

namespace dormio::PlotFrameKey {

// What a page holds before any trace has reported.
inline constexpr QRectF defaultValue{};

// Folds the next reported rectangle into the one held: a later rectangle wins, but an empty report (a
// trace not laid out yet) never erases a real one.
inline void reduce(QRectF& value, const QRectF& next) {
    if (next != QRectF()) value = next;
}

} // namespace dormio::PlotFrameKey
