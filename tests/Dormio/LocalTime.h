#pragma once

// A wall-clock moment in a named zone, and that zone made the process's own (TZ) for the life of a test.

#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"

#include <cstdlib>
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

class PinnedZone {
public:
    explicit PinnedZone(const std::string& zone) : saved_(std::getenv("TZ") ? std::getenv("TZ") : "UTC") {
        set(zone);
    }
    ~PinnedZone() { set(saved_); }
    PinnedZone(const PinnedZone&) = delete;
    PinnedZone& operator=(const PinnedZone&) = delete;

private:
    static void set(const std::string& zone) {
        setenv("TZ", zone.c_str(), 1);
        tzset();
    }

    std::string saved_;
};

} // namespace dormio::testing
