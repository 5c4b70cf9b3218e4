#pragma once

// The small box beside the night trace's cursor that tells in words what the trace shows there: the clock
// time, the state, the charge and, when a moment explains the instant, that moment and who held the Mac up.
// It draws with the Theme's type and tones, taken from the palette of the trace it floats over, so that it
// matches the trace whatever appearance the rest of the app shows.

#include "Dormio/UI/Charts/ScrubReading.h"
#include "Dormio/UI/Kit/CanvasPalette.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <optional>

class QPainter;

namespace dormio::ScrubReadout {

struct Text {
    QString time;
    QString state;                 // the state's label in capitals
    std::optional<QString> charge; // only with battery data
    std::optional<QString> event;  // the moment's label
    std::optional<QString> holder; // who scheduled the wake, else who held the Mac up

    bool operator==(const Text&) const = default;
};

Text text(const ScrubReading& reading);

// The box laid out at its ideal size, which it always keeps.
struct Box {
    Text text;
    PowerState state = PowerState::asleep;
    QString holderShown; // the holder cut in the middle to fit its 260 points
    QSizeF size;
};

Box layout(const ScrubReading& reading);
void paint(QPainter& painter, QPointF topLeft, const Box& box, const CanvasPalette& palette);

} // namespace dormio::ScrubReadout
