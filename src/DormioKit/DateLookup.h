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

// `lastIndex` for dates asked in rising order, as a night's segments ask them: each answer walks on from
// the one before, so a night costs one pass over its part of the list instead of a bisection per date. A
// date earlier than the one before (or one that does not compare, NaN) is bisected again.
template <typename T> class LastIndexWalk {
public:
    explicit LastIndexWalk(const std::vector<T>& items) : items_(items) {}

    std::optional<std::size_t> at(Date atOrBefore) {
        if (!asked_ || !(lastAsked_ <= atOrBefore)) {
            next_ = firstIndex(atOrBefore, items_);
        } else {
            while (next_ < items_.size() && !(atOrBefore < dateOf(items_[next_])))
                ++next_;
        }
        asked_ = true;
        lastAsked_ = atOrBefore;
        if (next_ == 0) return std::nullopt;
        return next_ - 1;
    }
    const std::vector<T>& items() const { return items_; }

private:
    const std::vector<T>& items_;
    std::size_t next_ = 0; // the first index dated after lastAsked_
    Date lastAsked_;
    bool asked_ = false;
};

} // namespace dormio::NightBuilder
