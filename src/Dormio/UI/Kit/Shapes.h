#pragma once

// The drawing habits every view shares: rounded rectangles with continuous (smoothed) corners, outlines
// stroked inside a shape's edge, and pens with flat caps, mitre joins and a mitre limit of 10.

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

class QPainter;

namespace dormio::Shapes {

// The corner starts 1.53 radii before the corner point and eases into the edge, without the kink of a
// circular arc. A radius too large for the rectangle shrinks until both corners of a side fit.
QPainterPath continuousRect(const QRectF& rect, qreal radius);

QPen pen(const QColor& color, qreal width);

// The colour `t` of the way from `a` to `b`; a clear end takes the other's tone, so a fade from nothing
// changes only the opacity.
QColor mix(const QColor& a, const QColor& b, qreal t);

void fill(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color);
// An outline of `width` that lies wholly inside `rect`.
void strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width = 1);

} // namespace dormio::Shapes
