#pragma once

// The mini trace: a night as a small step line over the four states, filled below, with marks at its dark
// wakes and, when asked, ticks at its wake moments in a strip along the top.

#include "Dormio/UI/Charts/NightScale.h"
#include "Dormio/UI/Kit/CanvasPalette.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

class QPainter;

namespace dormio::MiniHypnogram {

// The trace on a canvas of `size`: the night spans the whole width; with ticks, the levels leave the top
// 6 points to them.
struct Layout {
    NightScale scale;
    bool ticks = false;

    Layout(const Night& night, QSizeF size, bool ticks);

    double inset() const { return ticks ? 6 : 0; }
    double levelY(PowerState state) const;
    // The area from a segment's level down to the bottom edge, at least 1 point wide.
    QRectF areaRect(const Segment& segment) const;
    // The step line through every segment's level, rising and falling at the segments' starts.
    std::vector<QPointF> stepLine() const;
    // At the start of each dark segment, a mark from the asleep level up to the dark level.
    std::vector<QLineF> darkMarks() const;
    // With ticks, one at each wake moment, whatever its kind; without, none.
    std::vector<QLineF> wakeTicks() const;
    QRectF baseline() const;
};

// Baseline, area fills, step line, dark marks and ticks, from the bottom up.
void paint(QPainter& painter, QSizeF size, const Night& night, bool ticks, const CanvasPalette& palette);

} // namespace dormio::MiniHypnogram
