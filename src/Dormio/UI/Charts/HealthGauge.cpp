#include "Dormio/UI/Charts/HealthGauge.h"

#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Kit/Shapes.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace dormio::HealthGauge {

using Charts::Anchor;
using Charts::ChartLabel;

namespace {

constexpr double baselineY = 26;

double tickEnd(int value) {
    if (value % 10 == 0) return 35;
    if (value % 5 == 0) return 32;
    return 29;
}

void addZones(Geometry& geometry, double width) {
    const auto at = [width](double value) { return x(value, true, width); };
    geometry.zoneFills = {QRectF(QPointF(at(50), 18), QPointF(at(70), baselineY)),
                          QRectF(QPointF(at(70), 18), QPointF(at(80), baselineY))};
    geometry.zoneOpacities = {0.16, 0.07};
    for (double border : {70, 80, 90})
        geometry.separators.emplace_back(at(border), 4, at(border), baselineY);
    for (const Zone& zone : zones)
        geometry.zoneLabels.push_back(ChartLabel{QString::fromLatin1(zone.label),
                                                 QPointF(at(zone.position), 14), Anchor::bottomCentre});
}

} // namespace

int low(bool calibrated) {
    return calibrated ? 50 : 0;
}

double x(double value, bool calibrated, double width) {
    const double lo = low(calibrated);
    const double clamped = std::clamp(value, lo, 100.0);
    return 12 + (width - 24) * (clamped - lo) / (100 - lo);
}

Geometry geometry(int64_t value, bool calibrated, double width) {
    Geometry geometry;
    if (calibrated) addZones(geometry, width);
    const int lo = low(calibrated);
    geometry.baseline = QLineF(x(lo, calibrated, width), baselineY, x(100, calibrated, width), baselineY);
    // Every value calibrated, every even one on the charge scale, which so never meets an odd multiple of 5.
    const int step = calibrated ? 1 : 2;
    for (int v = lo; v <= 100; v += step) {
        const double at = x(v, calibrated, width);
        geometry.ticks.emplace_back(at, baselineY, at, tickEnd(v));
        if (v % 10 == 0)
            geometry.tickLabels.push_back(ChartLabel{QString::number(v), QPointF(at, 38), Anchor::topCentre});
    }
    // Clamped in floating point first, so that no 64-bit value loses its end of the scale on the way.
    const double n = x(std::clamp(double(value), -1.0, 101.0), calibrated, width);
    geometry.needle = QLineF(n, 16, n, 35);
    geometry.pointer = QPolygonF({QPointF(n - 5, 9), QPointF(n + 5, 9), QPointF(n, 16)});
    return geometry;
}

const Font& tickFont() {
    static const Font face = Charts::labelFont(9.5, QFont::Normal);
    return face;
}

const Font& zoneFont() {
    static const Font face = Charts::labelFont(8.5, QFont::Medium);
    return face;
}

void paint(QPainter& painter, QSizeF size, int64_t value, bool calibrated, const CanvasPalette& palette) {
    const Geometry gauge = geometry(value, calibrated, size.width());
    for (std::size_t i = 0; i < gauge.zoneFills.size(); ++i)
        painter.fillRect(gauge.zoneFills[i], faded(palette.rose, gauge.zoneOpacities[i]));
    if (!gauge.separators.empty())
        painter.strokePath(Charts::pathOf(gauge.separators), Shapes::pen(palette.rule, 1));

    painter.setPen(Shapes::pen(palette.ink2, 1));
    painter.drawLine(gauge.baseline);

    for (const ChartLabel& label : gauge.tickLabels)
        Charts::drawLabel(painter, tickFont(), palette.ink3, label);
    painter.strokePath(Charts::pathOf(gauge.ticks), Shapes::pen(palette.ink3, 1));

    for (const ChartLabel& label : gauge.zoneLabels)
        Charts::drawLabel(painter, zoneFont(), palette.ink3, label);

    painter.setPen(Shapes::pen(palette.rose, 1.5));
    painter.drawLine(gauge.needle);
    QPainterPath pointer;
    pointer.addPolygon(gauge.pointer);
    pointer.closeSubpath();
    painter.fillPath(pointer, palette.rose);
}

QString accessibleLabel(bool calibrated) {
    return calibrated ? QStringLiteral("Battery health") : QStringLiteral("Battery charge");
}

QString accessibleValue(int64_t value) {
    return QString::number(value) + QStringLiteral(" percent");
}

} // namespace dormio::HealthGauge
