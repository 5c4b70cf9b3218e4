#include "DormioKit/PowerLogParser.h"

#include "DormioKit/DecimalText.h"
#include "DormioKit/LogReleases.h"
#include "DormioKit/UnicodeText.h"

#include <algorithm>
#include <cstring>
#include <ctime>

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

constexpr std::size_t dateLength = 25;
constexpr std::size_t shortestEntry = 28;

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string_view trimmedSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Two ASCII digits as a number, -1 when either is not a digit.
int twoDigits(const char* p) {
    const unsigned tens = static_cast<unsigned char>(p[0]) - '0';
    const unsigned ones = static_cast<unsigned char>(p[1]) - '0';
    return tens < 10 && ones < 10 ? static_cast<int>(tens * 10 + ones) : -1;
}

// Consecutive lines nearly always share their day, so the calendar arithmetic of timegm runs once
// per day; hours, minutes and seconds are plain UTC arithmetic on top of it.
struct DayCache {
    int key = -1;
    time_t midnight = 0;
};

std::optional<Date> readDate(std::string_view bytes, DayCache& cache) {
    if (bytes.size() < dateLength) return std::nullopt;
    const char* p = bytes.data();
    if (p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':') return std::nullopt;
    if (p[20] != '+' && p[20] != '-') return std::nullopt;
    const int century = twoDigits(p), yearOfCentury = twoDigits(p + 2);
    const int month = twoDigits(p + 5), day = twoDigits(p + 8);
    const int hour = twoDigits(p + 11), minute = twoDigits(p + 14), second = twoDigits(p + 17);
    const int zoneHours = twoDigits(p + 21), zoneMinutes = twoDigits(p + 23);
    if (century < 0 || yearOfCentury < 0 || zoneHours < 0 || zoneMinutes < 0) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    const int year = century * 100 + yearOfCentury;
    const int key = (year * 100 + month) * 100 + day;
    if (key != cache.key) {
        std::tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        const time_t midnight = timegm(&fields);
        if (midnight == -1) return std::nullopt; // no midnight is one second before the epoch: an error
        cache = {key, midnight};
    }
    const int zone = (zoneHours * 3600 + zoneMinutes * 60) * (p[20] == '-' ? -1 : 1);
    const auto unixSeconds = static_cast<int64_t>(cache.midnight) + hour * 3600 + minute * 60 + second - zone;
    return Date::fromUnix(static_cast<double>(unixSeconds));
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

bool isSleepRelease(std::string_view message) {
    // Half of all assertion lines are creations, whose marker stands early: testing it first is cheapest.
    return message.starts_with(Bytes::pid) && !contains(message, Bytes::created) &&
           (contains(message, Bytes::prevent) || contains(message, Bytes::noIdle));
}

template <typename Record, typename Key> void sortStably(std::vector<Record>& records, Key key) {
    const auto earlier = [key](const Record& a, const Record& b) { return a.*key < b.*key; };
    if (!std::is_sorted(records.begin(), records.end(), earlier))
        std::stable_sort(records.begin(), records.end(), earlier);
}

class LineReader {
public:
    explicit LineReader(PowerLog& log) : log_(log) {}

    void read(std::string_view line) {
        if (line.size() < shortestEntry || line[0] != '2' || line[1] != '0') return;
        std::size_t typeEnd = 26;
        if (line[typeEnd] != '\t') {
            const void* tab = std::memchr(line.data() + 27, '\t', line.size() - 27);
            if (!tab) {
                ++log_.skippedLines;
                return;
            }
            typeEnd = static_cast<std::size_t>(static_cast<const char*>(tab) - line.data());
        }
        const std::string_view type = trimmedSpaces(line.substr(26, typeEnd - 26));
        const std::string_view rest = line.substr(typeEnd + 1);
        const std::string_view message = trimmedSpaces(rest.substr(0, rest.find('\t')));

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
                if (const auto date = readDate(line, days_)) noteFirst(*date);
            return;
        }
    }

private:
    void noteFirst(Date date) {
        if (!log_.firstDate || date < *log_.firstDate) log_.firstDate = date;
    }

    std::string_view text(std::string_view bytes) { return UnicodeText::wellFormed(bytes, scratch_); }

    void readRelease(std::string_view line, std::string_view message) {
        if (!isSleepRelease(message)) return;
        const auto date = readDate(line, days_);
        if (!date) return;
        if (auto release = parseRelease(text(message), *date)) log_.releases.push_back(std::move(*release));
    }

    void readState(std::string_view line, std::string_view type, std::string_view message) {
        const auto date = readDate(line, days_);
        if (!date) {
            ++log_.skippedLines;
            return;
        }
        noteFirst(*date);
        log_.events.push_back(parseStateEvent(type, text(message), *date));
    }

    void readDisplay(std::string_view line, std::string_view message) {
        if (!message.starts_with(Bytes::display)) return;
        if (const auto date = readDate(line, days_)) log_.display.push_back({*date, message.back() == 'n'});
    }

    void readWakeRequests(std::string_view line, std::string_view message) {
        const auto date = readDate(line, days_);
        if (!date) {
            ++log_.skippedLines;
            return;
        }
        auto requests = parseWakeRequests(text(message), *date, line.substr(20, 5));
        log_.requests.insert(log_.requests.end(), std::make_move_iterator(requests.begin()),
                             std::make_move_iterator(requests.end()));
    }

    PowerLog& log_;
    DayCache days_;
    std::string scratch_;
};

} // namespace

PowerLog parse(std::string_view text) {
    PowerLog log;
    LineReader reader(log);
    // By index rather than by pointer: a view of nothing has no data pointer to search from.
    for (std::size_t start = 0;;) {
        const std::size_t newline = text.find('\n', start);
        std::size_t lineEnd = newline == std::string_view::npos ? text.size() : newline;
        if (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
        reader.read(std::string_view(text.data() + start, lineEnd - start));
        if (newline == std::string_view::npos) break;
        start = newline + 1;
    }
    sortStably(log.events, &PowerEvent::date);
    sortStably(log.display, &DisplayChange::date);
    sortStably(log.requests, &WakeRequest::logged);
    sortStably(log.releases, &AssertionRelease::end);
    return log;
}

std::optional<Date> parseDate(std::string_view bytes) {
    DayCache cache;
    return readDate(bytes, cache);
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
