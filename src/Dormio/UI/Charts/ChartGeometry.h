#pragma once

// Guards that keep every coordinate a chart hands to the painter finite and within the rasteriser's reach,
// whatever dates a night carries.

#include <algorithm>
#include <cmath>

namespace dormio::Charts {

// Far outside any canvas, yet well inside the fixed-point range Qt's rasteriser works in: a mark placed
// further out could not be seen anyway.
inline constexpr double farOutside = 1e5;

// A coordinate the painter can take: NaN becomes 0, anything beyond farOutside is pulled back to it.
inline double drawable(double coordinate) {
    if (std::isnan(coordinate)) return 0;
    return std::clamp(coordinate, -farOutside, farOutside);
}

// A length of time to divide by: under one second (or not a number) counts as one second, so a night that
// has no length never divides by zero.
inline double atLeastOneSecond(double seconds) {
    return seconds >= 1 ? seconds : 1;
}

} // namespace dormio::Charts
