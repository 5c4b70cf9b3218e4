#pragma once

// How many pixels a movie of a screen region gets: as sharp as the screen it is on, never wider than
// about 2560 pixels, and even on both sides, as the encoder wants.

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace dormio::MovieSize {

struct Screen {
    QRectF geometry; // Qt's global coordinates
    qreal ratio;     // device pixels per point
};

// The application's screens, in Qt's order.
QList<Screen> screens();

// The ratio of the first screen that meets the region; 2 when none does.
qreal screenScale(const QList<Screen>& screens, const QRectF& region);
// Pixels per point: the screen's, capped so that the region's width stays within 2560 pixels.
qreal scale(const QRectF& region, qreal screenScale);
// The frame of the region made integral: each side at `scale`, rounded to the nearest even number.
QSize pixels(const QRect& integralRegion, qreal scale);

} // namespace dormio::MovieSize
