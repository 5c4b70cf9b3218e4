#include "DormioKit/PowerLogParser.h"

#include "DormioKit/DecimalText.h"
#include "DormioKit/LogDates.h"
#include "DormioKit/LogReleases.h"
#include "DormioKit/UnicodeText.h"
#include "DormioKit/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
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
// A log read from a file is parsed a piece of whole lines at a time, so that its text is never held whole:
// touching a buffer the size of the log would cost more than reading it.
constexpr std::size_t pieceSize = 256 * 1024;

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

template <typename Record, typename Key> void sortStably(std::vector<Record>& records, Key key) {
    const auto earlier = [key](const Record& a, const Record& b) { return a.*key < b.*key; };
    if (!std::is_sorted(records.begin(), records.end(), earlier))
        std::stable_sort(records.begin(), records.end(), earlier);
}

// Reads a log line by line into a PowerLog, from a text in memory or from a file in pieces. The texts of
// requests and releases go into the log's pool; every date goes through one date reader.
// First touching fresh memory costs the kernel a fault per 4 KiB page, a large share of a whole read of a
// busy log; asked to, it backs the aligned middle of a large block with 2 MiB pages instead, and still
// commits only what is touched.
template <typename T> void preferLargePages(const std::vector<T>& records) {
    constexpr std::uintptr_t large = std::uintptr_t(2) << 20;
    const auto from = reinterpret_cast<std::uintptr_t>(records.data());
    const std::uintptr_t begin = (from + large - 1) & ~(large - 1);
    const std::uintptr_t end = (from + records.capacity() * sizeof(T)) & ~(large - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

class LineReader {
public:
    // `bytes` is the log's size where known: room for its records is made once, from the densest mix a
    // busy machine writes (a release kept for every 256 bytes, a wake request for every 512). Room that is
    // never filled is never touched, and costs no memory. `wellFormed` says the text was found to be UTF-8
    // as a whole, which spares checking each message again: lines and columns are cut at ASCII bytes only,
    // which never split a character.
    LineReader(std::size_t bytes, bool wellFormed)
        : texts_(std::make_shared<TextPool>()), wellFormed_(wellFormed) {
        log_.releases.reserve(bytes / 256);
        log_.requests.reserve(bytes / 512);
        preferLargePages(log_.releases);
        preferLargePages(log_.requests);
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

    PowerLog finish() && {
        sortStably(log_.events, &PowerEvent::date);
        sortStably(log_.display, &DisplayChange::date);
        sortStably(log_.requests, &WakeRequest::logged);
        sortStably(log_.releases, &AssertionRelease::end);
        log_.texts = std::move(texts_);
        return std::move(log_);
    }

private:
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
            if (!log_.firstDate)
                if (const auto date = dates_.read(line)) noteFirst(*date);
            return;
        }
    }

    void noteFirst(Date date) {
        if (!log_.firstDate || date < *log_.firstDate) log_.firstDate = date;
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
        log_.releases.push_back(*release);
    }

    void readState(std::string_view line, std::string_view type, std::string_view message) {
        const auto date = dates_.read(line);
        if (!date) {
            ++log_.skippedLines;
            return;
        }
        noteFirst(*date);
        log_.events.push_back(parseStateEvent(type, text(message), *date));
    }

    void readDisplay(std::string_view line, std::string_view message) {
        if (!message.starts_with(Bytes::display)) return;
        if (const auto date = dates_.read(line)) log_.display.push_back({*date, message.back() == 'n'});
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
    }

    PowerLog log_;
    std::shared_ptr<TextPool> texts_;
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

} // namespace

PowerLog parse(std::string_view text) {
    LineReader reader(text.size(), Utf8::isWellFormed(text));
    reader.readLines(text, true);
    return std::move(reader).finish();
}

FileLog parseFile(const std::string& path, uint64_t limit, const std::function<bool()>& abandon) {
    // Without waiting: opening a pipe for reading would wait for a writer that may never come.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) return {};
    if (!S_ISREG(status.st_mode)) return {std::nullopt, FileProblem::notAFile};
    if (static_cast<uint64_t>(status.st_size) > limit) return {std::nullopt, FileProblem::tooLarge};
    LineReader reader(static_cast<std::size_t>(status.st_size), true);

    // Whole lines go to the reader as soon as they are in; the unfinished last one waits at the start of
    // the buffer for the rest. The buffer grows only for a line longer than itself. UTF-8 sequences never
    // span a line end, so checking whole lines checks the text.
    std::size_t capacity = pieceSize;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t held = 0;
    uint64_t total = 0;
    for (;;) {
        if (abandon && abandon()) return {std::nullopt, FileProblem::abandoned};
        if (held == capacity) {
            auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
            std::memcpy(larger.get(), buffer.get(), held);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t count = ::read(file.get(), buffer.get() + held, capacity - held);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return {};
        if (count == 0) break;
        // A file that grows while it is read (a log still being written, or one grown on purpose).
        total += static_cast<uint64_t>(count);
        if (total > limit) return {std::nullopt, FileProblem::tooLarge};
        const std::size_t scanned = held;
        held += static_cast<std::size_t>(count);
        const void* lastLF = ::memrchr(buffer.get() + scanned, '\n', held - scanned);
        if (!lastLF) continue;
        const auto complete = static_cast<std::size_t>(static_cast<const char*>(lastLF) - buffer.get()) + 1;
        const std::string_view lines(buffer.get(), complete);
        if (!Utf8::isWellFormed(lines)) return {std::nullopt, FileProblem::notUtf8};
        reader.readLines(lines, false);
        std::memmove(buffer.get(), buffer.get() + complete, held - complete);
        held -= complete;
    }
    const std::string_view lastLine(buffer.get(), held);
    if (!Utf8::isWellFormed(lastLine)) return {std::nullopt, FileProblem::notUtf8};
    reader.readLines(lastLine, true);
    return {std::move(reader).finish()};
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
