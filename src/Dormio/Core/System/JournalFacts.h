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
    sleepFailed,  // the attempt to sleep failed and the system carries on
    lidClosed,    //
    lidOpened,    //
    powerKey,     //
    sleepKey,     // the keyboard's suspend or hibernate key
    idle,         // the login manager's idle action
    sleepRequest, // a program asked for sleep; detail: its name when the message gives it
    wakeIrq,      // detail: the interrupt's number
    wakeDevice,   // a wakeup source the kernel names; detail: its name
    unitStarted,  // the service manager starts a unit (the unit is the entry's)
    uncleanEnd,   // the journal found the previous boot's files not closed: that boot ended abruptly
};

struct Fact {
    FactKind kind;
    std::string detail;
};

namespace JournalFacts {

inline constexpr std::string_view sleepSource = "systemd-sleep";
inline constexpr std::string_view loginSource = "systemd-logind";
inline constexpr std::string_view kernelSource = "kernel";
inline constexpr std::string_view managerSource = "systemd"; // the service manager, process 1
inline constexpr std::string_view journalSource = "systemd-journald";

// The fields of an entry that the journal itself records about its writer, which the writer cannot
// choose (unlike SYSLOG_IDENTIFIER): _TRANSPORT, _PID, _UID, _COMM and _EXE.
struct Writer {
    std::string_view transport;
    std::string_view pid;
    std::string_view uid;
    std::string_view comm;
    std::string_view exe;
};

// Which of the sources above wrote an entry: the kernel's transport, the journal's own (driver)
// transport, process 1, or systemd-sleep and systemd-logind by their process name and executable,
// running as root. Empty for any other writer.
std::string_view source(const Writer& writer);

// The fact a message of that source states, or none for every other message.
std::optional<Fact> classify(std::string_view source, std::string_view message);

} // namespace JournalFacts
} // namespace dormio
