#pragma once

// How each power state is coloured wherever a night is drawn or named, in one table, so that the trace,
// the mini trace, the actogram, the readout, the legends and the tour's samples always agree. Each place
// shows the state at its own strength: a light wash under the trace, a fuller one in the small charts.

#include "Dormio/UI/Kit/CanvasPalette.h"
#include "DormioKit/PowerLog.h"

#include <QColor>
#include <optional>

namespace dormio {

struct StateStyle {
    // The state named in words and swatches: the readout's state word, the legends, a moment's mark.
    QColor key;
    // The night trace's state line, and the ring of its cursor's dot on the state's lane.
    QColor line;
    qreal lineWidth = 1;
    // The areas and bars; a dark wake has none, so the ground shows through.
    std::optional<QColor> traceFill; // under the night trace's line
    std::optional<QColor> miniFill;  // under the mini trace's step line
    std::optional<QColor> bar;       // the actogram's bar, and its legend's swatch
};

StateStyle stateStyle(PowerState state, const CanvasPalette& palette);

// Colours of the table for the widgets, which resolve a colour in the app's appearance as they paint.
// The state's key.
DynamicColor stateKey(PowerState state);
// The actogram legend's swatch: the state's bar, or for a dark wake, which has no bar, its key.
DynamicColor stateSwatch(PowerState state);

} // namespace dormio
