#pragma once

// The one rule of every clock that a test or a developer mode steps by hand. A step lets the time pass as
// it passes for an application that waits in its event loop: every timer falls due at each of its times,
// one after the other in time order (timers due at the same moment in the order they were set), and the
// clock shows that time while the timer runs. A repeating timer fires once for every interval a step
// passes; a timer set while a step runs fires within it when its time comes before the step's end.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace dormio {

// The timers of one stepped clock, each holding what its clock needs to run it. Times are whole
// milliseconds on the clock's own time line.
template <class Payload> class SteppedTimers {
public:
    using Id = uint64_t;

    // A timer due at `due`; a repeating one falls due again every `interval` (at least 1 ms) after it.
    Id add(int64_t due, Payload payload, bool repeating = false, int64_t interval = 0) {
        const Id id = nextID_++;
        timers_.push_back({id, due, repeating ? std::max<int64_t>(interval, 1) : 0, std::move(payload)});
        return id;
    }

    void remove(Id id) {
        std::erase_if(timers_, [id](const Timer& timer) { return timer.id == id; });
    }

    // Runs every timer due at or before `end`, in time order: `run(id, payload, at)` with the time the
    // timer fell due at. What a timer adds or removes as it runs counts for the rest of the step.
    template <class Run> void runUntil(int64_t end, Run&& run) {
        for (;;) {
            const auto next =
                std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
                    return a.due != b.due ? a.due < b.due : a.id < b.id;
                });
            if (next == timers_.end() || next->due > end) return;
            const Timer due = *next;
            if (due.interval > 0)
                next->due += due.interval;
            else
                timers_.erase(next);
            run(due.id, due.payload, due.due);
        }
    }

private:
    struct Timer {
        Id id;
        int64_t due;
        int64_t interval; // 0 for a timer that runs once
        Payload payload;
    };

    std::vector<Timer> timers_;
    Id nextID_ = 1;
};

} // namespace dormio
