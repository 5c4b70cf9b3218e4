#pragma once

// Bisections over the log's date-sorted lists: the last element at or before a date, the first after it.

#include "DormioKit/Date.h"
#include "DormioKit/PowerLog.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace dormio::NightBuilder {

inline Date dateOf(const PowerEvent& e) {
    return e.date;
}
inline Date dateOf(const DisplayChange& c) {
    return c.date;
}
inline Date dateOf(const WakeRequest& r) {
    return r.logged;
}
inline Date dateOf(const AssertionRelease& r) {
    return r.end;
}

// The index of the first element dated later than `date`, or the count when there is none.
template <typename T> std::size_t firstIndex(Date after, const std::vector<T>& items) {
    std::size_t lo = 0, hi = items.size();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (after < dateOf(items[mid]))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// The index of the last element dated at or before `date`, or none.
template <typename T> std::optional<std::size_t> lastIndex(Date atOrBefore, const std::vector<T>& items) {
    std::size_t lo = firstIndex(atOrBefore, items);
    if (lo == 0) return std::nullopt;
    return lo - 1;
}

} // namespace dormio::NightBuilder
