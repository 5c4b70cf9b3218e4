#pragma once

// Reading the power log's text into a PowerLog. Pure functions; safe on any thread.

#include "DormioKit/Date.h"
#include "DormioKit/PowerLog.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dormio::PowerLogParser {

PowerLog parse(std::string_view text);

// The fixed-position date "yyyy-MM-dd HH:mm:ss ZZZZZ" of a line's first 25 bytes.
std::optional<Date> parseDate(std::string_view bytes);

PowerEvent parseStateEvent(std::string_view type, std::string_view message, Date date);
std::pair<std::optional<bool>, std::optional<int64_t>> powerSource(std::string_view message);

std::optional<AssertionRelease> parseRelease(std::string_view message, Date date);
std::vector<WakeRequest> parseWakeRequests(std::string_view message, Date logged,
                                           std::optional<std::string_view> zone);

// "h:m:s" as seconds; 0 for anything that is not three finite, non-negative numbers.
double parseDuration(std::string_view text);

} // namespace dormio::PowerLogParser
