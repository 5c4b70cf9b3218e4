#pragma once

// The two structured kinds of log line: sleep-blocking assertions that ended, and scheduled wake requests.

#include "DormioKit/Date.h"
#include "DormioKit/PowerLog.h"

#include <optional>
#include <string_view>
#include <vector>

namespace dormio::PowerLogParser {

// A sleep-blocking assertion that ended ("PID 412(backupd) Released ..."), or none.
std::optional<AssertionRelease> parseRelease(std::string_view message, Date date);

// The requests of a "Wake Requests" line, in their order. Wake times are read in `zone` ("+0100"), or in
// the current zone at `logged` when the line gives none that reads.
std::vector<WakeRequest> parseWakeRequests(std::string_view message, Date logged,
                                           std::optional<std::string_view> zone);

} // namespace dormio::PowerLogParser
