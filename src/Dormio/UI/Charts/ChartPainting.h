#pragma once

// What every chart's painting shares: labels drawn by their anchor and paths of marks.

#include "Dormio/UI/Charts/ChartLabel.h"
#include "Dormio/UI/Kit/CanvasPalette.h"
#include "Dormio/UI/Kit/Font.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPainterPath>
#include <functional>
#include <vector>

class QPainter;

namespace dormio::Charts {

// The charts' labels: the system face's monospaced design at a fixed size.
Font labelFont(qreal pixels, QFont::Weight weight);

// Draws the label so that the anchored point of its box (as wide as its text, as high as the font's
// line) sits on the label's point.
void drawLabel(QPainter& painter, const Font& font, const QColor& color, const ChartLabel& label);

// One path of separate lines, stroked at once.
QPainterPath pathOf(const std::vector<QLineF>& lines);

// A transparent picture of `size` points at `ratio` pixels a point, drawn by `draw` in points.
//
// Qt 6.4's raster engine hands every batch of more than about 96 spans (one per pixel row of a tall fill
// or line) to the global thread pool and waits for it. A busy night's tall fills make hundreds of such
// hand-overs, which cost far more than the drawing and stall behind whatever else the pool runs, a log
// read for one. On a thread of that pool the engine draws inline, so the picture is drawn on a thread
// reserved there for it while the caller waits.
QImage picture(QSizeF size, qreal ratio, const std::function<void(QPainter&)>& draw);

} // namespace dormio::Charts
