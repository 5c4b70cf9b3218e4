#pragma once

// One night as a row of the actogram: coloured bars on a time axis that every row shares, dark-wake marks,
// a dashed end for a night still going, and an outline when the row is highlighted.

#include "Dormio/UI/Kit/CanvasPalette.h"
#include "DormioKit/Night.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

class QPainter;

namespace dormio::ActogramRow {

// A row of `size` whose full width stands for `span` seconds from the night's own start, so that equal
// times after their starts line up down the actogram.
struct Layout {
    const Night& night;
    double span = 0;
    QSizeF size;

    double x(Date date) const;
    // A full-height bar for a segment, at least 0.75 point wide.
    QRectF bar(const Segment& segment) const;
    // A full-height mark at each dark wake; wake moments of other kinds get none.
    std::vector<QLineF> darkWakeMarks() const;
    // The dashed line at the night's end, only while the night is in progress.
    std::optional<QLineF> endLine() const;
    // The highlight's outline, inside the row's edge.
    QRectF outline() const;
};

// Background, bars, dark-wake marks, the end line and the outline, from the bottom up.
void paint(QPainter& painter, QSizeF size, const Night& night, double span, bool highlighted,
           const CanvasPalette& palette);

} // namespace dormio::ActogramRow
