#include "DormioKit/WakeReason.h"

#include "DormioKit/UnicodeText.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <memory>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <utility>

namespace dormio {

namespace {

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string utf8(const icu::UnicodeString& text) {
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
}

// The views of a cause that the rules look at, with the kind of its event.
struct Cause {
    std::string lower;
    std::string_view tail; // after the last "/" of lower
    PowerEventKind kind;

    Cause(const Cause&) = delete; // tail points into lower
    Cause(std::string_view text, PowerEventKind kind)
        : lower(UnicodeText::lowerCase(text)), tail(lower), kind(kind) {
        if (auto slash = tail.rfind('/'); slash != std::string_view::npos) tail.remove_prefix(slash + 1);
    }

    bool contains(std::string_view piece) const { return lower.find(piece) != std::string::npos; }
    bool containsAny(std::initializer_list<std::string_view> pieces) const {
        return std::any_of(pieces.begin(), pieces.end(), [&](std::string_view p) { return contains(p); });
    }
    bool tailContains(std::string_view piece) const { return tail.find(piece) != std::string_view::npos; }

    // Whether `word` is one of the pieces of lower cut at spaces, "/", ".", "(" and ")".
    bool hasWord(std::string_view word) const {
        std::string_view rest = lower;
        while (true) {
            auto cut = rest.find_first_of(" /.()");
            if (rest.substr(0, cut) == word) return true;
            if (cut == std::string_view::npos) return false;
            rest.remove_prefix(cut + 1);
        }
    }
};

std::string_view trimmedOfSpacesAndTabs(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The first `count` user-perceived characters, so that an accent or an emoji is never cut in half.
std::string firstCharacters(std::string_view text, int32_t count) {
    icu::UnicodeString string = unicode(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) return utf8(string.tempSubString(0, string.moveIndex32(0, count)));
    characters->setText(string);
    int32_t end = characters->next(count);
    return utf8(end == icu::BreakIterator::DONE ? string : string.tempSubString(0, end));
}

// The symbol of a cause that no rule names.
constexpr std::string_view otherSymbol = "questionmark";

WakeReason other(std::string_view cause) {
    std::string_view trimmed = trimmedOfSpacesAndTabs(cause);
    if (trimmed.empty()) return {"Unknown reason", std::string(otherSymbol), false};
    return {"Other (" + firstCharacters(trimmed, 24) + ")", std::string(otherSymbol), false};
}

// What a cause matching `matches` means. Kept as data so that every symbol a reason can carry is listed.
struct Rule {
    std::string_view label;
    std::string_view symbol;
    bool isYou;
    bool (*matches)(const Cause&);
};

bool userActivity(const Cause& c) {
    return c.containsAny({"hid activity", "useractivity", "keyboard", "trackpad"});
}

// In order: the first rule that matches gives the reason.
constexpr std::array<Rule, 16> rules{{
    {"You opened the lid", "laptopcomputer", true,
     [](const Cause& c) {
         return c.containsAny({"lidopen", "lid open"});
     }},
    {"Power button pressed", "power", true,
     [](const Cause& c) {
         return c.containsAny({"powerbutton", "pwrb", "power button"});
     }},
    {"Maintenance / Power Nap", "wrench.and.screwdriver", false,
     [](const Cause& c) { return c.tailContains("maintenance"); }},
    {"Scheduled background task", "calendar.badge.clock", false,
     [](const Cause& c) { return c.tailContains("sleepservice"); }},
    {"A notification arrived", "bell", false,
     [](const Cause& c) { return c.lower.starts_with("notification") || c.tailContains("notification"); }},
    {"Charger connected", "powerplug", false,
     [](const Cause& c) {
         return c.containsAny({"acattach", "ac attach"});
     }},
    {"Charger disconnected", "powerplug", false, [](const Cause& c) { return c.contains("acdetach"); }},
    {"You — keyboard or mouse", "keyboard", true,
     [](const Cause& c) {
         return userActivity(c) && c.containsAny({"usb", "xhci"});
     }},
    {"You — wireless keyboard or mouse", "computermouse", true,
     [](const Cause& c) { return userActivity(c) && (c.hasWord("wifibt") || c.contains("bluetooth")); }},
    {"You were back", "person", true, userActivity},
    {"Network keep-alive (Wi-Fi)", "wifi", false,
     [](const Cause& c) {
         return c.contains("e_rx_ip_packet") || c.hasWord("arpt") || c.contains("wlan") || c.hasWord("en0") ||
                c.contains("wifi");
     }},
    {"Scheduled timer", "timer", false,
     [](const Cause& c) {
         return c.hasWord("rtc") || c.containsAny({"spmi", "timer"});
     }},
    {"USB device", "cable.connector", false,
     [](const Cause& c) {
         return c.containsAny({"usb", "xhc"});
     }},
    {"Bluetooth device", "dot.radiowaves.left.and.right", false,
     [](const Cause& c) { return c.contains("bluetooth") || c.hasWord("bt"); }},
    {"Temperature check", "thermometer.medium", false, [](const Cause& c) { return c.contains("thermal"); }},
    {"Mac started up", "power", true, [](const Cause& c) { return c.kind == PowerEventKind::boot; }},
}};

} // namespace

WakeReason WakeReason::classify(std::string_view text, PowerEventKind kind) {
    const Cause cause(text, kind);
    for (const Rule& rule : rules)
        if (rule.matches(cause)) return {std::string(rule.label), std::string(rule.symbol), rule.isYou};
    return other(text);
}

std::vector<std::string_view> WakeReason::allSymbols() {
    std::vector<std::string_view> names;
    for (const Rule& rule : rules)
        names.push_back(rule.symbol);
    names.push_back(otherSymbol);
    return names;
}

std::string WakeReason::sleepLabel(std::string_view cause) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> words{{
        {"Idle Sleep", "Fell asleep after sitting idle"},
        {"Maintenance Sleep", "Back to sleep after maintenance"},
        {"Sleep Service Back to Sleep", "Back to sleep after a background task"},
        {"Notification Wake Back to Sleep", "Back to sleep after a notification"},
        {"Clamshell Sleep", "Lid closed — went to sleep"},
        {"Software Sleep", "Put to sleep from the menu"},
        {"Power Button", "Power button — went to sleep"},
        {"Low Power Sleep", "Battery low — went to sleep"},
        {"Dark Wake Thermal Emergency", "Back to sleep (too warm to stay up)"},
    }};
    for (const auto& [text, plain] : words)
        if (text == cause) return std::string(plain);
    if (cause.empty()) return "Went to sleep";
    return "Went to sleep (" + std::string(cause) + ")";
}

} // namespace dormio
