#include "DormioKit/Assertions.h"

#include "DormioKit/DecimalText.h"
#include "DormioKit/DurationText.h"
#include "DormioKit/Hash.h"
#include "DormioKit/UnicodeText.h"

#include <algorithm>
#include <array>

namespace dormio {

namespace {

constexpr std::array<std::string_view, 3> systemSleepTypes = {"PreventUserIdleSystemSleep",
                                                              "PreventSystemSleep", "NoIdleSleepAssertion"};
constexpr std::array<std::string_view, 2> displayTypes = {"PreventUserIdleDisplaySleep",
                                                          "NoDisplaySleepAssertion"};
constexpr std::array<std::string_view, 4> platformProcesses = {"powerd", "WindowServer", "kernel_task",
                                                               "hidd"};

struct FriendlyType {
    std::string_view type;
    std::string_view words;
};

constexpr std::array friendlyTypes = {
    FriendlyType{"PreventUserIdleSystemSleep", "Stops idle sleep"},
    FriendlyType{"NoIdleSleepAssertion", "Stops idle sleep"},
    FriendlyType{"PreventSystemSleep", "Stops all sleep"},
    FriendlyType{"PreventUserIdleDisplaySleep", "Keeps the screen on"},
    FriendlyType{"NoDisplaySleepAssertion", "Keeps the screen on"},
    FriendlyType{"InternalPreventDisplaySleep", "Holds the display briefly"},
    FriendlyType{"BackgroundTask", "Background task"},
    FriendlyType{"ApplePushServiceTask", "Push notification task"},
    FriendlyType{"UserIsActive", "You\u2019re active"},
    FriendlyType{"NetworkClientActive", "Network client active"},
    FriendlyType{"SoftwareUpdateTask", "Software update"},
    FriendlyType{"ExternalMedia", "External media"},
};

template <size_t N> bool contains(const std::array<std::string_view, N>& set, std::string_view value) {
    return std::find(set.begin(), set.end(), value) != set.end();
}

// The byte length of the line ending at the start of `text`, 0 when there is none there.
size_t lineEndingAt(std::string_view text) {
    switch (static_cast<unsigned char>(text[0])) {
    case '\n':
        return 1;
    case '\r':
        return text.size() > 1 && text[1] == '\n' ? 2 : 1;
    case 0xC2: // U+0085 next line
        return text.substr(1, 1) == "\x85" ? 2 : 0;
    case 0xE2: // U+2028 line separator, U+2029 paragraph separator
        return text.substr(1, 2) == "\x80\xA8" || text.substr(1, 2) == "\x80\xA9" ? 3 : 0;
    default:
        return 0;
    }
}

template <class Visit> void forEachLine(std::string_view text, Visit&& visit) {
    size_t start = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t ending = lineEndingAt(text.substr(i));
        if (ending == 0) {
            ++i;
            continue;
        }
        visit(text.substr(start, i - start));
        i += ending;
        start = i;
    }
    if (start < text.size()) visit(text.substr(start));
}

// The text between the first double quote and the last one after it (or the end, with no second quote).
std::string quotedName(std::string_view text) {
    const size_t open = text.find('"');
    if (open == std::string_view::npos) return {};
    const std::string_view after = text.substr(open + 1);
    return std::string(after.substr(0, after.rfind('"')));
}

} // namespace

std::string LiveAssertion::id() const {
    return std::to_string(pid) + "-" + type + "-" + name;
}

bool LiveAssertion::blocksSystemSleep() const {
    return contains(systemSleepTypes, type);
}

bool LiveAssertion::blocksDisplaySleep() const {
    return contains(displayTypes, type);
}

bool LiveAssertion::isPlatform() const {
    return contains(platformProcesses, process);
}

std::string LiveAssertion::friendlyType() const {
    const auto row = std::find_if(friendlyTypes.begin(), friendlyTypes.end(),
                                  [this](const FriendlyType& r) { return r.type == type; });
    return row == friendlyTypes.end() ? type : std::string(row->words);
}

namespace AssertionReader {

Listing current() {
    const auto result = PowerLogParser::run("/usr/bin/pmset", {"-g", "assertions"}, 10);
    return {parse(result.text), result.outcome};
}

std::vector<LiveAssertion> parse(std::string_view text) {
    constexpr std::string_view createdForMarker = "Created for PID:";
    constexpr std::string_view timeoutMarker = "Timeout will fire in";
    std::vector<LiveAssertion> assertions;
    bool inProcessSection = false;
    forEachLine(text, [&](std::string_view rawLine) {
        const std::string_view line = UnicodeText::trimmedWhitespace(rawLine);
        if (line.starts_with("Listed by owning process")) {
            inProcessSection = true;
        } else if (line.starts_with("Kernel Assertions") || line.starts_with("Assertion status")) {
            inProcessSection = false;
        } else if (!inProcessSection) {
            return;
        } else if (line.starts_with("pid ")) {
            if (auto assertion = parseLine(line)) assertions.push_back(std::move(*assertion));
        } else if (assertions.empty()) {
            return;
        } else if (line.starts_with(createdForMarker)) {
            assertions.back().createdFor = DecimalText::leadingInteger<int32_t>(
                UnicodeText::trimmedWhitespace(line.substr(createdForMarker.size())));
        } else if (line.starts_with(timeoutMarker)) {
            assertions.back().timeout = DecimalText::leadingInteger<int64_t>(
                UnicodeText::trimmedWhitespace(line.substr(timeoutMarker.size())));
        }
    });
    return assertions;
}

std::optional<LiveAssertion> parseLine(std::string_view line) {
    constexpr std::string_view marker = "pid ";
    if (!line.starts_with(marker)) return std::nullopt;
    const std::string_view rest = line.substr(marker.size());
    const size_t open = rest.find('(');
    if (open == std::string_view::npos) return std::nullopt;
    const auto pid = DecimalText::integer<int32_t>(rest.substr(0, open));
    if (!pid) return std::nullopt;
    // The process name may hold parentheses itself: "Player (Main)" ends only at "): ".
    const size_t close = rest.find("): ", open);
    if (close == std::string_view::npos) return std::nullopt;

    std::string_view fields = rest.substr(close + 3);
    if (fields.starts_with('[')) {
        if (const size_t bracket = fields.find(']'); bracket != std::string_view::npos)
            fields.remove_prefix(bracket + 1);
    }
    // Positional: the age column, the type, then the rest as it stands.
    const auto word = [&fields]() {
        const size_t start = std::min(fields.find_first_not_of(' '), fields.size());
        const size_t end = std::min(fields.find(' ', start), fields.size());
        const std::string_view found = fields.substr(start, end - start);
        fields.remove_prefix(std::min(end + 1, fields.size()));
        return found;
    };
    const std::string_view age = word();
    const std::string_view type = word();
    if (type.empty()) return std::nullopt;

    LiveAssertion assertion;
    assertion.pid = *pid;
    assertion.process = std::string(rest.substr(open + 1, close - open - 1));
    assertion.type = std::string(type);
    assertion.name = quotedName(fields);
    assertion.age = PowerLogParser::parseDuration(age);
    return assertion;
}

} // namespace AssertionReader

} // namespace dormio

size_t std::hash<dormio::LiveAssertion>::operator()(const dormio::LiveAssertion& a) const noexcept {
    dormio::Hasher hasher;
    hasher.add(a.pid);
    hasher.add(a.process);
    hasher.add(a.type);
    hasher.add(a.name);
    hasher.add(a.age);
    hasher.add(a.createdFor);
    hasher.add(a.timeout);
    return hasher.value();
}
