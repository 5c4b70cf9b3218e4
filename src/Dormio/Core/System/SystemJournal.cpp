#include "Dormio/Core/System/SystemJournal.h"

#include "Dormio/Core/System/JournalFacts.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <set>
#include <string_view>
#include <systemd/sd-journal.h>

namespace dormio {

namespace {

using Journal = std::unique_ptr<sd_journal, decltype(&sd_journal_close)>;

// The service manager's "Starting …" and "Started …" (or "Finished …") of a unit.
constexpr std::string_view unitStarting = "MESSAGE_ID=7d4958e842da4a758f6c1cdc7b36dcc5";
constexpr std::string_view unitStarted = "MESSAGE_ID=39f53479d3a045ac8e11786248231fbf";

// The journal files the journal is read from: those of a folder, or the system's own files (not the
// users') of this machine, persistent and volatile.
std::vector<std::string> journalFiles(const std::optional<std::string>& folder) {
    QStringList folders;
    QStringList names{QStringLiteral("*.journal"), QStringLiteral("*.journal~")};
    if (folder) {
        folders << QFile::decodeName(folder->c_str());
    } else {
        sd_id128_t machine;
        char id[SD_ID128_STRING_MAX];
        if (sd_id128_get_machine(&machine) < 0) return {};
        for (const char* root : {"/var/log/journal/", "/run/log/journal/"})
            folders << QString::fromLatin1(root) + QString::fromLatin1(sd_id128_to_string(machine, id));
        names = {QStringLiteral("system.journal"), QStringLiteral("system@*.journal"),
                 QStringLiteral("system@*.journal~")};
    }
    std::vector<std::string> files;
    for (const QString& path : folders)
        for (const QString& name : QDir(path).entryList(names, QDir::Files | QDir::System | QDir::Hidden))
            files.push_back(QFile::encodeName(QDir(path).filePath(name)).toStdString());
    return files;
}

Journal openFiles(const std::vector<std::string>& files) {
    std::vector<const char*> paths;
    for (const std::string& file : files)
        paths.push_back(file.c_str());
    paths.push_back(nullptr);
    sd_journal* journal = nullptr;
    if (sd_journal_open_files(&journal, paths.data(), 0) < 0) journal = nullptr;
    return Journal(journal, &sd_journal_close);
}

// The time of a journal file's newest entry (microseconds since 1970) as its header keeps it: the journal
// file format puts it at byte 192, little-endian, after the signature "LPKSHHRH" and a header size of at
// least 200. None when the file cannot be read or is no journal file.
std::optional<int64_t> newestEntry(const std::string& path) {
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray header = file.read(200);
    const auto number = [&](int at) {
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = (value << 8) | uint8_t(header[at + i]);
        return value;
    };
    if (header.size() < 200 || !header.startsWith("LPKSHHRH") || number(88) < 200) return std::nullopt;
    return int64_t(std::min<uint64_t>(number(192), std::numeric_limits<int64_t>::max()));
}

// The journal of the files that reach into the time from `since` on: a machine keeps months of boots in
// many files, and every step through a journal looks at each of its files. Or why there is none: no
// files at all, or files none of which could be opened.
std::pair<Journal, JournalAccess> open(const std::optional<std::string>& folder, int64_t since) {
    const std::vector<std::string> files = journalFiles(folder);
    std::vector<std::string> recent;
    bool anyRead = false;
    for (const std::string& file : files) {
        const std::optional<int64_t> newest = newestEntry(file);
        anyRead = anyRead || newest;
        if (newest && *newest >= since) recent.push_back(file);
    }
    Journal journal = recent.empty() ? Journal(nullptr, &sd_journal_close) : openFiles(recent);
    uint64_t bytes = 0;
    if (journal && (sd_journal_get_usage(journal.get(), &bytes) < 0 || bytes == 0)) journal.reset();
    if (journal || (anyRead && recent.empty())) return {std::move(journal), JournalAccess::read};
    return {std::move(journal), files.empty() ? JournalAccess::none : JournalAccess::unreadable};
}

// The current entry's times, boot, source and message, with its unit for the service manager's.
bool current(sd_journal* journal, JournalEntry& entry) {
    uint64_t realtime = 0, monotonic = 0;
    sd_id128_t boot;
    if (sd_journal_get_realtime_usec(journal, &realtime) < 0 ||
        sd_journal_get_monotonic_usec(journal, &monotonic, &boot) < 0)
        return false;
    char bootText[SD_ID128_STRING_MAX];
    entry.realtime = int64_t(std::min<uint64_t>(realtime, std::numeric_limits<int64_t>::max()));
    entry.monotonic = int64_t(std::min<uint64_t>(monotonic, std::numeric_limits<int64_t>::max()));
    entry.bootId = sd_id128_to_string(boot, bootText);
    // One pass over the entry's fields; each is copied at once, as the next one may move the mapping.
    std::string transport, pid, uid, comm, exe;
    const std::pair<std::string_view, std::string*> wanted[] = {
        {"_TRANSPORT=", &transport}, {"_PID=", &pid}, {"_UID=", &uid},
        {"_COMM=", &comm},           {"_EXE=", &exe}, {"MESSAGE=", &entry.message},
        {"UNIT=", &entry.unit}};
    const void* data = nullptr;
    size_t length = 0;
    entry.message.clear();
    entry.unit.clear();
    for (sd_journal_restart_data(journal); sd_journal_enumerate_data(journal, &data, &length) > 0;) {
        const std::string_view field(static_cast<const char*>(data), length);
        for (const auto& [name, value] : wanted)
            if (field.starts_with(name)) *value = field.substr(name.size());
    }
    entry.source = JournalFacts::source({transport, pid, uid, comm, exe});
    return true;
}

void match(sd_journal* journal, std::string_view field) {
    sd_journal_add_match(journal, field.data(), field.size());
}

// Keeps only the entries of the sources the log is written from; the checks on who really wrote an
// entry follow once it is read (JournalFacts::source).
void matchSources(sd_journal* journal) {
    match(journal, "_TRANSPORT=kernel");
    match(journal, "_TRANSPORT=driver");
    sd_journal_add_disjunction(journal);
    match(journal, "_COMM=systemd-sleep");
    match(journal, "_COMM=systemd-logind");
    sd_journal_add_disjunction(journal);
    match(journal, "_PID=1");
    match(journal, unitStarting);
    match(journal, unitStarted);
}

class Walk {
public:
    Walk(sd_journal* journal, int64_t since) : journal_(journal), since_(since) {}

