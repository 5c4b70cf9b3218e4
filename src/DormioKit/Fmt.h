#pragma once

// The one place that writes durations, clock times, days and percentages for the user.

#include "DormioKit/Date.h"

#include <cstdint>
#include <string>

namespace dormio::Fmt {

// "45 s", "59 m", "2 h", "7 h 12 m"; negative and non-finite durations show as 0 s. Both forms give the same
// text.
std::string duration(double seconds, bool shortForm = false);
// Hours and two-digit minutes, hours not limited to 24: "3:05", "25:00".
std::string clock(double seconds);
// "87 %" with a narrow no-break space.
std::string percent(int64_t value);
// A battery drop with a true minus sign, "−4 %"; below 1 point "0 %".
std::string drop(int64_t pointsLost);
// The day and the time: "Tue, 8 Dec, 07:12" in British English.
std::string dayTime(Date date);

// Dates in the user's locale (ICU's default locale) and current time zone.
std::string time(Date date);      // short time style: "07:12"
std::string hour(Date date);      // template "j": "07"
std::string clockTime(Date date); // template "jmm": "07:12"
std::string day(Date date);       // template "EEE d MMM": "Tue, 8 Dec"
std::string longDay(Date date);   // template "EEEE d MMMM": "Tuesday, 8 December"

// The date formatters are made once; this makes them again on next use, for a test that has changed ICU's
// default locale or TZ.
void resetFormatters();

} // namespace dormio::Fmt
