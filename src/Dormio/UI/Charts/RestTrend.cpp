#include "Dormio/UI/Charts/RestTrend.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Kit/Shapes.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>

namespace dormio::RestTrend {

std::optional<Geometry> geometry(const std::vector<int64_t>& scores, QSizeF size) {
    if (scores.size() < 2) return std::nullopt;
    const double w = size.width(), h = size.height();
    const double last = double(scores.size() - 1);
    Geometry geometry;
    geometry.midline = QLineF(0, h / 2, w, h / 2);
    geometry.points.reserve(scores.size());
    for (std::size_t i = 0; i < scores.size(); ++i) {
        const double x = 3 + (w - 6) * double(i) / last;
        const double y = 3 + (h - 6) * (1 - double(scores[i]) / 100);
        geometry.points.emplace_back(x, Charts::drawable(y));
    }
    const QPointF end = geometry.points.back();
    geometry.lastDot = QRectF(end.x() - 2.5, end.y() - 2.5, 5, 5);
    return geometry;
}

void paint(QPainter& painter, QSizeF size, const std::vector<int64_t>& scores, const CanvasPalette& palette) {
    const std::optional<Geometry> trend = geometry(scores, size);
    if (!trend) return;

    QPen dotted = Shapes::pen(palette.rule, 1);
    dotted.setDashPattern({1, 3});
    painter.setPen(dotted);
    painter.drawLine(trend->midline);

    QPen line = Shapes::pen(palette.ink2, 1.25);
    line.setJoinStyle(Qt::RoundJoin);
    QPainterPath path(trend->points.front());
    for (std::size_t i = 1; i < trend->points.size(); ++i)
        path.lineTo(trend->points[i]);
    painter.strokePath(path, line);

    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.indigo);
    painter.drawEllipse(trend->lastDot);
}

QString accessibleValue(const std::vector<int64_t>& scores) {
    QStringList parts;
    for (int64_t score : scores)
        parts << QString::number(score);
    return parts.join(QStringLiteral(", "));
}

} // namespace dormio::RestTrend
