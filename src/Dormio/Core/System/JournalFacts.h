#pragma once

// What a journal message says about sleep and wake, told by the message forms systemd-sleep,
// systemd-logind and the kernel's power management write. Pure functions; safe on any thread.

#include <optional>
#include <string>
#include <string_view>

namespace dormio {

enum class FactKind {
    sleepStart,   // the system begins to sleep; detail: the sleep mode ("deep", "s2idle", "suspend", ...)
    sleepEnd,     // the system is back
    lidClosed,    //
    lidOpened,    //
    powerKey,     //
    sleepKey,     // the keyboard's suspend or hibernate key
    idle,         // the login manager's idle action
    sleepRequest, // a program asked for sleep; detail: its name when the message gives it
    wakeIrq,      // detail: the interrupt's number
    wakeDevice,   // a wakeup source the kernel names; detail: its name
};

struct Fact {
    FactKind kind;
    std::string detail;
};

namespace JournalFacts {

inline constexpr std::string_view sleepIdentifier = "systemd-sleep";
inline constexpr std::string_view loginIdentifier = "systemd-logind";
inline constexpr std::string_view kernelIdentifier = "kernel";

// The fact a message of that identifier states, or none for every other message.
std::optional<Fact> classify(std::string_view identifier, std::string_view message);

} // namespace JournalFacts
} // namespace dormio
