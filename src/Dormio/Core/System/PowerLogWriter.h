#pragma once

// Writes the power log's text, in the layout the model's reader takes in, from what Linux keeps: sleep and
// wake from the journal, the charge from UPower's history and the wakes that alarms and timers asked for.
// Pure; the dates are written in the local zone (TZ) with their numeric offset.

#include "Dormio/Core/System/JournalEntry.h"
#include "Dormio/Core/System/UPowerHistory.h"
#include "Dormio/Core/System/WakeAlarm.h"

#include <map>
#include <string>
#include <vector>

namespace dormio::PowerLogWriter {

// What the log is written from besides the journal.
struct Inputs {
    ChargeHistory charges;
    std::vector<WakeAlarm> alarms; // the clocks' wake alarms
    std::vector<WakeTimer> timers; // the timers that wake the system
    // The cause words of the kernel's wakeup sources that the system describes ("USB device" for a PCI
    // USB controller), by the name the kernel gives them.
    std::map<std::string, std::string> wakeSources = {};
};

// How the journal's facts become lines:
// - each boot's first entry is a "Start" line, when the journal still holds the boot's beginning;
// - each suspend or hibernation is a "Sleep" line whose cause is the lid, the power key, the idle action,
//   a low battery or a program's request, and none when nothing says; its resume a "Wake" line naming
//   what woke it when something did (the lid, the power key, a wake timer whose unit the service manager
//   starts right after, the kernel's wakeup source or interrupt, the clock's alarm); an attempt that
//   failed is no sleep;
// - a resume that goes back to sleep within two minutes without the user is a "DarkWake" line;
// - the alarms due while asleep are a "Wake Requests" line at the sleep, a wake timer's at its wake;
// - a boot that another follows ends with a "Sleep" line at its last entry, caused by "Shut down", or
//   "Stopped responding" when the next boot's journal found it ended abruptly.
// The messages keep the journal's own words in brackets. A clock set within a boot moves that boot's
// earlier entries onto the later clock, so that a sleep and its wake never trade places.
std::string write(const JournalRead& journal, const Inputs& inputs);

// The log's first lines, before any entry.
extern const char* const header;

} // namespace dormio::PowerLogWriter
