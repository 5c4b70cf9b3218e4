#pragma once

// The app's clock fixed for the life of a test, at a moment of its choosing (by default the present),
// and moved on only by the test's steps.

#include "Dormio/Core/Clock.h"
#include "DormioKit/Date.h"

#include <chrono>

namespace dormio::testing {

class FixedClock {
public:
    explicit FixedClock(Date at = currentDate()) { Clock::shared().fix(at); }
    ~FixedClock() { Clock::shared().useSystemTime(); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    void step(std::chrono::milliseconds time) { Clock::shared().step(time); }
};

} // namespace dormio::testing
