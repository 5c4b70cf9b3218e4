#include "DormioKit/PowerLogParser.h"

#include "DormioKit/DecimalText.h"
#include "DormioKit/FreshPages.h"
#include "DormioKit/LogDates.h"
#include "DormioKit/LogReleases.h"
#include "DormioKit/UnicodeText.h"
#include "DormioKit/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <type_traits>
#include <unistd.h>

namespace dormio::PowerLogParser {

namespace {

// The words that decide what a line is, compared byte for byte.
namespace Bytes {
constexpr std::string_view assertions = "Assertions";
constexpr std::string_view sleep = "Sleep";
constexpr std::string_view wake = "Wake";
constexpr std::string_view darkWake = "DarkWake";
constexpr std::string_view start = "Start";
constexpr std::string_view notification = "Notification";
constexpr std::string_view wakeRequests = "Wake Requests";
constexpr std::string_view pid = "PID ";
constexpr std::string_view display = "Display is turned";
constexpr std::string_view prevent = "SystemSleep";
constexpr std::string_view noIdle = "NoIdleSleepAssertion";
constexpr std::string_view created = ") Created ";
} // namespace Bytes

constexpr std::size_t shortestEntry = 28;
// A log read from a file is parsed a buffer of whole lines at a time, so that its text is never held whole:
// touching a buffer the size of the log would cost more than reading it.
constexpr std::size_t bufferSize = 256 * 1024;
// A large log is read in parts of whole lines, each on a thread of its own, and the parts joined in order.
// A part smaller than this is not worth a thread.
constexpr std::size_t smallestPart = 4 << 20;
constexpr unsigned mostParts = 4;

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string_view trimmedSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Where the next TAB at or after `from` stands, or the end.
std::size_t tabFrom(std::string_view line, std::size_t from) {
    const void* tab = std::memchr(line.data() + from, '\t', line.size() - from);
    return tab ? static_cast<std::size_t>(static_cast<const char*>(tab) - line.data()) : line.size();
}

// The text after the first `marker`, or none.
std::optional<std::string_view> after(std::string_view text, std::string_view marker) {
    const std::size_t at = text.find(marker);
    if (at == std::string_view::npos) return std::nullopt;
    return text.substr(at + marker.size());
}

std::string sleepCause(std::string_view message) {
    const auto rest = after(message, "due to '");
    if (!rest) return {};
    const std::size_t close = rest->find('\'');
    return close == std::string_view::npos ? std::string{} : std::string(rest->substr(0, close));
}

std::string wakeCause(std::string_view message) {
    const auto rest = after(message, "due to ");
    if (!rest) return {};
    return std::string(UnicodeText::trimmedWhitespace(rest->substr(0, rest->find(" Using "))));
}

enum class LineType { assertions, state, notification, wakeRequests, other };

LineType lineType(std::string_view type) {
    if (type == Bytes::assertions) return LineType::assertions;
    if (type == Bytes::sleep || type == Bytes::wake || type == Bytes::darkWake || type == Bytes::start)
        return LineType::state;
    if (type == Bytes::notification) return LineType::notification;
    if (type == Bytes::wakeRequests) return LineType::wakeRequests;
    return LineType::other;
}

void keepEarlier(std::optional<Date>& earliest, std::optional<Date> date) {
    if (date && (!earliest || *date < *earliest)) earliest = date;
}

// Clears `inOrder` when one of records[from ..< to] is earlier than the record before it. Each record is
// checked as it is added, while it is still in the cache: a pass over the whole array at the end would cost
// a trip to memory for every record, on one thread.
template <typename Record, typename Key>
void noteOrder(bool& inOrder, const std::vector<Record>& records, std::size_t from, std::size_t to, Key key) {
    for (std::size_t i = std::max<std::size_t>(from, 1); inOrder && i < to; ++i)
        inOrder = !(records[i].*key < records[i - 1].*key);
}

template <typename Record, typename Key>
void sortStably(std::vector<Record>& records, Key key, bool inOrder) {
    if (!inOrder)
        std::stable_sort(records.begin(), records.end(),
                         [key](const Record& a, const Record& b) { return a.*key < b.*key; });
}

// Whether each of a log's arrays is in date order as read so far.
struct InOrder {
    bool events = true;
    bool requests = true;
    bool releases = true;
    bool display = true;
};

// How far each of a log's arrays has committed its room.
struct Committed {
    FreshPages::CommitAhead events;
    FreshPages::CommitAhead requests;
    FreshPages::CommitAhead releases;
    FreshPages::CommitAhead display;
};

// Reads a log line by line into a PowerLog, from a text in memory or from a file in pieces. The texts of
// requests and releases go into the log's pool; every date goes through one date reader.
class LineReader {
public:
    // `bytes` is the log's size where known: room for its records is made once, from the densest mix a
    // busy machine writes (a release kept for every 256 bytes, a wake request for every 512, a state change
    // for every 1024). Room that is never filled is never touched, and costs no memory; an array that grew
    // instead would touch fresh memory twice, and the join of a large log's parts would grow it once a part.
    // `wellFormed` says the text was found to be UTF-8 as a whole, which spares checking each message
    // again: lines and columns are cut at ASCII bytes only, which never split a character.
    LineReader(std::size_t bytes, bool wellFormed)
        : texts_(std::make_shared<TextPool>()), wellFormed_(wellFormed) {
        log_.releases.reserve(bytes / 256);
        log_.requests.reserve(bytes / 512);
        log_.events.reserve(bytes / 1024);
        FreshPages::preferLargePages(log_.releases);
        FreshPages::preferLargePages(log_.requests);
        FreshPages::preferLargePages(log_.events);
    }

