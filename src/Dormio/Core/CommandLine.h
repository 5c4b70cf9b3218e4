#pragma once

// The command line a terminal user may try first: --help and --version.

namespace dormio::CommandLine {

// Prints the help or the version and ends the process when either is asked for; otherwise returns and
// leaves the rest (Qt's own -platform and the like) to the application. Called before the application
// object exists, so that both answer on a terminal without a display. The application must be named first.
void answerHelpOrVersion(int argc, char** argv);

} // namespace dormio::CommandLine
