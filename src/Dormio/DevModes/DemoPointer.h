#pragma once

// The recorded pointer on the demo window: clicks on the views' demo anchors, and sweeps along the night
// trace while the trace's cursor follows.

#include "DormioKit/Night.h"
#include "OstrelKit/Capture/DemoRecorder.h"
#include "OstrelKit/Capture/Step.h"

#include <QPointF>
#include <QString>
#include <optional>

class QWidget;

namespace dormio {

class KitClock;
class Store;

namespace DemoPointer {

// Lays the window out first, so the anchors hold their current places when the click looks one up.
Step tap(DemoRecorder& recorder, QWidget& window, QString anchor, double duration);

// The point of the night trace at a fraction of its width and of its height from the top, in global
// coordinates, neither clamped; none before the trace has reported its plot.
std::optional<QPointF> plotPoint(const QWidget& window, double fraction, double height);

// Sweeps the trace's cursor from one fraction of the night to another over `seconds`, one step a frame,
// the pointer following on the trace when there is one; the last step stands exactly on `to`.
Step scrub(DemoRecorder& recorder, KitClock& clock, Store& store, QWidget& window, Night night, double from,
           double to, double seconds);

} // namespace DemoPointer

} // namespace dormio
