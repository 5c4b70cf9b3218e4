#include "Dormio/UI/Charts/MiniHypnogram.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/StateStyle.h"

#include <QPainter>

namespace dormio::MiniHypnogram {

using Charts::drawable;

Layout::Layout(const Night& night, QSizeF size, bool ticks)
    : scale{night, QRectF(QPointF(0, 0), size)}, ticks(ticks) {}

double Layout::levelY(PowerState state) const {
    // Asleep halfway down, screen on near the top.
    constexpr double fractions[] = {0.5, 0.34, 0.18, 0.02};
    return inset() + (scale.plot.height() - inset()) * fractions[level(state)];
}

QRectF Layout::areaRect(const Segment& segment) const {
    const double x0 = drawable(scale.x(segment.start));
    const double x1 = std::max(x0 + 1, drawable(scale.x(segment.end)));
    const double y = levelY(segment.state);
    return {x0, y, x1 - x0, scale.plot.height() - y};
}

std::vector<QPointF> Layout::stepLine() const {
    std::vector<QPointF> points;
    points.reserve(scale.night.segments.size() * 2);
    for (const Segment& segment : scale.night.segments) {
        const QRectF area = areaRect(segment);
        points.emplace_back(area.left(), area.top());
        points.emplace_back(area.right(), area.top());
    }
    return points;
}

std::vector<QLineF> Layout::darkMarks() const {
    std::vector<QLineF> marks;
    for (const Segment& segment : scale.night.segments)
        if (segment.state == PowerState::dark) {
            const double x = drawable(scale.x(segment.start));
            marks.emplace_back(x, levelY(PowerState::asleep), x, levelY(PowerState::dark));
        }
    return marks;
}

std::vector<QLineF> Layout::wakeTicks() const {
    std::vector<QLineF> marks;
    if (!ticks) return marks;
    for (const NightEvent& moment : scale.night.wakeMoments()) {
        const double x = drawable(scale.x(moment.date));
        marks.emplace_back(x, 0, x, 3.5);
    }
    return marks;
}

QRectF Layout::baseline() const {
    const double height = scale.plot.height();
    return {0, height - 0.5, scale.plot.width(), 0.5};
}

void paint(QPainter& painter, QSizeF size, const Night& night, bool ticks, const CanvasPalette& palette) {
    const Layout layout(night, size, ticks);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(layout.baseline(), palette.ruleStrong);
    for (const Segment& segment : night.segments)
        if (const std::optional<QColor> fill = stateStyle(segment.state, palette).miniFill)
            painter.fillRect(layout.areaRect(segment), *fill);

    const std::vector<QPointF> points = layout.stepLine();
    if (!points.empty()) {
        QPainterPath line;
        line.moveTo(points.front());
        for (std::size_t i = 1; i < points.size(); ++i)
            line.lineTo(points[i]);
        painter.strokePath(line, Shapes::pen(palette.ink2, 1));
    }
    painter.strokePath(Charts::pathOf(layout.darkMarks()), Shapes::pen(palette.rose, 1.5));
    painter.strokePath(Charts::pathOf(layout.wakeTicks()), Shapes::pen(palette.rose, 1.25));
    painter.restore();
}

} // namespace dormio::MiniHypnogram
