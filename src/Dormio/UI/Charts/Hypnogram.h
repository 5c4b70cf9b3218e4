#pragma once

// Drawing the night trace: four lanes with the night's state line across them and the area under it, the
// hour axis, the wake moments above the plot, the battery's charge on its own scale, and the cursor with
// its readout. The static picture and the cursor are drawn apart, so that a widget can keep the first and
// draw only the second while the pointer moves.

#include "Dormio/UI/Kit/CanvasPalette.h"
#include "DormioKit/Night.h"

#include <QSizeF>
#include <optional>

class QPainter;

namespace dormio::Hypnogram {

// Everything but the cursor, on a canvas of `size` points.
void paintStatic(QPainter& painter, QSizeF size, const Night& night, const CanvasPalette& palette);
// The cursor line and its dot on the lane of the state it reads.
void paintCursor(QPainter& painter, QSizeF size, const Night& night, Date cursor,
                 const CanvasPalette& palette);
// The readout beside the cursor; the widget fades it in and out on its own.
void paintReadout(QPainter& painter, QSizeF size, const Night& night, Date cursor,
                  const CanvasPalette& palette);
// The whole trace.
void paint(QPainter& painter, QSizeF size, const Night& night, std::optional<Date> cursor,
           const CanvasPalette& palette);

} // namespace dormio::Hypnogram
