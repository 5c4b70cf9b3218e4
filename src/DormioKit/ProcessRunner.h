#pragma once

// Running a system tool and reading what it prints, and loading the power log with it. The runner blocks
// its caller until the child has ended (bounded by the time-out plus a short grace), so call it off the
// main thread. It keeps no shared state; any number of runs may go on at once.

#include "DormioKit/PowerLog.h"

#include <string>
#include <vector>

namespace dormio::PowerLogParser {

enum class RunOutcome { completed, timedOut, couldNotStart };

struct RunResult {
    std::string text; // the child's standard output as well-formed UTF-8; empty when it could not start
    RunOutcome outcome = RunOutcome::completed;
};

// How long a child gets between the termination request and the kill, and how long the pipe may stay
// open after the child has ended (a grandchild can hold it).
inline constexpr double terminationGrace = 2.0;

// Runs the executable at `path` with `args` (no shell), its standard error discarded. A child still
// running `timeout` seconds after it started is asked to terminate, with its process group; one that
// outlives a further `grace` of seconds is killed. The text is whatever it printed until then.
RunResult run(const std::string& path, const std::vector<std::string>& args, double timeout,
              double grace = terminationGrace);

struct SystemLog {
    PowerLog log;
    RunOutcome outcome;
    // A log that could not be read at all: a sentence for the user that says so and what to do. Empty when
    // the log was read, or when the outcome says all there is to say.
    std::string failure;

    bool failed() const { return outcome != RunOutcome::completed || !failure.empty(); }
};

// `/usr/bin/pmset -g log` with a time-out of 60 seconds, parsed (an empty text gives the empty log).
SystemLog loadSystemLog();

} // namespace dormio::PowerLogParser
