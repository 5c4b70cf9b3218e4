#pragma once

// Cutting a parsed power log into nights: which mornings the log covers and which night is under way. What
// each night holds is made by makeNight (NightEvents.h).

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

#include <optional>
#include <vector>

namespace dormio {

struct NightWindow;

namespace NightBuilder {

// One night per covered morning of the log, oldest first; the night whose window has not ended is in
// progress.
std::vector<Night> build(const PowerLog& log, const NightWindow& window, Date now, const Calendar& calendar);

// Whether the log says anything about the window: something happened inside it, or the state before it
// carried on (nothing after it, or something after it that is not a start-up).
bool isCovered(const PowerLog& log, Date start, Date end);

// Whether something happened inside the window (from a second before its start): a state event or a
// display change. A covered window that is not witnessed only carries the state before it on.
bool isWitnessed(const PowerLog& log, Date start, Date end);

// The date of the log's latest record of any kind, none for a log that holds none.
std::optional<Date> lastDate(const PowerLog& log);

} // namespace NightBuilder

} // namespace dormio