    // The lines of `text`, each without its line end. The piece after the last LF is a line of its own
    // only at the end of the log: elsewhere a piece ends just after an LF.
    void readLines(std::string_view text, bool endOfLog) {
        std::size_t start = 0;
        for (;;) {
            const void* lf =
                text.size() > start ? std::memchr(text.data() + start, '\n', text.size() - start) : nullptr;
            if (!lf && !endOfLog) return;
            const std::size_t end =
                lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) : text.size();
            std::string_view line = text.substr(start, end - start);
            if (line.ends_with('\r')) line.remove_suffix(1);
            read(line);
            if (!lf) return;
            start = end + 1;
        }
    }

    // Takes in the records of the part of the log that follows this reader's, read by a reader of its own.
    void append(LineReader&& next) {
        appendRecords(log_.events, next.log_.events, inOrder_.events, next.inOrder_.events,
                      &PowerEvent::date);
        appendRecords(log_.requests, next.log_.requests, inOrder_.requests, next.inOrder_.requests,
                      &WakeRequest::logged);
        appendRecords(log_.releases, next.log_.releases, inOrder_.releases, next.inOrder_.releases,
                      &AssertionRelease::end);
        appendRecords(log_.display, next.log_.display, inOrder_.display, next.inOrder_.display,
                      &DisplayChange::date);
        log_.skippedLines += next.log_.skippedLines;
        if (!firstDated_) firstDated_ = next.firstDated_;
        keepEarlier(earliestState_, next.earliestState_);
        texts_->keep(std::move(next.texts_));
    }

    PowerLog finish() && {
        // The log starts at its earliest state change, or at its first dated line where that is earlier.
        log_.firstDate = earliestState_;
        keepEarlier(log_.firstDate, firstDated_);
        sortStably(log_.events, &PowerEvent::date, inOrder_.events);
        sortStably(log_.display, &DisplayChange::date, inOrder_.display);
        sortStably(log_.requests, &WakeRequest::logged, inOrder_.requests);
        sortStably(log_.releases, &AssertionRelease::end, inOrder_.releases);
        log_.texts = std::move(texts_);
        return std::move(log_);
    }

private:
    template <typename Record, typename Key>
    static void appendRecords(std::vector<Record>& records, std::vector<Record>& next, bool& inOrder,
                              bool nextInOrder, Key key) {
        const std::size_t joint = records.size();
        records.insert(records.end(), std::make_move_iterator(next.begin()),
                       std::make_move_iterator(next.end()));
        inOrder = inOrder && nextInOrder;
        // Only the first record taken in can be out of order with the ones before it; a part may bring none.
        noteOrder(inOrder, records, joint, std::min(joint + 1, records.size()), key);
    }

    template <typename Record, typename Key>
    void add(std::vector<Record>& records, Record record, bool& inOrder, FreshPages::CommitAhead& committed,
             Key key) {
        records.push_back(std::move(record));
        noteOrder(inOrder, records, records.size() - 1, records.size(), key);
        committed.follow(records);
    }

