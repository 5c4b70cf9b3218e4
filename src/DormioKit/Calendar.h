#pragma once

// The user's calendar: wall-clock days and hours in a time zone, through ICU.

#include "DormioKit/Date.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dormio {

class Calendar {
public:
    // The user's current calendar: the Gregorian calendar in the zone the C library takes (LocalZone), a
    // zone name, a zone file or a POSIX rule in TZ, else the system's zone. TZ is read on every call, so a
    // change of TZ is seen by the next call.
    static Calendar current();
    // A Gregorian calendar in the named zone ("Europe/Berlin", "UTC"); an unknown name gives UTC.
    explicit Calendar(std::string_view zoneId);
    Calendar(const Calendar&);
    Calendar& operator=(const Calendar&);
    ~Calendar();

    // The day of `day` at hour:minute:second on the wall clock. A skipped wall time moves to the next valid
    // one; a repeated one takes its first occurrence. None when the calendar cannot form it.
    std::optional<Date> date(Date day, int hour, int minute = 0, int second = 0) const;
    // `d` moved by whole calendar days (keeping the wall-clock time), or none.
    std::optional<Date> addingDays(Date d, int days) const;
    // The first moment of the day that holds `d`.
    Date startOfDay(Date d) const;
    // "yyyy-MM-dd" of the day that holds `d`, in ASCII digits.
    std::string dayID(Date d) const;
    // The zone's offset from UTC at `d`, in seconds east.
    int offsetSeconds(Date d) const;
    // The zone's name; a zone made from a POSIX rule is named by the rule.
    std::string zoneID() const;

private:
    struct Impl;
    explicit Calendar(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace dormio
