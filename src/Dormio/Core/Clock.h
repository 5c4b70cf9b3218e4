#pragma once

// The present moment for the whole app. Production reads the system clock; tests and the developer modes
// fix the clock at a moment and step it on by hand, and the timers that run on it (ClockTimer) then fire
// as the steps reach their time. Nothing else reads the system time.

#include "DormioKit/Date.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>

namespace dormio {

// The present moment: the system's, or the fixed clock's. Safe on any thread.
Date currentDate();

class Clock final : public QObject {
    Q_OBJECT
public:
    static Clock& shared();

    bool isFixed() const;
    // Stops the clock at `at`. Main thread only, like the steps.
    void fix(Date at);
    // Moves a fixed clock on, running its timers as the step reaches their times; does nothing on the
    // system clock or for a step that is not positive.
    void step(std::chrono::milliseconds step);
    // Back to the system's time.
    void useSystemTime();

    // Calls `action` once, `delay` from now on this clock, unless `context` has gone by then.
    static void after(std::chrono::milliseconds delay, QObject* context, std::function<void()> action);

signals:
    // The clock was fixed or went back to the system's time.
    void modeChanged();

private:
    Clock() = default;
};

// Holds the app's clock at the present moment while it lives, so that a run of checks sees one moment
// from its first to its last; a clock that is fixed already is left as it is, steps and all.
class HeldClock final {
public:
    HeldClock();
    ~HeldClock();
    HeldClock(const HeldClock&) = delete;
    HeldClock& operator=(const HeldClock&) = delete;

private:
    bool held_;
};

// A timer on the app's clock: a plain timer while the clock runs on the system's time; on a fixed clock
// it runs as the steps reach its times, by the rule of every stepped clock (OstrelKit/SteppedTimers.h).
// Started timers start afresh when the clock is fixed or released.
class ClockTimer final : public QObject {
    Q_OBJECT
public:
    explicit ClockTimer(QObject* parent = nullptr);
    ~ClockTimer() override;

    void setSingleShot(bool singleShot) { singleShot_ = singleShot; }
    void start(std::chrono::milliseconds interval);
    void stop();
    bool isActive() const { return active_; }
    std::chrono::milliseconds interval() const { return interval_; }

signals:
    void timeout();

private:
    friend class Clock;

    void arm();
    void disarm();
    void fire();

    QTimer timer_;
    std::chrono::milliseconds interval_{0};
    uint64_t steppedID_ = 0; // its place among a fixed clock's timers; 0 for none
    bool singleShot_ = false;
    bool active_ = false;
};

} // namespace dormio
