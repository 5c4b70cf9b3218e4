#pragma once

// The developer modes that start-up hands control to in place of the normal start: the snapshot mode,
// the self-test and the scripted demo. Each ends the application itself.

#include "Dormio/Core/RunMode.h"

namespace dormio {

class Store;

namespace DevModes {
// Starts the mode that `mode` names against `store`; the normal mode starts nothing.
void start(const RunMode& mode, Store& store, const EnvLookup& env = processEnvironment);
} // namespace DevModes

} // namespace dormio
