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

// The three views of a cause that the rules look at.
struct Cause {
    std::string lower;
    std::string_view tail; // after the last "/" of lower

    Cause(const Cause&) = delete; // tail points into lower
    explicit Cause(std::string_view text) : lower(UnicodeText::lowerCase(text)), tail(lower) {
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

WakeReason other(std::string_view cause) {
    std::string_view trimmed = trimmedOfSpacesAndTabs(cause);
    if (trimmed.empty()) return {"Unknown reason", "questionmark", false};
    return {"Other (" + firstCharacters(trimmed, 24) + ")", "questionmark", false};
}

} // namespace

WakeReason WakeReason::classify(std::string_view text, PowerEventKind kind) {
    const Cause cause(text);
    if (cause.containsAny({"lidopen", "lid open"})) return {"You opened the lid", "laptopcomputer", true};
    if (cause.containsAny({"powerbutton", "pwrb", "power button"}))
        return {"Power button pressed", "power", true};
    if (cause.tailContains("maintenance"))
        return {"Maintenance / Power Nap", "wrench.and.screwdriver", false};
    if (cause.tailContains("sleepservice"))
        return {"Scheduled background task", "calendar.badge.clock", false};
    if (cause.lower.starts_with("notification") || cause.tailContains("notification"))
        return {"A notification arrived", "bell", false};
    if (cause.containsAny({"acattach", "ac attach"})) return {"Charger connected", "powerplug", false};
    if (cause.contains("acdetach")) return {"Charger disconnected", "powerplug", false};
    if (cause.containsAny({"hid activity", "useractivity", "keyboard", "trackpad"})) {
        if (cause.containsAny({"usb", "xhci"})) return {"You — keyboard or mouse", "keyboard", true};
        if (cause.hasWord("wifibt") || cause.contains("bluetooth"))
            return {"You — wireless keyboard or mouse", "computermouse", true};
        return {"You were back", "person", true};
    }
    if (cause.contains("e_rx_ip_packet") || cause.hasWord("arpt") || cause.contains("wlan") ||
        cause.hasWord("en0") || cause.contains("wifi"))
        return {"Network keep-alive (Wi-Fi)", "wifi", false};
    if (cause.hasWord("rtc") || cause.containsAny({"spmi", "timer"}))
        return {"Scheduled timer", "timer", false};
    if (cause.containsAny({"usb", "xhc"})) return {"USB device", "cable.connector", false};
    if (cause.contains("bluetooth") || cause.hasWord("bt"))
        return {"Bluetooth device", "dot.radiowaves.left.and.right", false};
    if (cause.contains("thermal")) return {"Temperature check", "thermometer.medium", false};
    if (kind == PowerEventKind::boot) return {"Mac started up", "power", true};
    return other(text);
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
