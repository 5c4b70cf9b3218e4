#pragma once

// Writes the power log's text, in the layout the model's reader takes in, from what Linux keeps: sleep and
// wake from the journal, the charge from UPower's history and the wakes that timers asked for.
// Pure; the dates are written in the local zone (TZ) with their numeric offset.

#include "Dormio/Core/System/JournalEntry.h"
#include "Dormio/Core/System/UPowerHistory.h"
#include "Dormio/Core/System/WakeAlarm.h"

#include <string>
#include <vector>

namespace dormio::PowerLogWriter {

// How the journal's facts become lines:
// - each boot's first entry is a "Start" line, when the journal still holds the boot's beginning;
// - each suspend or hibernation is a "Sleep" line whose cause is the lid, the power key, the idle action,
//   a low battery or else a program's request, and its resume a "Wake" line naming what woke it when
//   something did (the lid, the power key, the kernel's wakeup source or interrupt, a timer's alarm);
// - a resume that goes back to sleep within two minutes without the user is a "DarkWake" line;
// - the alarms due while asleep are a "Wake Requests" line at the sleep.
// The messages keep the journal's own words in brackets. A clock set within a boot moves that boot's
// earlier entries onto the later clock, so that a sleep and its wake never trade places.
std::string write(const JournalRead& journal, const ChargeHistory& charges,
                  const std::vector<WakeAlarm>& alarms);

// The log's first lines, before any entry.
extern const char* const header;

} // namespace dormio::PowerLogWriter
