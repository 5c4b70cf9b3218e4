#pragma once

// The records of a parsed power log: what the reader keeps of each line it understands.

#include "DormioKit/Date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio {

enum class PowerState { asleep, dark, awake, screenOn };

struct PowerStates {
    static constexpr PowerState allCases[] = {PowerState::asleep, PowerState::dark, PowerState::awake,
                                              PowerState::screenOn};
};

std::string_view rawValue(PowerState state);
std::optional<PowerState> powerStateFromRaw(std::string_view text);
std::string_view label(PowerState state); // "Asleep", "Dark wake", "Awake, screen off", "Screen on"
inline int level(PowerState state) { return static_cast<int>(state); }

enum class PowerEventKind { sleep, enterDark, darkWake, wake, darkToFull, boot };

std::string_view rawValue(PowerEventKind kind);
std::optional<PowerEventKind> powerEventKindFromRaw(std::string_view text);
PowerState stateAfter(PowerEventKind kind); // the state the system is in after such an event

struct PowerEvent {
    Date date;
    PowerEventKind kind = PowerEventKind::wake;
    std::string raw;   // the line's message column, kept for display
    std::string cause; // the cause words; "Mac started up" for a boot
    std::optional<bool> onBattery;
    std::optional<int64_t> charge;
};

struct WakeRequest {
    Date logged;
    std::string process;
    std::string request;
    std::optional<Date> wakeAt;
    std::string info;
    bool chosen = false;
};

struct AssertionRelease {
    Date end;
    double duration = 0; // seconds held; 0 when the line gives no readable duration
    int32_t pid = 0;
    std::string process;
    std::string type;
    std::string name;

    Date start() const { return end - duration; }
};

struct DisplayChange {
    Date date;
    bool on = false;
};

struct PowerLog {
    std::vector<PowerEvent> events;         // ascending by date
    std::vector<WakeRequest> requests;      // ascending by logged
    std::vector<AssertionRelease> releases; // ascending by end
    std::vector<DisplayChange> display;     // ascending by date
    std::optional<Date> firstDate;
    int64_t skippedLines = 0;
};

} // namespace dormio
