#include "DormioKit/LocalZone.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <unicode/simpletz.h>
#include <unistd.h>

namespace dormio::LocalZone {

namespace {

constexpr int32_t hourSeconds = 3600;
constexpr int32_t daySeconds = 86400;
constexpr std::array<int, 12> monthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::string_view zoneFolder = "/usr/share/zoneinfo/";

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The rule's text still to read.
struct Cursor {
    std::string_view text;

    char next() const { return text.empty() ? '\0' : text.front(); }
    bool take(char c) {
        if (next() != c) return false;
        text.remove_prefix(1);
        return true;
    }
    std::optional<int32_t> number() {
        std::size_t length = 0;
        int32_t value = 0;
        for (; length < text.size() && length < 6 && isDigit(text[length]); ++length)
            value = value * 10 + (text[length] - '0');
        if (length == 0) return std::nullopt;
        text.remove_prefix(length);
        return value;
    }
    // hh[:mm[:ss]] in seconds; an offset from UTC caps its fields as the C library does.
    std::optional<int32_t> clock(bool capped) {
        const auto hours = number();
        if (!hours) return std::nullopt;
        int32_t minutes = 0, seconds = 0;
        if (take(':')) minutes = number().value_or(0);
        if (take(':')) seconds = number().value_or(0);
        if (capped)
            return std::min(*hours, 24) * hourSeconds + std::min(minutes, 59) * 60 + std::min(seconds, 59);
        return *hours * hourSeconds + minutes * 60 + seconds;
    }
};

// "CET", or "<+0330>" for a name with digits and signs; at least three characters.
bool zoneName(Cursor& at) {
    const bool quoted = at.take('<');
    std::size_t length = 0;
    while (length < at.text.size() &&
           (isLetter(at.text[length]) ||
            (quoted && (isDigit(at.text[length]) || at.text[length] == '+' || at.text[length] == '-'))))
        ++length;
    at.text.remove_prefix(length);
    return length >= 3 && (!quoted || at.take('>'));
}

// An offset written as the time to add to the local clock to reach UTC, in seconds east of UTC.
std::optional<int32_t> offsetEast(Cursor& at) {
    const bool east = at.take('-');
    if (!east) at.take('+');
    const auto seconds = at.clock(true);
    if (!seconds) return std::nullopt;
    return east ? *seconds : -*seconds;
}

// One change of the rule: a day of the year counted without 29 February ("J60" is 1 March), one counted
// from 0 with it, or a weekday of a week of a month ("M3.5.0", the last Sunday of March); at a wall-clock
// time that may lie before or past the day.
struct Change {
    enum Kind { julian, zeroBased, weekday } kind = weekday;
    int32_t day = 0, month = 0, week = 0;
    int32_t seconds = 2 * hourSeconds;
};

std::optional<Change> change(Cursor& at) {
    Change change;
    if (at.take('J')) {
        change.kind = Change::julian;
        const auto day = at.number();
        if (!day || *day < 1 || *day > 365) return std::nullopt;
        change.day = *day;
    } else if (at.take('M')) {
        // A missing number reads as one out of its range.
        change.month = at.number().value_or(0);
        change.week = at.take('.') ? at.number().value_or(0) : 0;
        change.day = at.take('.') ? at.number().value_or(7) : 7;
        if (change.month < 1 || change.month > 12 || change.week < 1 || change.week > 5 || change.day > 6)
            return std::nullopt;
    } else {
        change.kind = Change::zeroBased;
        const auto day = at.number();
        if (!day || *day > 365) return std::nullopt;
        change.day = *day;
    }
    if (at.take('/')) {
        const bool before = at.take('-');
        if (!before) at.take('+');
        const auto seconds = at.clock(false);
        if (!seconds) return std::nullopt;
        change.seconds = before ? -*seconds : *seconds;
    }
    return change;
}

// A change as ICU's annual rule: month, day-of-week-in-month and day-of-week in ICU's encoding, and the
// wall-clock time within the day.
struct AnnualRule {
    int8_t month, dayOfWeekInMonth, dayOfWeek;
    int32_t millis;
};

int32_t floorDays(int32_t seconds) {
    return seconds >= 0 ? seconds / daySeconds : -((-seconds + daySeconds - 1) / daySeconds);
}

// A time past the day moves the change to a later day (before it, to an earlier one), which ICU can hold
// only as "that weekday on or after (or before) a day of the same month".
std::optional<AnnualRule> annual(const Change& change) {
    const int32_t days = floorDays(change.seconds);
    const int32_t millis = (change.seconds - days * daySeconds) * 1000;
    if (change.kind != Change::weekday) {
        // 29 February moves every later day of a counted year, which no annual rule follows.
        if (days != 0 || (change.kind == Change::zeroBased && change.day > 58)) return std::nullopt;
        int32_t dayOfMonth = change.kind == Change::julian ? change.day : change.day + 1;
        int8_t month = 0;
        while (dayOfMonth > monthDays[std::size_t(month)])
            dayOfMonth -= monthDays[std::size_t(month++)];
        return AnnualRule{month, int8_t(dayOfMonth), 0, millis};
    }
    const auto month = int8_t(change.month - 1);
    const auto dayOfWeek = int8_t((change.day + days % 7 + 7) % 7 + 1); // ICU counts Sunday as 1
    if (days == 0) return AnnualRule{month, int8_t(change.week == 5 ? -1 : change.week), dayOfWeek, millis};
    const int length = monthDays[std::size_t(month)];
    if (change.week == 5) {
        // February's last days move with its length.
        if (days > 0 || month == 1) return std::nullopt;
        return AnnualRule{month, int8_t(-(length + days)), int8_t(-dayOfWeek), millis};
    }
    const int32_t first = 7 * (change.week - 1) + 1 + days;
    if (first < 1 || first > length) return std::nullopt;
    return AnnualRule{month, int8_t(first), int8_t(-dayOfWeek), millis};
}

std::unique_ptr<icu::TimeZone> fixed(int32_t east, const icu::UnicodeString& id) {
    return std::make_unique<icu::SimpleTimeZone>(east * 1000, id);
}

std::unique_ptr<icu::TimeZone> utc() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("UTC"));
}

