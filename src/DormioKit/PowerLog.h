#pragma once

// The records of a parsed power log: what the reader keeps of each line it understands.

#include "DormioKit/Date.h"
#include "DormioKit/TextPool.h"

#include <cstdint>
#include <memory>
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
inline int level(PowerState state) {
    return static_cast<int>(state);
}

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

// A busy log holds wake requests and releases by the hundred thousand: their texts are views, into the
// texts of the log that holds them (PowerLog::texts) or into what they were read from.
struct WakeRequest {
    Date logged;
    std::string_view process;
    std::string_view request;
    std::optional<Date> wakeAt;
    std::string_view info;
    bool chosen = false;
};

struct AssertionRelease {
    Date end;
    double duration = 0; // seconds held; 0 when the line gives no readable duration
    int32_t pid = 0;
    std::string_view process;
    std::string_view type;
    std::string_view name;

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
    // The texts that the requests and releases of a read log view, each once. Copies of the log share
    // them; a log put together by hand leaves this empty and views texts that outlive it.
    std::shared_ptr<const TextPool> texts;
};

} // namespace dormio
