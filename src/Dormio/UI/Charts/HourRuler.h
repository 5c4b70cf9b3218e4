#pragma once

// The clock-hour scale over the actogram's bars: a tick at every whole hour of the user's wall clock and
// a clock label at every second tick, where it fits.

#include "Dormio/UI/Charts/ChartLabel.h"
#include "Dormio/UI/Kit/CanvasPalette.h"
#include "Dormio/UI/Kit/Font.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"

#include <QLineF>
#include <QSizeF>
#include <optional>
#include <vector>

class QPainter;

namespace dormio::HourRuler {

struct Tick {
    Date at;
    QLineF line;
    std::optional<Charts::ChartLabel> label;
};

// The ticks of a ruler of `size` whose left edge stands for `start` and whose width for `span` seconds.
// The first is the first whole hour at or after `start` on the calendar's wall clock (across a change of
// the clock or in a zone off UTC by half an hour); the others follow every 3600 s up to the end. A span
// under a second is drawn as one second long.
std::vector<Tick> ticks(Date start, double span, QSizeF size, const Calendar& calendar = Calendar::current());

const Font& font(); // the labels' 9.5 px monospaced face

void paint(QPainter& painter, QSizeF size, Date start, double span, const CanvasPalette& palette);

} // namespace dormio::HourRuler
