#pragma once

// The sparkline of the shown nights' rest scores beside the History page's figures: a dotted midline at
// a score of 50, the scores joined oldest to newest, and the newest marked with a dot.

#include "Dormio/UI/Kit/CanvasPalette.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace dormio::RestTrend {

struct Geometry {
    QLineF midline;
    std::vector<QPointF> points; // oldest first
    QRectF lastDot;
};

// None for fewer than two scores: a single score makes no trend, and nothing at all is drawn. Scores are
// not clamped: one above 100 or below 0 lies outside the 3-point inset.
std::optional<Geometry> geometry(const std::vector<int64_t>& scores, QSizeF size);

void paint(QPainter& painter, QSizeF size, const std::vector<int64_t>& scores, const CanvasPalette& palette);

// For assistive technology: "82, 75, 91".
QString accessibleValue(const std::vector<int64_t>& scores);

} // namespace dormio::RestTrend
