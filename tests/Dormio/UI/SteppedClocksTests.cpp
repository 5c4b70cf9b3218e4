// The app's clock and the kit's clock, both stepped by hand, run their timers by one rule: a step lets the
// time pass as it would for an app waiting in its event loop. One table, run against each clock.

#include "Dormio/Core/Clock.h"
#include "FixedClock.h"
#include "OstrelKit/KitClock.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

namespace dormio::testing {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

// What a test asks of a stepped clock: timers by name, steps, and the time the clock shows.
class Stepped {
public:
    virtual ~Stepped() = default;
    // `then` runs when the timer fires, after its firing is noted.
    virtual void once(const QString& name, milliseconds delay, std::function<void()> then) = 0;
    virtual void every(const QString& name, milliseconds interval) = 0;
    // The timer goes, as its owner would.
    virtual void cancel(const QString& name) = 0;
    virtual void step(milliseconds time) = 0;
    virtual milliseconds elapsed() const = 0;

    // "name@ms" for every firing, in order, with the time the clock showed.
    QStringList fired;

protected:
    void note(const QString& name) { fired << QString("%1@%2").arg(name).arg(elapsed().count()); }
};

// The app's clock, fixed and stepped; its timers are ClockTimers.
class AppClock final : public Stepped {
public:
    void once(const QString& name, milliseconds delay, std::function<void()> then) override {
        ClockTimer& timer = make(name);
        timer.setSingleShot(true);
        QObject::connect(&timer, &ClockTimer::timeout, [this, name, then] {
            note(name);
            if (then) then();
        });
        timer.start(delay);
    }
    void every(const QString& name, milliseconds interval) override {
        ClockTimer& timer = make(name);
        QObject::connect(&timer, &ClockTimer::timeout, [this, name] { note(name); });
        timer.start(interval);
    }
    void cancel(const QString& name) override { timers_.erase(name); }
    void step(milliseconds time) override { clock_.step(time); }
    milliseconds elapsed() const override {
        return milliseconds(std::llround((currentDate() - start_) * 1000));
    }

private:
    ClockTimer& make(const QString& name) { return *(timers_[name] = std::make_unique<ClockTimer>()); }

    FixedClock clock_;
    Date start_ = currentDate();
    std::map<QString, std::unique_ptr<ClockTimer>> timers_;
};

// The kit's clock in step mode; a timer ends with the object it was set for.
class Kit final : public Stepped {
public:
    void once(const QString& name, milliseconds delay, std::function<void()> then) override {
        clock_.after(seconds(delay), &owner(name), [this, name, then] {
            note(name);
            if (then) then();
        });
    }
    void every(const QString& name, milliseconds interval) override {
        clock_.every(seconds(interval), &owner(name), [this, name] { note(name); });
    }
    void cancel(const QString& name) override { owners_.erase(name); }
    void step(milliseconds time) override { clock_.advance(seconds(time)); }
    milliseconds elapsed() const override { return milliseconds(start_.msecsTo(clock_.now())); }

private:
    static double seconds(milliseconds time) { return double(time.count()) / 1000; }
    QObject& owner(const QString& name) {
        auto& owner = owners_[name];
        if (!owner) owner = std::make_unique<QObject>();
        return *owner;
    }

    KitClock clock_{KitClock::Mode::step};
    QDateTime start_ = clock_.now();
    std::map<QString, std::unique_ptr<QObject>> owners_;
};

struct Case {
    const char* what;
    std::function<void(Stepped&)> run;
    QStringList fired;
};

const std::vector<Case> cases = {
    {"a timer that runs once, reached in two steps",
     [](Stepped& c) {
         c.once("a", 1000ms, {});
         c.step(999ms);
         c.step(1ms);
         c.step(5s);
     },
     {"a@1000"}},
    {"a timer that runs once, passed in one step",
     [](Stepped& c) {
         c.once("a", 1000ms, {});
         c.step(3s);
     },
     {"a@1000"}},
    {"a repeating timer, once per interval",
     [](Stepped& c) {
         c.every("a", 1000ms);
         for (const milliseconds step : {1000ms, 1000ms, 500ms, 500ms})
             c.step(step);
     },
     {"a@1000", "a@2000", "a@3000"}},
    {"a repeating timer that a long step carries past several intervals fires at each",
     [](Stepped& c) {
         c.every("a", 1000ms);
         c.step(3500ms);
         c.step(500ms);
     },
     {"a@1000", "a@2000", "a@3000", "a@4000"}},
    {"timers in time order, each at its own time",
     [](Stepped& c) {
         c.every("every", 10s);
         c.once("once", 15s, {});
         c.step(9999ms);
         c.step(25001ms);
     },
     {"every@10000", "once@15000", "every@20000", "every@30000"}},
    {"timers due at the same moment run in the order they were set",
     [](Stepped& c) {
         c.once("first", 500ms, {});
         c.every("second", 500ms);
         c.once("third", 500ms, {});
         c.step(500ms);
     },
     {"first@500", "second@500", "third@500"}},
    {"a timer set by a timer runs in the same step when its time comes",
     [](Stepped& c) {
         c.once("first", 1000ms, [&c] { c.once("second", 1000ms, {}); });
         c.step(3s);
     },
     {"first@1000", "second@2000"}},
    {"a timer gone before its time never runs, also when it goes during the step",
     [](Stepped& c) {
         c.every("kept", 1000ms);
         c.every("gone", 1000ms);
         c.once("ender", 1500ms, [&c] { c.cancel("gone"); });
         c.step(3s);
     },
     {"kept@1000", "gone@1000", "ender@1500", "kept@2000", "kept@3000"}},
};

template <class Clock> void runTable(const char* clock) {
    for (const Case& c : cases) {
        Clock stepped;
        c.run(stepped);
        EXPECT_EQ(stepped.fired, c.fired) << clock << ": " << c.what;
    }
}

TEST(SteppedClocks, TheAppsClockRunsItsTimersByTheRule) {
    runTable<AppClock>("the app's clock");
}

TEST(SteppedClocks, TheKitsClockRunsItsTimersByTheRule) {
    runTable<Kit>("the kit's clock");
}

} // namespace
} // namespace dormio::testing
