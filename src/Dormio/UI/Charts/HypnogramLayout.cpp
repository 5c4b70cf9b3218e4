#include "Dormio/UI/Charts/HypnogramLayout.h"

#include "Dormio/UI/Charts/ChartGeometry.h"
#include "DormioKit/Fmt.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dormio::Hypnogram {

using Charts::Anchor;
using Charts::ChartLabel;
using Charts::drawable;

namespace {

// The x of a date, as the painter may take it.
double xOf(const NightScale& scale, Date date) {
    return drawable(scale.x(date));
}

// A label's half width as the charts guess it before a font is at hand.
double halfWidth(const std::string& text, double pointsPerCharacter) {
    return double(Charts::characterCount(text)) * pointsPerCharacter;
}

} // namespace

QRectF plotRect(QSizeF view, bool hasBattery) {
    const double right = hasBattery ? rightWithBattery : rightWithoutBattery;
    return {left, top, std::max(view.width() - left - right, 10.0),
            std::max(view.height() - top - bottom, 40.0)};
}

double laneHeight(const QRectF& plot) {
    return plot.height() * 0.25;
}

double laneY(const QRectF& plot, PowerState state) {
    return plot.bottom() - (level(state) + 0.5) * laneHeight(plot);
}

double axisY(const QRectF& plot) {
    return plot.bottom() + 1;
}

bool inHoverZone(const QRectF& plot, QPointF point) {
    const QRectF zone = plot.adjusted(-2, -top, 2, top);
    // As a rectangle holds a point: its left and top edges belong to it, its right and bottom ones do not.
    return point.x() >= zone.left() && point.x() < zone.right() && point.y() >= zone.top() &&
           point.y() < zone.bottom();
}

Date snap(Date date, const NightScale& scale) {
    constexpr double reach = 4;
    const double x = scale.x(date);
    std::optional<Date> nearest;
    double nearestDistance = 0;
    for (const NightEvent& moment : scale.night.wakeMoments()) {
        const double distance = std::abs(scale.x(moment.date) - x);
        if (!nearest || distance < nearestDistance) {
            nearest = moment.date;
            nearestDistance = distance;
        }
    }
    if (nearest && nearestDistance <= reach) return *nearest + 1;
    return date;
}

std::optional<Date> cursorDate(std::optional<double> hoverX, std::optional<Date> scrub,
                               const NightScale& scale) {
    if (!hoverX) return scrub;
    double fraction = (*hoverX - scale.plot.left()) / std::max(scale.plot.width(), 1.0);
    fraction = fraction > 0 ? std::min(fraction, 1.0) : 0; // also holds a fraction that is not a number
    return snap(scale.night.start + scale.night.duration() * fraction, scale);
}

int labelStride(double hourSpacing) {
    if (hourSpacing >= 64) return 1;
    if (hourSpacing >= 46) return 2;
    return 3;
}

std::vector<HourMark> hourMarks(const NightScale& scale, const std::vector<Date>& hours, double canvasWidth) {
    const double spacing = hours.size() >= 2 ? scale.x(hours[1]) - scale.x(hours[0]) : 100;
    const std::size_t stride = std::size_t(labelStride(spacing));
    const double labelY = axisY(scale.plot) + 9;
    std::vector<HourMark> marks;
    marks.reserve(hours.size());
    for (std::size_t i = 0; i < hours.size(); ++i) {
        HourMark mark{xOf(scale, hours[i]), std::nullopt};
        if (i % stride == 0) {
            const std::string text = Fmt::clockTime(hours[i]);
            // A label that would pass the right edge is drawn ending there instead.
            const bool passes = mark.x + halfWidth(text, 3) > canvasWidth;
            mark.label = ChartLabel{QString::fromStdString(text),
                                    {std::min(mark.x, canvasWidth - 1), labelY},
                                    passes ? Anchor::topTrailing : Anchor::topCentre};
        }
        marks.push_back(std::move(mark));
    }
    return marks;
}

std::vector<double> quarterTicks(const NightScale& scale, const std::vector<Date>& hours) {
    std::vector<double> ticks;
    for (Date tick : scale.quarterHours(hours))
        ticks.push_back(xOf(scale, tick));
    return ticks;
}

std::vector<WakeMark> wakeMarks(const NightScale& scale, double canvasWidth) {
    constexpr double gap = 6;
    const double labelY = scale.plot.top() - 12;
    double lastRight = -std::numeric_limits<double>::infinity();
    std::vector<WakeMark> marks;
    for (const NightEvent& moment : scale.night.wakeMoments()) {
        WakeMark mark{xOf(scale, moment.date), std::nullopt};
        const std::string text = Fmt::clockTime(moment.date);
        const double half = halfWidth(text, 3);
        const bool crowds = lastRight + gap >= mark.x - half;
        const bool passes = mark.x + half > canvasWidth;
        if (!crowds && !passes) {
            mark.label = ChartLabel{QString::fromStdString(text), {mark.x, labelY}, Anchor::bottomCentre};
            lastRight = mark.x + half;
        }
        marks.push_back(std::move(mark));
    }
    return marks;
}

