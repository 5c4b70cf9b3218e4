#pragma once

// Where the two texts the model reads come from on Linux, which has no `pmset`: the power log from the
// journal, UPower's history and the wake alarms and timers, the assertion listing from the inhibitor locks.
// Both block while they read (D-Bus calls time out after two seconds): call them off the main thread.

#include "Dormio/Core/System/JournalEntry.h"
#include "Dormio/Core/System/WakeAlarm.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dormio::LinuxPower {

// How far back the journal is read: the week the model's nights are built from.
inline constexpr int64_t logSpan = 7 * 86400;

// Where this machine keeps what is read; tests point it at recorded data.
struct Machine {
    std::optional<std::string> journalFolder; // none: the system journal
    QString upowerFolder = QStringLiteral("/var/lib/upower");
    QString powerSupplyFolder = QStringLiteral("/sys/class/power_supply");
    QString pciFolder = QStringLiteral("/sys/bus/pci/devices");
    QString rtcFolder = QStringLiteral("/sys/class/rtc");
    bool useBus = true; // systemd's timers and the inhibitor locks over D-Bus
};
Machine& machine();

// The power log's text, or why there is none.
struct LogText {
    JournalAccess access = JournalAccess::read;
    std::string text; // when read
};

// The power log of the week before `now` (seconds since 1970).
LogText powerLog(JournalSource& journal, const Machine& where, const std::vector<WakeAlarm>& alarms,
                 const std::vector<WakeTimer>& timers, int64_t now);

// The same from this machine.
LogText systemPowerLog(int64_t now);

// The assertion listing of this machine's inhibitor locks; empty without a system bus.
std::string systemAssertions(int64_t now);

} // namespace dormio::LinuxPower
