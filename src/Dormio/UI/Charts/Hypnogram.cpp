#include "Dormio/UI/Charts/Hypnogram.h"

#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/HypnogramLayout.h"
#include "Dormio/UI/Charts/ScrubReadout.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/StateStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace dormio::Hypnogram {

namespace {

using Charts::drawLabel;

const char* laneLabel(PowerState state) {
    switch (state) {
    case PowerState::asleep:
        return "ASLEEP";
    case PowerState::dark:
        return "DARK WAKE";
    case PowerState::awake:
        return "AWAKE\u00B7OFF";
    case PowerState::screenOn:
        return "SCREEN ON";
    }
    return "";
}

struct Fonts {
    Font lane = Charts::labelFont(9.5, QFont::Medium);
    Font hour = Charts::labelFont(9.5, QFont::Normal);
    Font small = Charts::labelFont(9, QFont::Normal); // wake moments and the battery's scale
    Font caption = Charts::labelFont(8.5, QFont::Medium);
};

const Fonts& fonts() {
    static const Fonts made;
    return made;
}

void paintLanes(QPainter& painter, const QRectF& plot, const CanvasPalette& palette) {
    QPen guide = Shapes::pen(palette.rule, 1);
    guide.setDashPattern({1, 3});
    for (PowerState state : PowerStates::allCases) {
        const qreal y = laneY(plot, state);
        painter.setPen(guide);
        painter.drawLine(QLineF(plot.left(), y, plot.right(), y));
        drawLabel(
            painter, fonts().lane, state == PowerState::asleep ? palette.ink2 : palette.ink3,
            {QString::fromUtf8(laneLabel(state)), {plot.left() - 12, y}, Charts::Anchor::trailingCentre});
        painter.setPen(Shapes::pen(palette.ruleStrong, 1));
        painter.drawLine(QLineF(plot.left() - 6, y, plot.left() - 1, y));
    }
}

void paintAxis(QPainter& painter, const NightScale& scale, qreal canvasWidth, const CanvasPalette& palette) {
    const QRectF& plot = scale.plot;
    const qreal axis = axisY(plot);
    painter.setPen(Shapes::pen(palette.ruleStrong, 1));
    painter.drawLine(QLineF(plot.left(), axis, plot.right(), axis));

    const std::vector<Date> hours = scale.hours();
    std::vector<QLineF> quarters;
    for (qreal x : quarterTicks(scale, hours))
        quarters.emplace_back(x, axis, x, axis + 3);
    painter.strokePath(Charts::pathOf(quarters), Shapes::pen(palette.ruleStrong, 1));

    for (const HourMark& mark : hourMarks(scale, hours, canvasWidth)) {
        painter.setPen(Shapes::pen(palette.rule, 1));
        painter.drawLine(QLineF(mark.x, plot.top(), mark.x, axis + 6));
        if (mark.label) drawLabel(painter, fonts().hour, palette.ink3, *mark.label);
    }
}

void paintStates(QPainter& painter, const NightScale& scale, const CanvasPalette& palette) {
    const std::vector<Segment>& segments = scale.night.segments;
    painter.setPen(Qt::NoPen);
    for (const Segment& segment : segments)
        if (const std::optional<QColor> fill = stateStyle(segment.state, palette).traceFill)
            painter.fillRect(areaRect(segment, scale), *fill);

    std::vector<QLineF> connectors;
    for (std::size_t i = 1; i < segments.size(); ++i)
        connectors.push_back(connector(segments[i - 1], segments[i], scale));
    painter.strokePath(Charts::pathOf(connectors), Shapes::pen(palette.ink2, 1));

    for (const Segment& segment : segments) {
        const StateStyle style = stateStyle(segment.state, palette);
        painter.setPen(Shapes::pen(style.line, style.lineWidth));
        painter.drawLine(stateLine(segment, scale));
        if (segment.state == PowerState::dark) {
            painter.setPen(Shapes::pen(palette.rose, 1.5));
            painter.drawLine(darkMark(segment, scale));
        }
    }
}

void paintWakeMoments(QPainter& painter, const NightScale& scale, qreal canvasWidth,
                      const CanvasPalette& palette) {
    std::vector<QLineF> ticks;
    for (const WakeMark& mark : wakeMarks(scale, canvasWidth)) {
        ticks.emplace_back(mark.x, scale.plot.top() - 9, mark.x, scale.plot.top() - 2);
        if (mark.label) drawLabel(painter, fonts().small, palette.ink2, *mark.label);
    }
    painter.strokePath(Charts::pathOf(ticks), Shapes::pen(palette.rose, 1.5));
}

void paintBattery(QPainter& painter, const NightScale& scale, const CanvasPalette& palette) {
    const std::optional<BatteryScale> battery = batteryScale(scale.night);
    if (!battery) return;
    const BatteryMarks marks = batteryMarks(scale, *battery);

    QPainterPath line;
    line.moveTo(marks.line.front());
    for (std::size_t i = 1; i < marks.line.size(); ++i)
        line.lineTo(marks.line[i]);
    QPen pen = Shapes::pen(palette.ink2, 1);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(line, pen);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.ink2);
    painter.drawEllipse(marks.line.back(), 2.5, 2.5);
    painter.setBrush(Qt::NoBrush);

    painter.setPen(Shapes::pen(palette.ruleStrong, 1));
    painter.drawLine(marks.bar);
    for (const Charts::ChartLabel& label : marks.scaleLabels)
        drawLabel(painter, fonts().small, palette.ink3, label);
    drawLabel(painter, fonts().caption, palette.ink3, marks.caption);
}

} // namespace

void paintStatic(QPainter& painter, QSizeF size, const Night& night, const CanvasPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const NightScale scale{night, plotRect(size, night.hasBattery)};
    paintLanes(painter, scale.plot, palette);
    paintAxis(painter, scale, size.width(), palette);
    paintStates(painter, scale, palette);
    paintWakeMoments(painter, scale, size.width(), palette);
    paintBattery(painter, scale, palette);
    painter.restore();
}

void paintCursor(QPainter& painter, QSizeF size, const Night& night, Date cursor,
                 const CanvasPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const NightScale scale{night, plotRect(size, night.hasBattery)};
    const ScrubReading reading(night, cursor);
    const CursorMarks marks = cursorMarks(scale, reading);
    painter.setPen(Shapes::pen(palette.ink, 1));
    painter.drawLine(marks.line);
    painter.setPen(Shapes::pen(stateStyle(reading.state, palette).line, 1.5));
    painter.setBrush(palette.card);
    painter.drawEllipse(marks.dot, 3.5, 3.5);
    painter.restore();
}

void paintReadout(QPainter& painter, QSizeF size, const Night& night, Date cursor,
                  const CanvasPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const NightScale scale{night, plotRect(size, night.hasBattery)};
    const ScrubReading reading(night, cursor);
    const ScrubReadout::Box box = ScrubReadout::layout(reading);
    const double cursorX = cursorMarks(scale, reading).line.x1();
    ScrubReadout::paint(painter, readoutOrigin(scale.plot, size.width(), cursorX, box.size.width()), box,
                        palette);
    painter.restore();
}

void paint(QPainter& painter, QSizeF size, const Night& night, std::optional<Date> cursor,
           const CanvasPalette& palette) {
    paintStatic(painter, size, night, palette);
    if (!cursor) return;
    paintCursor(painter, size, night, *cursor, palette);
    paintReadout(painter, size, night, *cursor, palette);
}

} // namespace dormio::Hypnogram
