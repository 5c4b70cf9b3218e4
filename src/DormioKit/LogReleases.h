#pragma once

// The two structured kinds of log line: sleep-blocking assertions that ended, and scheduled wake requests.

#include "DormioKit/Date.h"
#include "DormioKit/LogDates.h"
#include "DormioKit/PowerLog.h"

#include <optional>
#include <string_view>
#include <vector>

namespace dormio::PowerLogParser {

// A sleep-blocking assertion that ended ("PID 412(backupd) Released ..."), or none. Its process and name
// view `message`.
std::optional<AssertionRelease> parseRelease(std::string_view message, Date date);

// The requests of a "Wake Requests" line, in their order; their texts view `message`. Wake times are read
// in `zone` ("+0100"), or in the current zone at `logged` when the line gives none that reads.
std::vector<WakeRequest> parseWakeRequests(std::string_view message, Date logged,
                                           std::optional<std::string_view> zone);

// The same for the log reader, which reads every date of a log with one reader and collects the requests
// of all lines in one array.
void appendWakeRequests(std::string_view message, Date logged, std::optional<std::string_view> zone,
                        LogDateReader& dates, std::vector<WakeRequest>& requests);

} // namespace dormio::PowerLogParser
