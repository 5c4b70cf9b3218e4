#pragma once

// Reading the power log's text into a PowerLog. Pure functions; safe on any thread.

#include "DormioKit/Date.h"
#include "DormioKit/PowerLog.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dormio::PowerLogParser {

// The whole log, its four arrays sorted by date (equal dates keep their text order). Lines it cannot
// use are passed over; those that look like entries but cannot be read are counted in skippedLines. The
// log keeps copies of the texts it needs: `text` may go once it returns. A large log is read in `parts`
// of whole lines on as many threads (0: as many as its size is worth, up to four) and the parts joined in
// order: the log is the same however many parts it is read in.
PowerLog parse(std::string_view text, unsigned parts = 0);

// Why a power-log file gave no log.
enum class FileProblem {
    unreadable, // missing, not ours to read, or a read that failed
    notAFile,   // a pipe, a device or a folder: a read of it may never end
    tooLarge,   // more than the limit
    notUtf8,    // text that is not well-formed UTF-8
    abandoned,  // the reader was asked to stop
};

// The log of a file, or why there is none.
struct FileLog {
    std::optional<PowerLog> log;
    FileProblem problem = FileProblem::unreadable; // when there is no log
};

// No power log comes near this; a file larger than it is not one.
constexpr uint64_t largestLogFile = uint64_t{4} << 30;

// The log in the regular file at `path`, parsed as it is read, so that the text is never held whole. A read
// always ends: anything but a regular file is refused unread, and so is a file of more than `limit` bytes,
// also when it grows past the limit while it is read. `abandon`, asked between pieces, ends a long read
// early (the application quitting never waits for one); the threads that read the parts of a large file
// ask it in turn, never two at once. `parts` as for parse.
FileLog parseFile(const std::string& path, uint64_t limit = largestLogFile,
                  const std::function<bool()>& abandon = {}, unsigned parts = 0);

// The fixed-position date "yyyy-MM-dd HH:mm:ss ZZZZZ" of a line's first 25 bytes.
std::optional<Date> parseDate(std::string_view bytes);

// One "Sleep", "Wake", "DarkWake" or "Start" line: its kind, cause words and power source.
PowerEvent parseStateEvent(std::string_view type, std::string_view message, Date date);
// Whether the message says the Mac ran on battery ("Using Batt") or mains ("Using AC"), and its charge.
std::pair<std::optional<bool>, std::optional<int64_t>> powerSource(std::string_view message);

} // namespace dormio::PowerLogParser
