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

// The whole log, its four arrays sorted by date (equal dates keep their text order). Lines it cannot
// use are passed over; those that look like entries but cannot be read are counted in skippedLines. The
// log keeps copies of the texts it needs: `text` may go once it returns.
PowerLog parse(std::string_view text);

// The log in the file (or pipe) at `path`, parsed as it is read, so that the text is never held whole.
// None when it cannot be read or its text is not well-formed UTF-8.
std::optional<PowerLog> parseFile(const std::string& path);

// The fixed-position date "yyyy-MM-dd HH:mm:ss ZZZZZ" of a line's first 25 bytes.
std::optional<Date> parseDate(std::string_view bytes);

// One "Sleep", "Wake", "DarkWake" or "Start" line: its kind, cause words and power source.
PowerEvent parseStateEvent(std::string_view type, std::string_view message, Date date);
// Whether the message says the Mac ran on battery ("Using Batt") or mains ("Using AC"), and its charge.
std::pair<std::optional<bool>, std::optional<int64_t>> powerSource(std::string_view message);

} // namespace dormio::PowerLogParser
