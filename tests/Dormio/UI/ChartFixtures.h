#pragma once

// Nights for the chart tests, written in minutes from their start, and the wall clock of a zone.

#include "../../DormioKit/TestEnvironment.h"
#include "Dormio/UI/Charts/ChartLabel.h"
#include "Dormio/UI/Kit/CanvasPalette.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/Night.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <cstdio>
#include <functional>
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

// For its lifetime the clock labels read in British English on the UTC clock.
class BritishUtcClock {
public:
    BritishUtcClock() { Fmt::resetFormatters(); }
    ~BritishUtcClock() { Fmt::resetFormatters(); }

private:
    ScopedTZ tz_{"UTC"};
    ScopedLocale locale_{"en_GB"};
};

// A chart drawn by `draw` on a canvas of `size` points at twice the pixels, over the palette's card (the
// panel the charts sit on).
inline QImage onCard(QSizeF size, const CanvasPalette& palette, const std::function<void(QPainter&)>& draw) {
    QImage image((size * 2).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(palette.card);
    QPainter painter(&image);
    draw(painter);
    return image;
}

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

// Eight hours from 23:00 UTC, as a laptop spends them: the screen on, awake with the screen off, asleep
// with two dark wakes (one held up by Time Machine), a spell awake with the screen off, asleep again, and
// the screen on in the morning; the battery read every half hour, losing 11 points.
inline Night ordinaryNight() {
    using Kind = NightEvent::Kind;
    Night night = nightOf(utc(2024, 5, 10, 23), 480,
                          {{0, 25, PowerState::screenOn},
                           {25, 40, PowerState::awake},
                           {40, 150, PowerState::asleep},
                           {150, 152, PowerState::dark},
                           {152, 260, PowerState::asleep},
                           {260, 263, PowerState::dark},
                           {263, 275, PowerState::awake},
                           {275, 440, PowerState::asleep},
                           {440, 480, PowerState::screenOn}},
                          {{0, Kind::awakeAtStart},
                           {40, Kind::fellAsleep},
                           {150, Kind::darkWake},
                           {260, Kind::darkWake},
                           {263, Kind::stayedAwake},
                           {275, Kind::fellAsleep},
                           {440, Kind::screenOn}});
    const char* labels[] = {"You were still using your Mac",
                            "Idle sleep",
                            "Maintenance / Power Nap",
                            "Network keep-alive (Wi-Fi)",
                            "Stayed awake with the screen off",
                            "Idle sleep",
                            "You used your Mac"};
    for (std::size_t i = 0; i < night.events.size(); ++i)
        night.events[i].label = labels[i];
    night.events[2].scheduledBy = "Woken by: Maintenance / Power Nap";
    night.events[4].culprit = "backupd";
    night.hasBattery = true;
    for (int half = 0; half <= 16; ++half)
        night.battery.push_back({night.start + half * 1800.0, 92 - int64_t(half * 11 / 16)});
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
