#pragma once

// Nights for the chart tests, written in minutes from their start, and the wall clock of a zone.

#include "../../DormioKit/TestEnvironment.h"
#include "Dormio/UI/Charts/ChartLabel.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/Night.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

// Geometry in a failed expectation reads as numbers.
inline void PrintTo(const QPointF& p, std::ostream* out) {
    *out << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QLineF& l, std::ostream* out) {
    *out << "(" << l.x1() << ", " << l.y1() << ") → (" << l.x2() << ", " << l.y2() << ")";
}
inline void PrintTo(const QRectF& r, std::ostream* out) {
    *out << "(" << r.x() << ", " << r.y() << " " << r.width() << " × " << r.height() << ")";
}
namespace dormio::Charts {
inline void PrintTo(const ChartLabel& label, std::ostream* out) {
    *out << '"' << label.text.toStdString() << "\" at ";
    ::PrintTo(label.at, out);
    *out << " anchor " << int(label.anchor);
}
} // namespace dormio::Charts

namespace dormio::test {

struct Stretch {
    double from = 0; // minutes after the night's start
    double to = 0;
    PowerState state = PowerState::asleep;
};

struct Moment {
    double at = 0; // minutes after the night's start
    NightEvent::Kind kind = NightEvent::Kind::darkWake;
};

inline Night nightOf(Date start, double minutes, const std::vector<Stretch>& stretches = {},
                     const std::vector<Moment>& moments = {}) {
    Night night = emptyNight(start, start + minutes * 60);
    for (const Stretch& s : stretches)
        night.segments.push_back({start + s.from * 60, start + s.to * 60, s.state});
    for (const Moment& m : moments)
        night.events.push_back(NightEvent{.date = start + m.at * 60, .kind = m.kind, .label = "moment"});
    return night;
}

// "yyyy-MM-dd HH:mm" on the calendar's wall clock. A time the clock skips moves on to the next valid one.
inline Date wall(const Calendar& calendar, const char* text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    std::sscanf(text, "%d-%d-%d %d:%d", &year, &month, &day, &hour, &minute);
    return *calendar.date(utc(year, month, day, 12), hour, minute);
}

// "HH:mm" of a date on the calendar's wall clock.
inline std::string wallClock(const Calendar& calendar, Date date) {
    const long long local = static_cast<long long>(date.unix()) + calendar.offsetSeconds(date);
    const long long ofDay = ((local % 86400) + 86400) % 86400;
    char text[8];
    std::snprintf(text, sizeof text, "%02lld:%02lld", ofDay / 3600, ofDay / 60 % 60);
    return text;
}

} // namespace dormio::test