QRectF areaRect(const Segment& segment, const NightScale& scale) {
    const double x0 = xOf(scale, segment.start);
    const double x1 = std::max(xOf(scale, segment.end), x0 + 0.75);
    const double y = laneY(scale.plot, segment.state);
    return {x0, y, x1 - x0, scale.plot.bottom() - y};
}

QLineF stateLine(const Segment& segment, const NightScale& scale) {
    const double x0 = xOf(scale, segment.start);
    const double x1 = std::max(xOf(scale, segment.end), x0 + 1.5);
    const double y = laneY(scale.plot, segment.state);
    return {x0, y, x1, y};
}

QLineF connector(const Segment& previous, const Segment& segment, const NightScale& scale) {
    const double x = xOf(scale, segment.start);
    return {x, laneY(scale.plot, previous.state), x, laneY(scale.plot, segment.state)};
}

QLineF darkMark(const Segment& segment, const NightScale& scale) {
    const double x = xOf(scale, segment.start);
    return {x, laneY(scale.plot, PowerState::asleep), x, laneY(scale.plot, PowerState::dark)};
}

double BatteryScale::y(double charge, const QRectF& plot) const {
    const double margin = 0.2 * laneHeight(plot);
    const double span = std::max(double(hi - lo), 1.0);
    return drawable((plot.bottom() - margin) - (plot.height() - 2 * margin) * (charge - double(lo)) / span);
}

std::optional<BatteryScale> batteryScale(const Night& night) {
    if (!night.hasBattery || night.battery.size() < 2) return std::nullopt;
    const auto [lowest, highest] =
        std::minmax_element(night.battery.begin(), night.battery.end(),
                            [](const BatteryPoint& a, const BatteryPoint& b) { return a.charge < b.charge; });
    // A reading far outside 0 to 100 is damaged; held within these bounds it cannot overflow the steps
    // below.
    constexpr int64_t bound = 1'000'000;
    const int64_t low = std::clamp<int64_t>(lowest->charge, -bound, bound);
    const int64_t high = std::clamp<int64_t>(highest->charge, -bound, bound);
    // Whole steps of 5, the division truncating toward zero.
    BatteryScale scale{(low - 2) / 5 * 5, (high + 4) / 5 * 5};
    if (scale.hi - scale.lo < 10) scale.lo = std::max<int64_t>(scale.hi - 10, 0);
    scale.hi = std::min<int64_t>(std::max(scale.lo + 10, scale.hi), 100);
    return scale;
}

BatteryMarks batteryMarks(const NightScale& scale, const BatteryScale& battery) {
    const QRectF& plot = scale.plot;
    BatteryMarks marks;
    marks.line.reserve(scale.night.battery.size());
    for (const BatteryPoint& point : scale.night.battery)
        marks.line.emplace_back(xOf(scale, point.date), battery.y(double(point.charge), plot));
    const double barX = plot.right() + 6;
    marks.bar = QLineF(barX, battery.y(double(battery.hi), plot), barX, battery.y(double(battery.lo), plot));
    for (int64_t value : {battery.hi, battery.lo})
        marks.scaleLabels.push_back(ChartLabel{QString::number(value) + QLatin1Char('%'),
                                               {plot.right() + 10, battery.y(double(value), plot)},
                                               Anchor::leadingCentre});
    marks.caption =
        ChartLabel{QStringLiteral("BATT"), {plot.right() + 10, plot.top() - 12}, Anchor::bottomLeading};
    return marks;
}

CursorMarks cursorMarks(const NightScale& scale, const ScrubReading& reading) {
    const double x = xOf(scale, reading.date);
    return {QLineF(x, scale.plot.top() - 2, x, axisY(scale.plot) + 6),
            QPointF(x, laneY(scale.plot, reading.state))};
}

QPointF readoutOrigin(const QRectF& plot, double viewWidth, double cursorX, double boxWidth) {
    constexpr double gap = 10;
    double leading = cursorX + gap;
    if (plot.right() < cursorX + gap + boxWidth) leading = cursorX - gap - boxWidth;
    if (leading <= plot.left()) leading = plot.left();
    if (viewWidth - boxWidth < leading) leading = viewWidth - boxWidth;
    return {leading, plot.top() + 6};
}

} // namespace dormio::Hypnogram
