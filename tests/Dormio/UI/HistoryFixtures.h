#pragma once

// Finished nights for the History page's tests, a day apart, each a copy of the ordinary chart night moved
// to its own date, with a store of the test's making that holds them.

#include "ChartFixtures.h"
#include "DormioKit/Night.h"

#include <ctime>
#include <string>
#include <vector>

namespace dormio::test {

// The night `daysAfter` days after the ordinary night, with the id of its morning.
inline Night historyNight(int daysAfter) {
    Night night = ordinaryNight();
    const double by = daysAfter * 86400.0;
    night.start = night.start + by;
    night.end = night.end + by;
    for (Segment& segment : night.segments) {
        segment.start = segment.start + by;
        segment.end = segment.end + by;
    }
    for (NightEvent& event : night.events)
        event.date = event.date + by;
    for (BatteryPoint& point : night.battery)
        point.date = point.date + by;
    // The morning's date on the UTC clock the tests run on.
    const std::time_t morning = static_cast<std::time_t>(night.end.unix());
    std::tm fields{};
    gmtime_r(&morning, &fields);
    char id[16];
    std::strftime(id, sizeof id, "%Y-%m-%d", &fields);
    night.id = id;
    return night;
}

// `count` finished nights, oldest first.
inline std::vector<Night> historyNights(int count) {
    std::vector<Night> nights;
    for (int k = 0; k < count; ++k)
        nights.push_back(historyNight(k));
    return nights;
}

} // namespace dormio::test
