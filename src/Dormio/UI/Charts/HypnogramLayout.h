#pragma once

// Where everything of the night trace goes: the plot within the view, the four lanes, the hour axis, the
// wake moments, the battery line, the cursor and the readout beside it. Pure geometry in points, y down;
// the painter and the widget both take it from here.

#include "Dormio/UI/Charts/ChartLabel.h"
#include "Dormio/UI/Charts/NightScale.h"
#include "Dormio/UI/Charts/ScrubReading.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <cstdint>
#include <optional>
#include <vector>

namespace dormio::Hypnogram {

// Margins around the plot. The right one leaves room for the battery's scale when there is one.
inline constexpr double left = 96;
inline constexpr double top = 28;
inline constexpr double bottom = 26;
inline constexpr double rightWithBattery = 46;
inline constexpr double rightWithoutBattery = 14;

// The plot within a view of `view` size; never narrower than 10 points nor lower than 40.
QRectF plotRect(QSizeF view, bool hasBattery);
// Each state has a lane a quarter of the plot high; asleep at the bottom, screen on at the top.
double laneHeight(const QRectF& plot);
double laneY(const QRectF& plot, PowerState state);
double axisY(const QRectF& plot);

// The pointer scrubs while it is over the plot, or up to 2 points beside it, or within a margin's height
// above or below it.
bool inHoverZone(const QRectF& plot, QPointF point);
// A date within 4 points of a wake moment moves to one second after that moment (the nearest, the earlier
// on a tie), so that the cursor reads the moment rather than the instant before it.
Date snap(Date date, const NightScale& scale);
// The cursor's date: the pointer's, held within the night and snapped, while it hovers; else the date the
// caller asks to show, as it is; else none.
std::optional<Date> cursorDate(std::optional<double> hoverX, std::optional<Date> scrub,
                               const NightScale& scale);

// Every whole hour has a grid line; labels go to every hour, every second or every third one, as their
// spacing allows.
struct HourMark {
    double x = 0;
    std::optional<Charts::ChartLabel> label;
};
int labelStride(double hourSpacing);
std::vector<HourMark> hourMarks(const NightScale& scale, const std::vector<Date>& hours, double canvasWidth);
// The x of each quarter-hour tick.
std::vector<double> quarterTicks(const NightScale& scale, const std::vector<Date>& hours);

// Every wake moment has a tick above the plot; its clock label is left out when it would crowd the
// previous label or pass the canvas's right edge.
struct WakeMark {
    double x = 0;
    std::optional<Charts::ChartLabel> label;
};
std::vector<WakeMark> wakeMarks(const NightScale& scale, double canvasWidth);

// The state drawn for one segment: the area under it, its stretch of the state line, the connector from
// the previous segment's lane and, for a dark wake, the mark that rises from the asleep lane.
QRectF areaRect(const Segment& segment, const NightScale& scale);
QLineF stateLine(const Segment& segment, const NightScale& scale);
QLineF connector(const Segment& previous, const Segment& segment, const NightScale& scale);
QLineF darkMark(const Segment& segment, const NightScale& scale);

// The battery's own percent scale, in steps of 5, at least 10 points tall and topping out at 100 (for
// readings from 0 to 100, as batteries report them, it lies within 0 to 100).
struct BatteryScale {
    int64_t lo = 0;
    int64_t hi = 0;

    // The y of a charge: the scale spans the plot from 5 % of its height above the bottom to 5 % below
    // the top.
    double y(double charge, const QRectF& plot) const;
};
// None when the night has no battery or fewer than two readings: a single reading makes no line.
std::optional<BatteryScale> batteryScale(const Night& night);

struct BatteryMarks {
    std::vector<QPointF> line;                   // the readings, in order; the last carries the end dot
    QLineF bar;                                  // the scale bar right of the plot
    std::vector<Charts::ChartLabel> scaleLabels; // hi, then lo
    Charts::ChartLabel caption;
};
BatteryMarks batteryMarks(const NightScale& scale, const BatteryScale& battery);

// The cursor: a line across the plot and the axis, and a dot on the lane of the state it reads.
struct CursorMarks {
    QLineF line;
    QPointF dot;
};
CursorMarks cursorMarks(const NightScale& scale, const ScrubReading& reading);

// The readout's top-left corner: beside the cursor, right of it unless it would pass the plot's right
// end, never left of the plot, never past the view's right edge.
QPointF readoutOrigin(const QRectF& plot, double viewWidth, double cursorX, double boxWidth);

} // namespace dormio::Hypnogram
