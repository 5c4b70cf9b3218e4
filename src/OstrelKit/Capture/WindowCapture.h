#pragma once

// One frame of a demo movie: the application's own windows inside a region of the screen, each drawn by
// Qt itself at the frame's resolution (no grab of the screen, so it is the same under any platform), without
// frames or shadows, over a backdrop gradient.

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

class QWidget;

namespace dormio::WindowCapture {

// The visible windows of this process that meet the region, from the bottom of the stack to the top: the
// main and other ordinary windows, then utility windows, then popups and tooltips; in the order they were
// made within each of these layers.
QList<QWidget*> windowsIn(const QRect& region);

// Paints `area` of `frame` (its pixels; the rest stays as it was): the backdrop from its first colour at the
// top to its last at the bottom (one colour fills it, none leaves black), then the windows, the region's
// points stretched onto the frame's pixels. A pixel comes out the same whatever area it is painted in. One
// rectangle, as Qt rounds each rectangle of a clip to whole pixels on its own, which can leave a pixel where
// two meet undrawn.
void compose(QImage& frame, const QRect& region, const QList<QColor>& backdrop,
             const QList<QWidget*>& windows, const QRect& area);

} // namespace dormio::WindowCapture
