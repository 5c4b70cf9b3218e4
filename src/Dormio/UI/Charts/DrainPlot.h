#pragma once

// The stem chart of the Battery page's overnight card: one stem per night as tall as the charge it lost,
// over a dotted percent grid with a dashed median, and a rose dot on a night that drained clearly more
// than usual.

#include "Dormio/UI/Charts/ChartLabel.h"
#include "Dormio/UI/Kit/CanvasPalette.h"
#include "Dormio/UI/Kit/Font.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/Night.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

namespace dormio::DrainPlot {

// What the plot needs of one night, worked out once when the nights change.
struct Drain {
    double points = 0; // percentage points lost, 0 when the night has no loss
    int day = 0;       // the day of the month the night started, on the user's calendar

    bool operator==(const Drain&) const = default;
};
std::vector<Drain> drains(const std::vector<Night>& nights, const Calendar& calendar = Calendar::current());

// The grid's top: a multiple of 5, at least 10.
double top(const std::vector<Drain>& drains);
// The middle drain, the upper of the two middle ones for an even count; 0 for none.
double median(const std::vector<Drain>& drains);
// A drain above this gets the rose dot: half as much again as the median, and at least 5.
double threshold(double median);

struct GridLine {
    QLineF line;
    bool baseline = false; // the solid line at 0; the others are dotted
    Charts::ChartLabel label;
};

struct Stem {
    QLineF line;
    QRectF dot;
    bool high = false;
    std::optional<Charts::ChartLabel> day; // only while the plot holds at most 14 nights
};

struct Geometry {
    QRectF plot;
    std::vector<GridLine> grid;
    QLineF medianLine;
    Charts::ChartLabel medianLabel;
    std::vector<Stem> stems;
};

Geometry geometry(const std::vector<Drain>& drains, QSizeF size);

const Font& font(); // 9 px monospaced, for every text of the plot

void paint(QPainter& painter, QSizeF size, const std::vector<Drain>& drains, const CanvasPalette& palette);

// For assistive technology: "3 percent, 12 percent".
QString accessibleValue(const std::vector<Drain>& drains);

} // namespace dormio::DrainPlot
