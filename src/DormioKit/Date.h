#pragma once

#include <compare>

namespace dormio {

// A point in time: seconds since 2001-01-01 00:00:00 UTC, the epoch every stored file uses.
// Conversions to 1970-based seconds happen only where timegm, ICU or an event identity needs them.
struct Date {
    double seconds = 0;

    static constexpr double unixOffset = 978307200.0; // 2001-01-01 in seconds since 1970

    static constexpr Date fromUnix(double unixSeconds) { return Date{unixSeconds - unixOffset}; }
    constexpr double unix() const { return seconds + unixOffset; }

    constexpr Date operator+(double s) const { return Date{seconds + s}; }
    constexpr Date operator-(double s) const { return Date{seconds - s}; }
    constexpr double operator-(Date other) const { return seconds - other.seconds; }

    constexpr auto operator<=>(const Date&) const = default;
    constexpr bool operator==(const Date&) const = default;
};

} // namespace dormio
