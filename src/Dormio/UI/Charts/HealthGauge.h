#pragma once

// The linear gauge under the Battery page's big figure: a scale with ticks and a needle at a whole
// percent. Calibrated, it is the health scale from 50 to 100 with four zones whose borders are the
// thresholds of the health word; otherwise the plain charge scale from 0 to 100.

#include "Dormio/UI/Charts/ChartLabel.h"
#include "Dormio/UI/Kit/CanvasPalette.h"
#include "Dormio/UI/Kit/Font.h"

#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;

namespace dormio::HealthGauge {

// The zones' names and the middle of each zone on the scale: service 50–70, worn 70–80, good 80–90,
// like new 90–100. Drawn as they stand, not translated.
struct Zone {
    const char* label;
    int position;
};
inline constexpr Zone zones[] = {{"SERVICE", 60}, {"WORN", 75}, {"GOOD", 85}, {"LIKE NEW", 95}};

struct Geometry {
    // Calibrated only: the service and worn zones, their fills' opacities, the separators between zones
    // and the zone names.
    std::vector<QRectF> zoneFills;
    std::vector<double> zoneOpacities;
    std::vector<QLineF> separators;
    std::vector<Charts::ChartLabel> zoneLabels;

    QLineF baseline;
    std::vector<QLineF> ticks; // long at every 10, middle at every 5, short elsewhere
    std::vector<Charts::ChartLabel> tickLabels;
    QLineF needle;
    QPolygonF pointer; // the triangle whose tip touches the needle's top
};

// The scale's lowest value: 50 calibrated, else 0.
int low(bool calibrated);
// Where a value lies on a gauge `width` wide: the scale runs from 12 to width − 12; values outside it are
// held at its ends.
double x(double value, bool calibrated, double width);

Geometry geometry(int64_t value, bool calibrated, double width);

const Font& tickFont(); // 9.5 px monospaced
const Font& zoneFont(); // 8.5 px medium monospaced

void paint(QPainter& painter, QSizeF size, int64_t value, bool calibrated, const CanvasPalette& palette);

// For assistive technology: "Battery health" or "Battery charge", and "83 percent".
QString accessibleLabel(bool calibrated);
QString accessibleValue(int64_t value);

} // namespace dormio::HealthGauge
