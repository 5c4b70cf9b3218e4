#pragma once

// The developer modes that start-up hands control to in place of the normal start: the snapshot mode,
// the self-test and the scripted demo. Each ends the application itself.

#include "Dormio/Core/RunMode.h"
#include "OstrelKit/KitClock.h"

namespace dormio {

class Store;

namespace DevModes {
// Starts the mode that `mode` names against `store`; the normal mode starts nothing. The demo waits on
// `clock`.
void start(const RunMode& mode, Store& store, const EnvLookup& env = processEnvironment,
           KitClock& clock = KitClock::shared());
} // namespace DevModes

} // namespace dormio