    JournalRead run() {
        JournalEntry last;
        sd_journal_flush_matches(journal_);
        if (sd_journal_seek_tail(journal_) < 0 || sd_journal_previous(journal_) <= 0 ||
            !current(journal_, last))
            return finished();
        // `last` is the newest entry of its boot, of any source: a boot that ended before the week is
        // wholly before it, and so are all the older ones.
        while (last.realtime >= since_) {
            met_.insert(last.bootId);
            const int64_t bootClock = powerEntries(last);
            const std::optional<JournalEntry> first = firstOf(last.bootId);
            if (first && first->monotonic + bootClock >= since_) read_.bootStarts.push_back(*first);
            read_.bootEnds.push_back(last);
            // Wall-clock time minus time since boot is the boot's start plus its time asleep, so a boot
            // whose last entry says it began before the week leaves none older to read.
            if (last.realtime - last.monotonic < since_ || !first || !lastBefore(last)) break;
        }
        return finished();
    }

private:
    // The boot's sleep and wake messages, newest first, back to where the boot's own clock shows them
    // before the week. An entry stamped before the week but not shown before it by the boot's later
    // entries (a board without a clock starts a boot months back until time is set) is left out and
    // never ends the walk. Gives the least wall-clock time minus time since boot that the kept entries
    // show.
    int64_t powerEntries(const JournalEntry& last) {
        int64_t bootClock = last.realtime - last.monotonic;
        sd_journal_flush_matches(journal_);
        matchSources(journal_);
        sd_journal_add_conjunction(journal_);
        match(journal_, "_BOOT_ID=" + last.bootId);
        if (sd_journal_seek_tail(journal_) < 0) return bootClock;
        JournalEntry entry;
        while (sd_journal_previous(journal_) > 0) {
            if (!current(journal_, entry)) continue;
            if (entry.monotonic + bootClock < since_) break;
            if (entry.realtime < since_) continue;
            if (!JournalFacts::classify(entry.source, entry.message)) continue;
            bootClock = std::min(bootClock, entry.realtime - entry.monotonic);
            newestFirst_.push_back(entry);
        }
        return bootClock;
    }

    // The boot's first entry, with where it stands in the journal.
    std::optional<JournalEntry> firstOf(const std::string& boot) {
        sd_journal_flush_matches(journal_);
        match(journal_, "_BOOT_ID=" + boot);
        JournalEntry entry;
        char* cursor = nullptr;
        if (sd_journal_seek_head(journal_) < 0 || sd_journal_next(journal_) <= 0 ||
            !current(journal_, entry) || sd_journal_get_cursor(journal_, &cursor) < 0)
            return std::nullopt;
        firstCursor_ = cursor;
        std::free(cursor);
        return entry;
    }

    // The newest entry of the boot before the one whose first entry was found last, in the journal's
    // order: the entry just before that first one, past any of boots already read.
    bool lastBefore(JournalEntry& last) {
        sd_journal_flush_matches(journal_);
        if (sd_journal_seek_cursor(journal_, firstCursor_.c_str()) < 0) return false;
        while (sd_journal_previous(journal_) > 0)
            if (current(journal_, last) && !met_.contains(last.bootId)) return true;
        return false;
    }

    JournalRead finished() {
        read_.entries.assign(newestFirst_.rbegin(), newestFirst_.rend());
        std::reverse(read_.bootStarts.begin(), read_.bootStarts.end());
        std::reverse(read_.bootEnds.begin(), read_.bootEnds.end());
        return std::move(read_);
    }

    sd_journal* journal_;
    int64_t since_;
    std::set<std::string> met_;
    std::string firstCursor_;
    std::vector<JournalEntry> newestFirst_;
    JournalRead read_;
};

} // namespace

JournalRead SystemJournal::read(int64_t since) {
    auto [journal, access] = open(folder_, since);
    if (!journal) return {access, {}, {}, {}};
    return Walk(journal.get(), since).run();
}

} // namespace dormio
