#include "Dormio/Core/Clock.h"
#include "FixedClock.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace dormio::testing {
namespace {

using namespace std::chrono_literals;

constexpr Date noon = Date::fromUnix(1'700'000'000);

TEST(Clock, AFixedClockStandsStillAndMovesByItsSteps) {
    ASSERT_FALSE(Clock::shared().isFixed());
    const Date before = currentDate();
    {
        FixedClock clock(noon);
        EXPECT_TRUE(Clock::shared().isFixed());
        EXPECT_EQ(currentDate(), noon);
        QTest::qWait(5);
        EXPECT_EQ(currentDate(), noon);
        clock.step(1500ms);
        EXPECT_EQ(currentDate(), noon + 1.5);
        clock.step(0ms);
        clock.step(-10s);
        EXPECT_EQ(currentDate(), noon + 1.5);
    }
    EXPECT_FALSE(Clock::shared().isFixed());
    EXPECT_GE(currentDate(), before);
    // The system clock takes no steps.
    Clock::shared().step(1h);
    EXPECT_LT(currentDate(), before + 600);
}

TEST(Clock, AStoppedOrRestartedTimerKeepsToItsNewTime) {
    FixedClock clock(noon);
    ClockTimer timer;
    QSignalSpy fired(&timer, &ClockTimer::timeout);
    timer.start(1s);
    clock.step(800ms);
    timer.start(1s); // counts from now
    clock.step(800ms);
    EXPECT_EQ(fired.count(), 0);
    clock.step(200ms);
    EXPECT_EQ(fired.count(), 1);
    timer.stop();
    clock.step(5s);
    EXPECT_EQ(fired.count(), 1);
}

TEST(Clock, TimersFollowTheClockBetweenSystemAndFixedTime) {
    // Started on the system clock, a timer waits for steps once the clock is fixed.
    ClockTimer timer;
    QSignalSpy fired(&timer, &ClockTimer::timeout);
    timer.start(30s);
    {
        FixedClock clock(noon);
        clock.step(29s);
        EXPECT_EQ(fired.count(), 0);
        clock.step(1s);
        EXPECT_EQ(fired.count(), 1);
    }
    // And back on the system clock it runs as a plain timer.
    timer.start(1ms);
    EXPECT_TRUE(fired.wait(1000));
}

TEST(Clock, AfterCallsOnceUnlessItsContextHasGone) {
    FixedClock clock(noon);
    int calls = 0;
    auto context = std::make_unique<QObject>();
    Clock::after(1500ms, context.get(), [&] { ++calls; });
    clock.step(1499ms);
    EXPECT_EQ(calls, 0);
    clock.step(1ms);
    EXPECT_EQ(calls, 1);
    clock.step(10s);
    EXPECT_EQ(calls, 1);

    Clock::after(1s, context.get(), [&] { ++calls; });
    context.reset();
    clock.step(2s);
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace dormio::testing
