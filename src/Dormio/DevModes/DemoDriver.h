#pragma once

// The scripted demo: the main window, filled with the sample month, recorded to a captioned video in the
// folder named by DORMIO_DEMO_DIR.

namespace dormio::DemoDriver {
// Records the demo and ends the application with its status.
void run();
} // namespace dormio::DemoDriver
