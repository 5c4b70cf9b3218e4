#pragma once

// A wall-clock moment in a named zone; test::ScopedTZ (ZoneAndLocale.h) makes the zone the process's own.

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"
#include "ZoneAndLocale.h"

#include <ctime>
#include <string>

namespace dormio::testing {

// The moment the zone's wall clock shows yyyy-mm-dd hh:mm (the first of two, in a repeated hour).
inline Date localMoment(const std::string& zone, int year, int month, int day, int hour, int minute = 0) {
    std::tm noon{};
    noon.tm_year = year - 1900;
    noon.tm_mon = month - 1;
    noon.tm_mday = day;
    noon.tm_hour = 12;
    return *Calendar(zone).date(Date::fromUnix(double(timegm(&noon))), hour, minute);
}

} // namespace dormio::testing