    void read(std::string_view line) {
        if (line.size() < shortestEntry || line[0] != '2' || line[1] != '0') return;
        const std::size_t typeEnd = line[26] == '\t' ? 26 : tabFrom(line, 27);
        if (typeEnd == line.size()) {
            ++log_.skippedLines;
            return;
        }
        const std::string_view type = trimmedSpaces(line.substr(26, typeEnd - 26));
        const std::size_t messageEnd = tabFrom(line, typeEnd + 1);
        const std::string_view message = trimmedSpaces(line.substr(typeEnd + 1, messageEnd - typeEnd - 1));

        switch (lineType(type)) {
        case LineType::assertions:
            return readRelease(line, message);
        case LineType::state:
            return readState(line, type, message);
        case LineType::notification:
            return readDisplay(line, message);
        case LineType::wakeRequests:
            return readWakeRequests(line, message);
        case LineType::other:
            if (!firstDated_) firstDated_ = dates_.read(line);
            return;
        }
    }

    void noteState(Date date) {
        if (!firstDated_) firstDated_ = date;
        keepEarlier(earliestState_, date);
    }

    std::string_view text(std::string_view bytes) {
        return wellFormed_ ? bytes : UnicodeText::wellFormed(bytes, scratch_);
    }

    // Only lines that end a sleep-blocking assertion are kept. Such a line names one of the sleep-blocking
    // types, so it holds "SystemSleep" or "NoIdleSleepAssertion" as it must; what is left to rule out is a
    // creation marker anywhere in it, which only the few lines that read as releases are searched for.
    void readRelease(std::string_view line, std::string_view message) {
        if (!message.starts_with(Bytes::pid)) return;
        const auto date = dates_.read(line);
        if (!date) return;
        auto release = parseRelease(text(message), *date);
        if (!release || contains(message, Bytes::created)) return;
        release->process = texts_->intern(release->process);
        release->name = texts_->intern(release->name);
        add(log_.releases, *release, inOrder_.releases, committed_.releases, &AssertionRelease::end);
    }

    void readState(std::string_view line, std::string_view type, std::string_view message) {
        const auto date = dates_.read(line);
        if (!date) {
            ++log_.skippedLines;
            return;
        }
        noteState(*date);
        add(log_.events, parseStateEvent(type, text(message), *date), inOrder_.events, committed_.events,
            &PowerEvent::date);
    }

    void readDisplay(std::string_view line, std::string_view message) {
        if (!message.starts_with(Bytes::display)) return;
        if (const auto date = dates_.read(line))
            add(log_.display, DisplayChange{*date, message.back() == 'n'}, inOrder_.display,
                committed_.display, &DisplayChange::date);
    }

    void readWakeRequests(std::string_view line, std::string_view message) {
        const auto date = dates_.read(line);
        if (!date) {
            ++log_.skippedLines;
            return;
        }
        const std::size_t first = log_.requests.size();
        appendWakeRequests(text(message), *date, line.substr(20, 5), dates_, log_.requests);
        for (std::size_t i = first; i < log_.requests.size(); ++i) {
            WakeRequest& request = log_.requests[i];
            request.process = texts_->intern(request.process);
            request.request = texts_->intern(request.request);
            request.info = texts_->intern(request.info);
        }
        noteOrder(inOrder_.requests, log_.requests, first, log_.requests.size(), &WakeRequest::logged);
        committed_.requests.follow(log_.requests);
    }

