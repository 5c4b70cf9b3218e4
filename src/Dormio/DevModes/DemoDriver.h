#pragma once

// The scripted demo: the main window, filled with the sample month, recorded to a captioned video in the
// folder named by DORMIO_DEMO_DIR.

#include "Dormio/Core/RunMode.h"
#include "OstrelKit/Capture/Step.h"

#include <QString>
#include <functional>

namespace dormio {

class KitClock;
class Store;

namespace DemoDriver {

// Records the demo, every wait on `clock`, and ends the application with its status: 0 once the four
// files are written, else 1. Without DORMIO_DEMO_DIR it returns at once and touches nothing.
void run(Store& store, const EnvLookup& env, KitClock& clock);

// One recording into `folder`, ended through `end` with its status.
Step play(QString folder, Store& store, KitClock& clock, std::function<void(int)> end);

} // namespace DemoDriver

} // namespace dormio
