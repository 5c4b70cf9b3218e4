#pragma once

// The three developer modes that start-up hands control to. Until the demo mode is built,
// starting it says so and ends the application with status 2.

#include "Dormio/DevModes/SelfTest.h"

#include <QString>

namespace dormio {

namespace Snapshotter {
// Starts the snapshot mode writing into `dir` and returns at once; the mode ends the application.
void run(const QString& dir);
} // namespace Snapshotter

namespace DormioDemo {
// Records the scripted demo into the folder named by DORMIO_DEMO_DIR and ends the application.
void run();
} // namespace DormioDemo

} // namespace dormio