    PowerLog log_;
    InOrder inOrder_;
    Committed committed_;
    std::shared_ptr<TextPool> texts_;
    std::optional<Date> firstDated_;    // of the first state or other line with a date
    std::optional<Date> earliestState_; // of all state lines
    LogDateReader dates_;
    bool wellFormed_;
    std::string scratch_;
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// How many parts a log of `bytes` is read in when the caller leaves it to the reader.
unsigned partsFor(uint64_t bytes, unsigned asked) {
    if (asked > 0) return asked;
    const uint64_t worthIt = std::max<uint64_t>(bytes / smallestPart, 1);
    return static_cast<unsigned>(
        std::min<uint64_t>({worthIt, mostParts, std::max(std::thread::hardware_concurrency(), 1u)}));
}

// The byte at which part `index` of `count` would start if lines did not matter: the part starts at the
// first line start at or after it.
uint64_t shareOf(uint64_t bytes, unsigned index, unsigned count) {
    return bytes / count * index;
}

// The parts `readPart(i)` for i in 0 ..< count, each but the first read on a thread of its own (or, where no
// thread can be had, in turn on this one), joined to the first in the order of their parts by
// `join(first, next)`. Each part is joined as soon as it and those before it are read, while later parts are
// still being read: only the last part's join waits for the slowest part.
template <typename ReadPart, typename Join> auto readParts(unsigned count, ReadPart readPart, Join join) {
    std::vector<std::future<std::invoke_result_t<ReadPart, unsigned>>> later;
    for (unsigned i = 1; i < count; ++i)
        later.push_back(std::async(std::launch::async | std::launch::deferred, readPart, i));
    auto whole = readPart(0);
    for (auto& part : later)
        join(whole, part.get());
    return whole;
}

// The first line start at or after `at`: `at` itself when an LF ends the byte before it.
std::size_t lineStartFrom(std::string_view text, std::size_t at) {
    if (at == 0 || at >= text.size()) return std::min(at, text.size());
    const void* lf = std::memchr(text.data() + at - 1, '\n', text.size() - (at - 1));
    return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) + 1 : text.size();
}

// `abandon` asked for every part's reader in turn, never two at once; once it has said yes, it is not asked
// again and every reader stops.
class Abandon {
public:
    explicit Abandon(const std::function<bool()>& abandon) : abandon_(abandon) {}

