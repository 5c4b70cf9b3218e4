#include "Dormio/UI/Kit/Shapes.h"

#include <QPainter>
#include <algorithm>

namespace dormio::Shapes {

namespace {

// How far along each edge the continuous corner reaches, in radii.
constexpr qreal reach = 1.52866483;

// One corner from the end of the horizontal edge to the start of the vertical one, in radii measured
// from the corner point inwards; mirrored for the other corners through the signs.
void addCorner(QPainterPath& path, QPointF corner, qreal r, qreal sx, qreal sy, bool horizontalFirst) {
    const auto at = [&](qreal along, qreal across) {
        return horizontalFirst ? QPointF(corner.x() + sx * along * r, corner.y() + sy * across * r)
                               : QPointF(corner.x() + sx * across * r, corner.y() + sy * along * r);
    };
    path.cubicTo(at(1.08849323, 0), at(0.86840689, 0.02189647), at(0.63149399, 0.07491100));
    path.cubicTo(at(0.37282392, 0.16905899), at(0.16905899, 0.37282392), at(0.07491100, 0.63149399));
    path.cubicTo(at(0.02189647, 0.86840689), at(0, 1.08849323), at(0, reach));
}

} // namespace

QPainterPath continuousRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    if (rect.isEmpty()) return path;
    const qreal r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2 / reach);
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    const qreal left = rect.left(), right = rect.right(), top = rect.top(), bottom = rect.bottom();
    path.moveTo(left + reach * r, top);
    path.lineTo(right - reach * r, top);
    addCorner(path, {right, top}, r, -1, 1, true);
    path.lineTo(right, bottom - reach * r);
    addCorner(path, {right, bottom}, r, -1, -1, false);
    path.lineTo(left + reach * r, bottom);
    addCorner(path, {left, bottom}, r, 1, -1, true);
    path.lineTo(left, top + reach * r);
    addCorner(path, {left, top}, r, 1, 1, false);
    path.closeSubpath();
    return path;
}

QPen pen(const QColor& color, qreal width) {
    QPen pen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    if (t <= 0) return a;
    if (t >= 1) return b;
    const QColor from = a.alpha() == 0 ? QColor(b.red(), b.green(), b.blue(), 0) : a;
    const QColor to = b.alpha() == 0 ? QColor(a.red(), a.green(), a.blue(), 0) : b;
    const auto lerp = [t](float x, float y) { return x + (y - x) * float(t); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

void fill(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color) {
    if (color.alpha() == 0) return;
    painter.fillPath(continuousRect(rect, radius), color);
}

void strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color, qreal width) {
    if (color.alpha() == 0 || width <= 0) return;
    const qreal half = width / 2;
    painter.strokePath(
        continuousRect(rect.adjusted(half, half, -half, -half), std::max<qreal>(radius - half, 0)),
        pen(color, width));
}

} // namespace dormio::Shapes
