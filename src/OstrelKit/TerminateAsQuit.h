#pragma once

// A SIGTERM (the desktop's logout, a `kill`) ends the application the way its Quit command does: the
// event loop returns and everything that runs at quit runs, among it the install of a ready update.

namespace dormio::TerminateAsQuit {

// Takes over SIGTERM for the running Qt application. Once per process; later calls change nothing.
void install();

} // namespace dormio::TerminateAsQuit