    bool asked() {
        const std::lock_guard lock(mutex_);
        if (!said_ && abandon_ && abandon_()) said_ = true;
        return said_;
    }

private:
    const std::function<bool()>& abandon_;
    std::mutex mutex_;
    bool said_ = false;
};

// The part of a file whose lines start at or after `from` and before `to`; the last part runs to the end of
// the file, however far it has grown.
struct FileRange {
    uint64_t from;
    uint64_t to;
};
constexpr uint64_t endOfFile = std::numeric_limits<uint64_t>::max();

// Reads the lines of `range` into `reader`, a buffer of whole lines at a time, or says why not. Whole lines
// go to the reader as soon as they are in; the unfinished last one waits at the start of the buffer for the
// rest. The buffer grows only for a line longer than itself. UTF-8 sequences never span a line end, so
// checking whole lines checks the text.
std::optional<FileProblem> readRange(int file, FileRange range, uint64_t limit, Abandon& abandon,
                                     LineReader& reader) {
    std::size_t capacity = bufferSize;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t held = 0;
    // A part after the first starts just after the first LF at or after the byte before its share: the line
    // that holds that byte is the part before's.
    uint64_t offset = range.from == 0 ? 0 : range.from - 1; // of the next byte to read
    bool atLineStart = range.from == 0;
    for (;;) {
        if (abandon.asked()) return FileProblem::abandoned;
        if (held == capacity) {
            auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
            std::memcpy(larger.get(), buffer.get(), held);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t count = ::pread(file, buffer.get() + held, capacity - held, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return FileProblem::unreadable;
        if (count == 0) break;
        // A file that grows while it is read (a log still being written, or one grown on purpose).
        offset += static_cast<uint64_t>(count);
        if (offset > limit) return FileProblem::tooLarge;
        std::size_t scanned = held;
        held += static_cast<std::size_t>(count);
        if (!atLineStart) {
            const void* lf = std::memchr(buffer.get(), '\n', held);
            const std::size_t skipped =
                lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - buffer.get()) + 1 : held;
            std::memmove(buffer.get(), buffer.get() + skipped, held - skipped);
            held -= skipped;
            scanned = 0;
            atLineStart = lf != nullptr;
            if (!atLineStart) continue;
        }
        // The buffer starts at a line start; at or past `to`, no line of the part is left (or one line spans
        // the whole part, and is the part before's).
        const uint64_t bufferStart = offset - held;
        if (bufferStart >= range.to) return std::nullopt;
        const void* lastLF = ::memrchr(buffer.get() + scanned, '\n', held - scanned);
        if (!lastLF) continue;
        std::size_t complete = static_cast<std::size_t>(static_cast<const char*>(lastLF) - buffer.get()) + 1;
        // The part ends with the line that holds byte to - 1.
        const bool ends = bufferStart + complete >= range.to;
        if (ends) complete = lineStartFrom(std::string_view(buffer.get(), complete), range.to - bufferStart);
        const std::string_view lines(buffer.get(), complete);
        if (!Utf8::isWellFormed(lines)) return FileProblem::notUtf8;
        reader.readLines(lines, false);
        if (ends) return std::nullopt;
        std::memmove(buffer.get(), buffer.get() + complete, held - complete);
        held -= complete;
    }
    if (!atLineStart || offset - held >= range.to) return std::nullopt;
    const std::string_view lastLine(buffer.get(), held);
    if (!Utf8::isWellFormed(lastLine)) return FileProblem::notUtf8;
    reader.readLines(lastLine, true);
    return std::nullopt;
}

} // namespace

PowerLog parse(std::string_view text, unsigned parts) {
    const unsigned count = partsFor(text.size(), parts);
    const auto readPart = [&](unsigned i) {
        const std::size_t from = lineStartFrom(text, shareOf(text.size(), i, count));
        const std::size_t to =
            i + 1 == count ? text.size() : lineStartFrom(text, shareOf(text.size(), i + 1, count));
        const std::string_view part = text.substr(from, to - from);
        // The first reader makes room for the whole log's records, which the others' are joined to.
        LineReader reader(i == 0 ? text.size() : part.size(), Utf8::isWellFormed(part));
        reader.readLines(part, to == text.size());
        return reader;
    };
    return std::move(readParts(count, readPart,
                               [](LineReader& whole, LineReader&& next) { whole.append(std::move(next)); }))
        .finish();
}

FileLog parseFile(const std::string& path, uint64_t limit, const std::function<bool()>& abandon,
                  unsigned parts) {
    // Without waiting: opening a pipe for reading would wait for a writer that may never come.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) return {};
    if (!S_ISREG(status.st_mode)) return {std::nullopt, FileProblem::notAFile};
    const auto size = static_cast<uint64_t>(status.st_size);
    if (size > limit) return {std::nullopt, FileProblem::tooLarge};

    // A file that tells no size ahead (as those of /proc) is read whole, as one part.
    const unsigned count = size == 0 ? 1 : partsFor(size, parts);
    Abandon asker(abandon);
    struct Part {
        LineReader reader;
        std::optional<FileProblem> problem;
    };
    const auto readPart = [&](unsigned i) {
        const FileRange range{shareOf(size, i, count),
                              i + 1 == count ? endOfFile : shareOf(size, i + 1, count)};
        Part part{
            LineReader(static_cast<std::size_t>(i == 0 ? size : std::min(range.to, size) - range.from), true),
            {}};
        part.problem = readRange(file.get(), range, limit, asker, part.reader);
        return part;
    };
    // The first problem of the parts in order is the log's.
    Part whole = readParts(count, readPart, [](Part& whole, Part&& next) {
        if (!whole.problem) whole.problem = next.problem;
        if (!whole.problem) whole.reader.append(std::move(next.reader));
    });
    if (whole.problem) return {std::nullopt, *whole.problem};
    return {std::move(whole.reader).finish()};
}

std::optional<Date> parseDate(std::string_view bytes) {
    return LogDateReader().read(bytes);
}

PowerEvent parseStateEvent(std::string_view type, std::string_view message, Date date) {
    const auto [onBattery, charge] = powerSource(message);
    PowerEvent event{date, PowerEventKind::wake, std::string(message), {}, onBattery, charge};
    if (type == Bytes::start) {
        event.kind = PowerEventKind::boot;
        event.cause = "Mac started up";
    } else if (type == Bytes::sleep) {
        event.kind =
            message.starts_with("Entering DarkWake") ? PowerEventKind::enterDark : PowerEventKind::sleep;
        event.cause = sleepCause(message);
    } else {
        if (message.starts_with("DarkWake to FullWake"))
            event.kind = PowerEventKind::darkToFull;
        else if (type == Bytes::darkWake || message.starts_with("DarkWake"))
            event.kind = PowerEventKind::darkWake;
        event.cause = wakeCause(message);
    }
    return event;
}

std::pair<std::optional<bool>, std::optional<int64_t>> powerSource(std::string_view message) {
    const auto source = after(message, "Using ");
    if (!source) return {};
    std::optional<bool> onBattery;
    if (source->starts_with("Batt"))
        onBattery = true;
    else if (source->starts_with("AC"))
        onBattery = false;
    std::optional<int64_t> charge;
    if (const auto level = after(*source, "Charge:")) charge = DecimalText::leadingInteger<int64_t>(*level);
    return {onBattery, charge};
}

} // namespace dormio::PowerLogParser
