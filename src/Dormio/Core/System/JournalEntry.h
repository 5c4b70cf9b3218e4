#pragma once

// The few fields of a systemd journal entry that the power log is written from, and the interface of
// whatever reads them: the system's journal through libsystemd, or a recorded export in the tests.

#include <cstdint>
#include <string>
#include <vector>

namespace dormio {

struct JournalEntry {
    int64_t realtime = 0;  // microseconds since 1970 by the wall clock when the entry was written
    int64_t monotonic = 0; // microseconds since its boot, not counting time asleep
    std::string bootId;
    std::string source; // who wrote it (JournalFacts::source); empty for anyone else
    std::string message;
    std::string unit = {}; // UNIT: the unit a message of the service manager is about
};

// What reading the journal gave: its entries, or that there is no journal, or that there are journal
// files none of which could be opened (most often the user may not read the system's journal).
enum class JournalAccess { read, none, unreadable };

struct JournalRead {
    JournalAccess access = JournalAccess::read;
    std::vector<JournalEntry> entries;    // the power-related entries, oldest first
    std::vector<JournalEntry> bootStarts; // the first entry the journal keeps of each boot, oldest first
    std::vector<JournalEntry> bootEnds;   // the last entry of each boot, of any source, oldest first
};

class JournalSource {
public:
    virtual ~JournalSource() = default;
    // The power-related entries of the boots that reach into the time at or after `since` (microseconds
    // since 1970), with the first and last entries of those boots.
    virtual JournalRead read(int64_t since) = 0;
};

} // namespace dormio
