#include "Dormio/UI/Charts/ActogramRow.h"

#include "Dormio/UI/Charts/ChartGeometry.h"

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

} // namespace dormio::ActogramRow
