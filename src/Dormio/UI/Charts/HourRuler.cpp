#include "Dormio/UI/Charts/HourRuler.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/ClockMarks.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "DormioKit/Fmt.h"

#include <QPainter>

namespace dormio::HourRuler {

using Charts::Anchor;
using Charts::ChartLabel;

namespace {

// Where a tick's label goes: centred over the tick when it fits, against an edge when the tick is within
// 6 points of it, else nowhere.
std::optional<ChartLabel> labelAt(double x, Date t, QSizeF size) {
    const std::string text = Fmt::clockTime(t);
    const double half = 3.0 * double(Charts::characterCount(text));
    const QPointF at(x, size.height() - 6);
    const QString shown = QString::fromStdString(text);
    if (x - half >= 0 && x + half <= size.width()) return ChartLabel{shown, at, Anchor::bottomCentre};
    if (x < 6) return ChartLabel{shown, at, Anchor::bottomLeading};
    if (x > size.width() - 6) return ChartLabel{shown, at, Anchor::bottomTrailing};
    return std::nullopt;
}

} // namespace

std::vector<Tick> ticks(Date start, double span, QSizeF size, const Calendar& calendar) {
    // Searching from a second before makes a start that falls on the hour its own first tick.
    const std::optional<Date> first = Charts::nextWholeHour(calendar, start - 1);
    if (!first) return {};
    const double width = Charts::atLeastOneSecond(span);
    const double h = size.height();
    std::vector<Tick> ticks;
    const std::vector<Date> hours = Charts::steps(*first, *first, start + span, 3600);
    ticks.reserve(hours.size());
    for (std::size_t i = 0; i < hours.size(); ++i) {
        const double x = Charts::drawable(size.width() * (hours[i] - start) / width);
        Tick tick{hours[i], QLineF(x, h - 4, x, h), std::nullopt};
        if (i % 2 == 0) tick.label = labelAt(x, hours[i], size);
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

const Font& font() {
    static const Font face = Charts::labelFont(9.5, QFont::Normal);
    return face;
}

void paint(QPainter& painter, QSizeF size, Date start, double span, const CanvasPalette& palette) {
    const std::vector<Tick> marks = ticks(start, span, size);
    std::vector<QLineF> lines;
    lines.reserve(marks.size());
    for (const Tick& tick : marks) {
        lines.push_back(tick.line);
        if (tick.label) Charts::drawLabel(painter, font(), palette.ink3, *tick.label);
    }
    painter.strokePath(Charts::pathOf(lines), Shapes::pen(palette.ruleStrong, 1));
}

} // namespace dormio::HourRuler