// A path into a zoneinfo folder names its zone: ".../zoneinfo/posix/Europe/Berlin" is "Europe/Berlin".
std::string_view zoneIDInPath(std::string_view path) {
    constexpr std::string_view folder = "zoneinfo/";
    if (auto at = path.rfind(folder); at != std::string_view::npos) path.remove_prefix(at + folder.size());
    for (std::string_view variant : {"posix/", "right/"})
        if (path.starts_with(variant)) path.remove_prefix(variant.size());
    return path;
}

// A zone file of the C library's format (TZif) ends with the POSIX rule for the times after its table;
// ICU knows the zone by name in all but unusual installations, and otherwise that rule is the zone.
std::unique_ptr<icu::TimeZone> fromZoneFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::string bytes;
    bytes.resize(4);
    if (!file.read(bytes.data(), 4) || bytes != "TZif") return nullptr;
    file.seekg(-256, std::ios::end);
    if (!file) file.clear(), file.seekg(0);
    bytes.assign(std::istreambuf_iterator<char>(file), {});
    if (bytes.size() < 2 || bytes.back() != '\n') return nullptr;
    bytes.pop_back();
    const std::size_t start = bytes.rfind('\n');
    if (start == std::string::npos) return nullptr;
    return fromRule(std::string_view(bytes).substr(start + 1));
}

