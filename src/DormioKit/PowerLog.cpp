#include "DormioKit/PowerLog.h"

#include <array>
#include <utility>

namespace dormio {

namespace {

constexpr std::array<std::pair<PowerState, std::string_view>, 4> stateNames{{
    {PowerState::asleep, "asleep"},
    {PowerState::dark, "dark"},
    {PowerState::awake, "awake"},
    {PowerState::screenOn, "screenOn"},
}};

constexpr std::array<std::pair<PowerEventKind, std::string_view>, 6> kindNames{{
    {PowerEventKind::sleep, "sleep"},
    {PowerEventKind::enterDark, "enterDark"},
    {PowerEventKind::darkWake, "darkWake"},
    {PowerEventKind::wake, "wake"},
    {PowerEventKind::darkToFull, "darkToFull"},
    {PowerEventKind::boot, "boot"},
}};

template <typename Enum, std::size_t N>
std::optional<Enum> fromRaw(const std::array<std::pair<Enum, std::string_view>, N>& table,
                            std::string_view text) {
    for (const auto& [value, name] : table)
        if (name == text) return value;
    return std::nullopt;
}

} // namespace

std::string_view rawValue(PowerState state) {
    return stateNames[static_cast<std::size_t>(state)].second;
}

std::optional<PowerState> powerStateFromRaw(std::string_view text) {
    return fromRaw(stateNames, text);
}

std::string_view label(PowerState state) {
    switch (state) {
    case PowerState::asleep:
        return "Asleep";
    case PowerState::dark:
        return "Dark wake";
    case PowerState::awake:
        return "Awake, screen off";
    case PowerState::screenOn:
        return "Screen on";
    }
    return {};
}

std::string_view rawValue(PowerEventKind kind) {
    return kindNames[static_cast<std::size_t>(kind)].second;
}

std::optional<PowerEventKind> powerEventKindFromRaw(std::string_view text) {
    return fromRaw(kindNames, text);
}

PowerState stateAfter(PowerEventKind kind) {
    switch (kind) {
    case PowerEventKind::sleep:
        return PowerState::asleep;
    case PowerEventKind::enterDark:
    case PowerEventKind::darkWake:
        return PowerState::dark;
    case PowerEventKind::wake:
    case PowerEventKind::darkToFull:
    case PowerEventKind::boot:
        return PowerState::awake;
    }
    return PowerState::awake;
}

} // namespace dormio
