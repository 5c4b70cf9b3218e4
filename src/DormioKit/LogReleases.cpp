#include "DormioKit/LogReleases.h"

#include "DormioKit/Calendar.h"
#include "DormioKit/DecimalText.h"
#include "DormioKit/DurationText.h"
#include "DormioKit/PowerLogParser.h"
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

template <std::size_t N> bool isMember(const std::array<std::string_view, N>& set, std::string_view word) {
    return std::find(set.begin(), set.end(), word) != set.end();
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

std::optional<Date> wakeTime(std::string_view group, std::string_view zoneSuffix) {
    const std::size_t at = group.find("wakeAt=");
    if (at == npos) return std::nullopt;
    std::string text(group.substr(at + 7, 19));
    text += zoneSuffix;
    return parseDate(text);
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
    if (!isMember(endVerbs, verb) || !isMember(sleepBlockingTypes, type)) return std::nullopt;

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
    return AssertionRelease{date, duration, *pid, std::string(process), std::string(type), std::string(name)};
}

std::vector<WakeRequest> parseWakeRequests(std::string_view message, Date logged,
                                           std::optional<std::string_view> zone) {
    const std::string suffix = " " + (zone && isZone(*zone) ? std::string(*zone) : logZone(logged));
    std::vector<WakeRequest> requests;
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
        requests.push_back({logged, std::string(process), std::string(field(group, "request=")),
                            wakeTime(group, suffix), std::string(field(group, "info=")),
                            group.starts_with('*')});
    }
    return requests;
}

} // namespace dormio::PowerLogParser
