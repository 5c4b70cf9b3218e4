#include "Dormio/UI/Charts/DrainPlot.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/ClockMarks.h"
#include "Dormio/UI/Kit/Shapes.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace dormio::DrainPlot {

using Charts::Anchor;
using Charts::ChartLabel;

namespace {

// The day of the month in a "yyyy-MM-dd" day id.
int dayOfMonth(const std::string& dayID) {
    const auto dash = dayID.rfind('-');
    return dash == std::string::npos ? 0 : std::atoi(dayID.c_str() + dash + 1);
}

QString wholePercent(double value) {
    return QString::number(qint64(std::llround(Charts::drawable(value)))) + QStringLiteral("%");
}

} // namespace

std::vector<Drain> drains(const std::vector<Night>& nights, const Calendar& calendar) {
    std::vector<Drain> drains;
    drains.reserve(nights.size());
    for (const Night& night : nights)
        drains.push_back(Drain{double(night.lost().value_or(0)), dayOfMonth(calendar.dayID(night.start))});
    return drains;
}

double top(const std::vector<Drain>& drains) {
    double largest = 0;
    for (const Drain& drain : drains)
        largest = std::max(largest, drain.points);
    return std::max(10.0, std::ceil(largest / 5) * 5);
}

double median(const std::vector<Drain>& drains) {
    if (drains.empty()) return 0;
    std::vector<double> sorted;
    sorted.reserve(drains.size());
    for (const Drain& drain : drains)
        sorted.push_back(drain.points);
    const auto middle = sorted.begin() + std::ptrdiff_t(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return *middle;
}

double threshold(double median) {
    return std::max(1.5 * median, 5.0);
}

Geometry geometry(const std::vector<Drain>& drains, QSizeF size) {
    Geometry geometry;
    const QRectF plot(34, 8, size.width() - 42, size.height() - 28);
    geometry.plot = plot;
    const double gridTop = top(drains);
    const auto y = [&](double v) { return Charts::drawable(plot.bottom() - v / gridTop * plot.height()); };

    // Bounded like every axis: a damaged night that lost billions of points still draws in finite time.
    for (const Date step : Charts::steps(Date{0}, Date{0}, Date{gridTop}, 5)) {
        const double v = step.seconds;
        geometry.grid.push_back(
            GridLine{QLineF(plot.left(), y(v), plot.right(), y(v)), v == 0,
                     ChartLabel{wholePercent(v), QPointF(plot.left() - 6, y(v)), Anchor::trailingCentre}});
    }

    const double middle = median(drains);
    const double slot = plot.width() / double(std::max<std::size_t>(drains.size(), 1));
    geometry.medianLine = QLineF(plot.left(), y(middle), plot.right(), y(middle));
    const QString medianText = QStringLiteral("median ") + wholePercent(middle);
    // The last night's stem would cross the label at the plot's end: the label ends before the last slot
    // wherever it fits there.
    const double labelWidth = 6.0 * double(medianText.size());
    const double end = !drains.empty() && plot.right() - slot - labelWidth >= plot.left()
                           ? plot.right() - slot
                           : plot.right();
    geometry.medianLabel = ChartLabel{medianText, QPointF(end, y(middle) - 3), Anchor::bottomTrailing};

    const double high = threshold(middle);
    const bool days = drains.size() <= 14;
    for (std::size_t i = 0; i < drains.size(); ++i) {
        const double x = plot.left() + slot * (double(i) + 0.5);
        const double top = y(drains[i].points);
        Stem stem{QLineF(x, plot.bottom(), x, top), QRectF(x - 3.5, top - 3.5, 7, 7), drains[i].points > high,
                  std::nullopt};
        if (days)
            stem.day =
                ChartLabel{QString::number(drains[i].day), QPointF(x, plot.bottom() + 5), Anchor::topCentre};
        geometry.stems.push_back(std::move(stem));
    }
    return geometry;
}

const Font& font() {
    static const Font face = Charts::labelFont(9, QFont::Normal);
    return face;
}

void paint(QPainter& painter, QSizeF size, const std::vector<Drain>& drains, const CanvasPalette& palette) {
    const Geometry plot = geometry(drains, size);

    QPen dotted = Shapes::pen(palette.rule, 1);
    dotted.setDashPattern({1, 3});
    for (const GridLine& grid : plot.grid) {
        painter.setPen(grid.baseline ? Shapes::pen(palette.ruleStrong, 1) : dotted);
        painter.drawLine(grid.line);
        Charts::drawLabel(painter, font(), palette.ink3, grid.label);
    }

    QPen dashed = Shapes::pen(faded(palette.indigo, 0.6), 1);
    dashed.setDashPattern({4, 3});
    painter.setPen(dashed);
    painter.drawLine(plot.medianLine);
    Charts::drawLabel(painter, font(), palette.indigo, plot.medianLabel);

    for (const Stem& stem : plot.stems) {
        painter.setPen(Shapes::pen(palette.ruleStrong, 1));
        painter.drawLine(stem.line);
        painter.setPen(Qt::NoPen);
        painter.setBrush(stem.high ? palette.rose : palette.ink);
        painter.drawEllipse(stem.dot);
        if (stem.day) Charts::drawLabel(painter, font(), palette.ink3, *stem.day);
    }
}

QString accessibleValue(const std::vector<Drain>& drains) {
    QStringList parts;
    for (const Drain& drain : drains)
        parts << QString::number(qint64(std::llround(Charts::drawable(drain.points)))) +
                     QStringLiteral(" percent");
    return parts.join(QStringLiteral(", "));
}

} // namespace dormio::DrainPlot
