#pragma once

// Cutting a parsed power log into nights: which mornings the log covers and which night is under way. What
// each night holds is made by makeNight (NightEvents.h).

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

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

} // namespace NightBuilder

} // namespace dormio
