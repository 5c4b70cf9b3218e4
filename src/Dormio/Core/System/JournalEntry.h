#pragma once

// The few fields of a systemd journal entry that the power log is written from, and the interface of
// whatever reads them: the system's journal through libsystemd, or a recorded export in the tests.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

struct JournalEntry {
    int64_t realtime = 0;  // microseconds since 1970 by the wall clock when the entry was written
    int64_t monotonic = 0; // microseconds since its boot, not counting time asleep
    std::string bootId;
    std::string identifier; // SYSLOG_IDENTIFIER; "kernel" for the kernel's own messages
    std::string message;
};

struct JournalRead {
    std::vector<JournalEntry> entries;    // the power-related entries, oldest first
    std::vector<JournalEntry> bootStarts; // the first entry the journal keeps of each boot, oldest first
};

class JournalSource {
public:
    virtual ~JournalSource() = default;
    // The power-related entries written at or after `since` (microseconds since 1970), and the first
    // entries of the boots that began then; none when there is no journal to read.
    virtual std::optional<JournalRead> read(int64_t since) = 0;
};

} // namespace dormio
