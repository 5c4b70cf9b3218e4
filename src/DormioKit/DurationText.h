#pragma once

// The durations that log lines give as hours, minutes and seconds.

#include <string_view>

namespace dormio::PowerLogParser {

// "h:m:s" as seconds; 0 for anything that is not three finite, non-negative numbers.
double parseDuration(std::string_view text);

} // namespace dormio::PowerLogParser
