#include "DormioKit/LogReleases.h"

#include "DormioKit/Calendar.h"
#include "DormioKit/DecimalText.h"
#include "DormioKit/DurationText.h"
#include "DormioKit/UnicodeText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace dormio::PowerLogParser {

namespace {

constexpr std::array<std::string_view, 4> endVerbs{"Released", "TimedOut", "TurnedOff", "ClientDied"};
constexpr std::array<std::string_view, 3> sleepBlockingTypes{"PreventUserIdleSystemSleep",
                                                             "PreventSystemSleep", "NoIdleSleepAssertion"};

// The set's own copy of `word`, which outlives any message; empty when it is no member.
template <std::size_t N>
std::string_view member(const std::array<std::string_view, N>& set, std::string_view word) {
    const auto found = std::find(set.begin(), set.end(), word);
    return found == set.end() ? std::string_view{} : *found;
}

constexpr std::size_t npos = std::string_view::npos;

// The next word of `text` between single spaces, skipping runs of them; `at` moves past the word's
// closing space (or to the end).
std::string_view nextWord(std::string_view text, std::size_t& at) {
    while (at < text.size() && text[at] == ' ')
        ++at;
    const std::size_t start = at;
    const std::size_t end = std::min(text.find(' ', start), text.size());
    at = end == text.size() ? end : end + 1;
    return text.substr(start, end - start);
}

// Where a quoted name that opens the tail ends: the first later quote followed, after any spaces, by
// the end or by a number (the duration). Names may hold quotes of their own.
std::size_t closingQuote(std::string_view tail) {
    for (std::size_t quote = tail.find('"', 1); quote != npos; quote = tail.find('"', quote + 1)) {
        const std::size_t next = tail.find_first_not_of(' ', quote + 1);
        if (next == npos || UnicodeText::isNumericAt(tail, next)) return quote;
    }
    return npos;
}

bool isZone(std::string_view text) {
    if (text.size() != 5 || (text[0] != '+' && text[0] != '-')) return false;
    return std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The current zone is looked up on every call, so a change of TZ (or of the system's zone) is followed.
std::string logZone(Date date) {
    const int offset = Calendar::current().offsetSeconds(date);
    const int magnitude = std::abs(offset);
    char text[16];
    std::snprintf(text, sizeof text, "%s%02d%02d", offset >= 0 ? "+" : "-", magnitude / 3600,
                  magnitude % 3600 / 60);
    return text;
}

// The value after `keyIs` ("process=") in a wake-request group: quoted, or up to the next space. Only
// the first occurrence of the key counts, wherever it stands, even inside another value.
std::string_view field(std::string_view group, std::string_view keyIs) {
    const std::size_t at = group.find(keyIs);
    if (at == npos) return {};
    std::string_view value = group.substr(at + keyIs.size());
    if (value.starts_with('"')) {
        value.remove_prefix(1);
        return value.substr(0, value.find('"'));
    }
    return value.substr(0, value.find(' '));
}

// The clock time after "wakeAt=" (19 bytes, fewer when the group ends sooner) read in the line's zone.
std::optional<Date> wakeTime(std::string_view group, std::string_view zoneSuffix, LogDateReader& dates) {
    const std::size_t at = group.find("wakeAt=");
    if (at == npos) return std::nullopt;
    const std::string_view clock = group.substr(at + 7, 19);
    char text[64];
    const std::size_t length = std::min(clock.size() + zoneSuffix.size(), sizeof text);
    std::copy_n(clock.begin(), clock.size(), text);
    std::copy_n(zoneSuffix.begin(), length - clock.size(), text + clock.size());
    return dates.read(std::string_view(text, length));
}

// The end of the group that starts `s` (just after its "["): the first "]", unless a quoted info value
// opens before it, whose own closing quote may hide brackets.
std::size_t groupEnd(std::string_view s) {
    const std::size_t close = std::min(s.find(']'), s.size());
    // Searched before the "]" only: a search through the rest of the line for every group would make a
    // line of many groups quadratic.
    const std::size_t info = s.substr(0, close).find("info=\"");
    if (info == npos) return close;
    const std::size_t quote = s.find('"', info + 6);
    if (quote == npos) return close;
    return std::min(s.find(']', quote + 1), s.size());
}

} // namespace

std::optional<AssertionRelease> parseRelease(std::string_view message, Date date) {
    if (!message.starts_with("PID ")) return std::nullopt;
    const std::string_view rest = message.substr(4);
    const std::size_t open = rest.find('(');
    if (open == npos) return std::nullopt;
    const auto pid = DecimalText::integer<int32_t>(rest.substr(0, open));
    if (!pid) return std::nullopt;
    const std::size_t close = rest.find(") ", open);
    if (close == npos) return std::nullopt;
    const std::string_view process = rest.substr(open + 1, close - open - 1);
    const std::string_view words = rest.substr(close + 2);

    std::size_t at = 0;
    const std::string_view verb = nextWord(words, at);
    const std::string_view type = nextWord(words, at);
    const std::string_view tail = words.substr(at);
    if (verb.empty() || type.empty() || tail.empty()) return std::nullopt;
    const std::string_view blockingType = member(sleepBlockingTypes, type);
    if (member(endVerbs, verb).empty() || blockingType.empty()) return std::nullopt;

    std::string_view name;
    std::string_view durationText = tail;
    if (tail.starts_with('"')) {
        if (const std::size_t quote = closingQuote(tail); quote != npos) {
            name = tail.substr(1, quote - 1);
            durationText = tail.substr(quote + 1);
        }
    }
    std::size_t wordAt = 0;
    const double duration = parseDuration(nextWord(durationText, wordAt));
    return AssertionRelease{date, duration, *pid, process, blockingType, name};
}

std::vector<WakeRequest> parseWakeRequests(std::string_view message, Date logged,
                                           std::optional<std::string_view> zone) {
    std::vector<WakeRequest> requests;
    LogDateReader dates;
    appendWakeRequests(message, logged, zone, dates, requests);
    return requests;
}

void appendWakeRequests(std::string_view message, Date logged, std::optional<std::string_view> zone,
                        LogDateReader& dates, std::vector<WakeRequest>& requests) {
    const std::string suffix = " " + (zone && isZone(*zone) ? std::string(*zone) : logZone(logged));
    std::string_view remaining = message;
    while (!remaining.empty()) {
        const std::size_t open = remaining.find('[');
        if (open == npos) break;
        const std::string_view s = remaining.substr(open + 1);
        const std::size_t end = groupEnd(s);
        const std::string_view group = s.substr(0, end);
        remaining = end < s.size() ? s.substr(end + 1) : std::string_view{};

        const std::string_view process = field(group, "process=");
        if (process.empty()) continue;
        requests.push_back({logged, process, field(group, "request="), wakeTime(group, suffix, dates),
                            field(group, "info="), group.starts_with('*')});
    }
}

} // namespace dormio::PowerLogParser
