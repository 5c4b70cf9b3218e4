#pragma once

// What the model's tests share: moments written on the UTC clock, the TZ and ICU locale that a test pins
// and puts back, and the nights that the record tests start from.

#include "DormioKit/Date.h"
#include "DormioKit/Night.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <unicode/locid.h>
#include <utility>
#include <vector>

namespace dormio::test {

inline Date utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return Date::fromUnix(static_cast<double>(timegm(&fields)));
}

// Keeps TZ as it was when made and puts it back when it goes; `set` changes it meanwhile. The C library reads
// the zone again at each change, so that localtime_r follows it too.
class ScopedTZ {
public:
    ScopedTZ() {
        if (const char* tz = std::getenv("TZ")) saved_ = tz;
    }
    explicit ScopedTZ(const char* zone) : ScopedTZ() { set(zone); }
    ScopedTZ(const ScopedTZ&) = delete;
    ScopedTZ& operator=(const ScopedTZ&) = delete;
    ~ScopedTZ() {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    void set(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

// The same for ICU's default locale, which the date formats and the user's language follow.
class ScopedLocale {
public:
    ScopedLocale() = default;
    explicit ScopedLocale(const char* name) { set(name); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    ~ScopedLocale() {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(saved_, status);
    }

    void set(const char* name) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name), status);
    }

private:
    icu::Locale saved_ = icu::Locale::getDefault();
};

inline Night emptyNight(Date start, Date end, std::vector<Segment> segments = {}) {
    return Night{"2024-03-10", start, end, std::move(segments), {}, {}, false, false, {}, false, false};
}

// A night with a value in every field: its first event has every optional member, its second none.
inline Night sampleNight() {
    using Kind = NightEvent::Kind;
    return Night{
        .id = "2024-03-10",
        .start = Date{731800800},
        .end = Date{731842200},
        .segments = {{Date{731800800}, Date{731810000}, PowerState::screenOn},
                     {Date{731810000}, Date{731842200}, PowerState::asleep}},
        .events = {{Date{731810000}, Kind::fellAsleep, "Fell asleep", "moon.zzz", "Entering Sleep", 1200, 80,
                    "com.apple.alarm", "Idle"},
                   {Date{731820000}, Kind::darkWake, "Dark wake", "moon.haze", "DarkWake from Sleep", 45.5,
                    std::nullopt, std::nullopt, std::nullopt}},
        .battery = {{Date{731800800}, 90}, {Date{731842200.5}, 84}},
        .hasBattery = true,
        .pluggedIn = false,
        .keptAwake = {{"backupd", "Backup", "PreventUserIdleSystemSleep", 600.5}},
        .isDemo = false,
        .inProgress = false,
    };
}

} // namespace dormio::test