// The system's zone: the zone its link names, else the one ICU finds among the zone files by its contents,
// else the file's own rule.
std::unique_ptr<icu::TimeZone> systemZone() {
    constexpr const char* localtime = "/etc/localtime";
    std::array<char, 4096> target{};
    const ssize_t length = ::readlink(localtime, target.data(), target.size() - 1);
    if (length > 0)
        if (auto zone = named(zoneIDInPath(std::string_view(target.data(), std::size_t(length)))))
            return zone;
    {
        static std::mutex detecting; // the detection resets a process-wide cache inside ICU
        const std::lock_guard lock(detecting);
        std::unique_ptr<icu::TimeZone> detected(icu::TimeZone::detectHostTimeZone());
        icu::UnicodeString id;
        if (detected->getID(id) != UNICODE_STRING_SIMPLE(UCAL_UNKNOWN_ZONE_ID)) return detected;
    }
    if (auto zone = fromZoneFile(localtime)) return zone;
    return utc();
}

} // namespace

std::unique_ptr<icu::TimeZone> named(std::string_view id) {
    const icu::UnicodeString name = icu::UnicodeString::fromUTF8(icu::StringPiece(id.data(), id.size()));
    // ICU also reads "GMT+5" as a zone of its own, five hours east, where the C library's rule is five hours
    // west: only the names of the zone database count.
    icu::UnicodeString canonical;
    UBool known = false;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getCanonicalID(name, canonical, known, status);
    if (U_FAILURE(status) || !known) return nullptr;
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(name));
}

std::unique_ptr<icu::TimeZone> fromRule(std::string_view rule) {
    const icu::UnicodeString id = icu::UnicodeString::fromUTF8(icu::StringPiece(rule.data(), rule.size()));
    Cursor at{rule};
    if (!zoneName(at)) return nullptr;
    const auto standard = offsetEast(at);
    if (!standard) return nullptr;
    if (!zoneName(at)) return fixed(*standard, id);
    int32_t daylight = *standard + hourSeconds;
    if (at.next() != ',' && !at.text.empty()) {
        const auto given = offsetEast(at);
        if (!given) return fixed(*standard, id);
        daylight = *given;
    }
    at.take(',');
    // Without changes of its own a zone changes on the United States' days, as the C library has it.
    Cursor rules = at.text.empty() ? Cursor{"M3.2.0,M11.1.0"} : at;
    auto start = change(rules);
    auto end = rules.take(',') ? change(rules) : std::nullopt;
    if (!start || !end || daylight == *standard) return fixed(*standard, id);
    // ICU's saving is never negative: a zone whose summer clock is behind its winter one ("IST-1GMT0" with
    // the changes the other way round) is the same zone told from its summer side.
    int32_t raw = *standard, saving = daylight - *standard;
    if (saving < 0) std::swap(start, end), raw = daylight, saving = -saving;
    const auto from = annual(*start), to = annual(*end);
    if (!from || !to) return fixed(*standard, id);
    UErrorCode status = U_ZERO_ERROR;
    auto zone = std::make_unique<icu::SimpleTimeZone>(
        raw * 1000, id, from->month, from->dayOfWeekInMonth, from->dayOfWeek, from->millis,
        icu::SimpleTimeZone::WALL_TIME, to->month, to->dayOfWeekInMonth, to->dayOfWeek, to->millis,
        icu::SimpleTimeZone::WALL_TIME, saving * 1000, status);
    if (U_FAILURE(status)) return fixed(*standard, id);
    return zone;
}

std::unique_ptr<icu::TimeZone> current() {
    const char* tz = std::getenv("TZ");
    if (!tz) return systemZone();
    std::string_view value = tz;
    if (value.starts_with(':')) value.remove_prefix(1);
    if (value.empty()) return utc();
    if (auto zone = named(zoneIDInPath(value))) return zone;
    // As the C library does, a zone file first, then the text as a rule.
    const std::string path = (value.starts_with('/') ? "" : std::string(zoneFolder)) + std::string(value);
    if (auto zone = fromZoneFile(path)) return zone;
    if (auto zone = fromRule(value)) return zone;
    return utc();
}

} // namespace dormio::LocalZone
