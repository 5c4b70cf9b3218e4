#include "Dormio/Core/System/SystemJournal.h"

#include "Dormio/Core/System/JournalFacts.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <systemd/sd-journal.h>
#include <vector>

namespace dormio {

namespace {

using Journal = std::unique_ptr<sd_journal, decltype(&sd_journal_close)>;

Journal open(const std::optional<std::string>& folder) {
    sd_journal* journal = nullptr;
    const int result = folder ? sd_journal_open_directory(&journal, folder->c_str(), 0)
                              : sd_journal_open(&journal, SD_JOURNAL_LOCAL_ONLY | SD_JOURNAL_SYSTEM);
    if (result < 0) journal = nullptr;
    // A machine without journal files keeps no journal at all, which is not a journal without sleep.
    uint64_t bytes = 0;
    if (journal && (sd_journal_get_usage(journal, &bytes) < 0 || bytes == 0)) {
        sd_journal_close(journal);
        journal = nullptr;
    }
    return Journal(journal, &sd_journal_close);
}

// The value of one field of the current entry, or empty.
std::string_view field(sd_journal* journal, const char* name) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(journal, name, &data, &length) < 0) return {};
    const std::string_view text(static_cast<const char*>(data), length);
    const std::size_t equals = text.find('=');
    return equals == std::string_view::npos ? std::string_view() : text.substr(equals + 1);
}

// The current entry's times, boot and identifier; message left for the caller.
bool current(sd_journal* journal, JournalEntry& entry) {
    uint64_t realtime = 0, monotonic = 0;
    sd_id128_t boot;
    if (sd_journal_get_realtime_usec(journal, &realtime) < 0 ||
        sd_journal_get_monotonic_usec(journal, &monotonic, &boot) < 0)
        return false;
    char bootText[SD_ID128_STRING_MAX];
    entry.realtime = int64_t(realtime);
    entry.monotonic = int64_t(monotonic);
    entry.bootId = sd_id128_to_string(boot, bootText);
    entry.identifier = field(journal, "_TRANSPORT") == JournalFacts::kernelIdentifier
                           ? std::string(JournalFacts::kernelIdentifier)
                           : std::string(field(journal, "SYSLOG_IDENTIFIER"));
    return true;
}

std::vector<JournalEntry> powerEntries(sd_journal* journal, int64_t since) {
    for (std::string_view identifier : {JournalFacts::sleepIdentifier, JournalFacts::loginIdentifier}) {
        const std::string match = "SYSLOG_IDENTIFIER=" + std::string(identifier);
        sd_journal_add_match(journal, match.data(), match.size());
        sd_journal_add_disjunction(journal);
    }
    sd_journal_add_match(journal, "_TRANSPORT=kernel", 0);
    std::vector<JournalEntry> entries;
    if (sd_journal_seek_tail(journal) < 0) return entries;
    while (sd_journal_previous(journal) > 0) {
        JournalEntry entry;
        if (!current(journal, entry)) continue;
        if (entry.realtime < since) break;
        const std::string_view message = field(journal, "MESSAGE");
        if (!JournalFacts::classify(entry.identifier, message)) continue;
        entry.message = message;
        entries.push_back(std::move(entry));
    }
    std::reverse(entries.begin(), entries.end());
    return entries;
}

std::vector<JournalEntry> bootStarts(sd_journal* journal, int64_t since) {
    sd_journal_flush_matches(journal);
    std::vector<std::string> boots;
    if (sd_journal_query_unique(journal, "_BOOT_ID") < 0) return {};
    const void* data = nullptr;
    size_t length = 0;
    SD_JOURNAL_FOREACH_UNIQUE(journal, data, length)
    boots.emplace_back(static_cast<const char*>(data), length);
    std::vector<JournalEntry> starts;
    for (const std::string& boot : boots) {
        sd_journal_flush_matches(journal);
        sd_journal_add_match(journal, boot.data(), boot.size());
        JournalEntry entry;
        if (sd_journal_seek_head(journal) < 0 || sd_journal_next(journal) <= 0 || !current(journal, entry) ||
            entry.realtime < since)
            continue;
        entry.message = field(journal, "MESSAGE");
        starts.push_back(std::move(entry));
    }
    std::stable_sort(starts.begin(), starts.end(),
                     [](const JournalEntry& a, const JournalEntry& b) { return a.realtime < b.realtime; });
    return starts;
}

} // namespace

std::optional<JournalRead> SystemJournal::read(int64_t since) {
    const Journal journal = open(folder_);
    if (!journal) return std::nullopt;
    JournalRead read;
    read.entries = powerEntries(journal.get(), since);
    read.bootStarts = bootStarts(journal.get(), since);
    return read;
}

} // namespace dormio
