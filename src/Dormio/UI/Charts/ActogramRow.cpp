#include "Dormio/UI/Charts/ActogramRow.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/StateStyle.h"

#include <QPainter>

namespace dormio::ActogramRow {

using Charts::drawable;

double Layout::x(Date date) const {
    return drawable(size.width() * (date - night.start) / Charts::atLeastOneSecond(span));
}

QRectF Layout::bar(const Segment& segment) const {
    const double x0 = x(segment.start);
    const double x1 = std::max(x0 + 0.75, x(segment.end));
    return {x0, 0, x1 - x0, size.height()};
}

std::vector<QLineF> Layout::darkWakeMarks() const {
    std::vector<QLineF> marks;
    for (const NightEvent& moment : night.wakeMoments())
        if (moment.kind == NightEvent::Kind::darkWake)
            marks.emplace_back(x(moment.date), 0, x(moment.date), size.height());
    return marks;
}

std::optional<QLineF> Layout::endLine() const {
    if (!night.inProgress) return std::nullopt;
    return QLineF(x(night.end), 0, x(night.end), size.height());
}

QRectF Layout::outline() const {
    return QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
}

void paint(QPainter& painter, QSizeF size, const Night& night, double span, bool highlighted,
           const CanvasPalette& palette) {
    const Layout row{night, span, size};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), faded(palette.rule, 0.6));
    for (const Segment& segment : night.segments)
        if (const std::optional<QColor> color = stateStyle(segment.state, palette).bar)
            painter.fillRect(row.bar(segment), *color);
    painter.strokePath(Charts::pathOf(row.darkWakeMarks()), Shapes::pen(palette.darkWakeMark, 1.5));
    if (const std::optional<QLineF> end = row.endLine()) {
        QPen dashed = Shapes::pen(palette.ink, 1);
        dashed.setDashPattern({2, 2});
        painter.setPen(dashed);
        painter.drawLine(*end);
    }
    if (highlighted) {
        painter.setPen(Shapes::pen(palette.ink, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(row.outline());
    }
    painter.restore();
}

} // namespace dormio::ActogramRow
