#include "Dormio/Core/Clock.h"

#include "OstrelKit/SteppedTimers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <utility>

namespace dormio {

namespace {

// Read by the log reads off the main thread; written on the main thread only. The steps are counted in
// whole milliseconds, so that steps that add up to a timer's interval reach it exactly.
std::atomic<bool> fixed{false};
std::atomic<double> fixedAt{0};
std::atomic<int64_t> steppedMs{0};

// The started timers of the fixed clock; main thread only.
SteppedTimers<ClockTimer*>& steppedTimers() {
    static SteppedTimers<ClockTimer*> timers;
    return timers;
}

} // namespace

Date currentDate() {
    if (fixed.load()) return Date{fixedAt.load() + double(steppedMs.load()) / 1000};
    using namespace std::chrono;
    return Date::fromUnix(duration<double>(system_clock::now().time_since_epoch()).count());
}

Clock& Clock::shared() {
    static Clock* clock = new Clock(); // never destroyed: the timers on it live as long as the process
    return *clock;
}

bool Clock::isFixed() const {
    return fixed.load();
}

void Clock::fix(Date at) {
    fixedAt.store(at.seconds);
    steppedMs.store(0);
    fixed.store(true);
    emit modeChanged();
}

void Clock::step(std::chrono::milliseconds step) {
    if (!fixed.load() || step.count() <= 0) return;
    const int64_t end = steppedMs.load() + step.count();
    steppedTimers().runUntil(end, [](uint64_t, ClockTimer* timer, int64_t at) {
        steppedMs.store(at);
        timer->fire();
    });
    steppedMs.store(end);
}

void Clock::useSystemTime() {
    fixed.store(false);
    emit modeChanged();
}

void Clock::after(std::chrono::milliseconds delay, QObject* context, std::function<void()> action) {
    auto* timer = new ClockTimer(context);
    timer->setSingleShot(true);
    connect(timer, &ClockTimer::timeout, context, [timer, action = std::move(action)] {
        timer->deleteLater();
        action();
    });
    timer->start(delay);
}

HeldClock::HeldClock() : held_(!Clock::shared().isFixed()) {
    if (held_) Clock::shared().fix(currentDate());
}

HeldClock::~HeldClock() {
    if (held_) Clock::shared().useSystemTime();
}

ClockTimer::ClockTimer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ClockTimer::fire);
    connect(&Clock::shared(), &Clock::modeChanged, this, [this] {
        if (active_) arm();
    });
}

ClockTimer::~ClockTimer() {
    disarm();
}

void ClockTimer::start(std::chrono::milliseconds interval) {
    interval_ = std::max(interval, std::chrono::milliseconds(0));
    active_ = true;
    arm();
}

void ClockTimer::stop() {
    active_ = false;
    disarm();
}

void ClockTimer::arm() {
    disarm();
    if (Clock::shared().isFixed()) {
        steppedID_ =
            steppedTimers().add(steppedMs.load() + interval_.count(), this, !singleShot_, interval_.count());
        return;
    }
    timer_.setSingleShot(singleShot_);
    // The timer counts whole milliseconds in an int; a longer interval waits as long as it can.
    timer_.start(int(std::min<int64_t>(interval_.count(), std::numeric_limits<int>::max())));
}

void ClockTimer::disarm() {
    timer_.stop();
    steppedTimers().remove(std::exchange(steppedID_, 0));
}

void ClockTimer::fire() {
    if (singleShot_) stop();
    emit timeout();
}

} // namespace dormio
