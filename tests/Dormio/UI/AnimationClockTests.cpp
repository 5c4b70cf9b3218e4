#include "Dormio/UI/Kit/AnimationClock.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace dormio {
namespace {

using namespace std::chrono_literals;

// Deletes what deleteLater left, as the event loop would.
void collectDeleted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AnimationClockTest : public testing::Test {
protected:
    AnimationClock clock;
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    std::vector<double> frames;
    int finished = 0;

    Tween recorded(double from, double to, std::chrono::milliseconds duration,
                   QEasingCurve easing = QEasingCurve::Linear) {
        return {from,
                to,
                duration,
                easing,
                [this](double value) { frames.push_back(value); },
                [this] { ++finished; }};
    }
};

TEST_F(AnimationClockTest, SteppedTimeMovesAValueAlongItsCurve) {
    struct Case {
        const char* what;
        QEasingCurve easing;
        std::vector<double> expected; // at 0, 25, 50, 100 ms of 100
    };
    const std::vector<Case> cases = {
        {"linear", QEasingCurve::Linear, {10, 15, 20, 30}},
        {"ease in", QEasingCurve::InQuad, {10, 11.25, 15, 30}},
    };
    clock.setMode(AnimationClock::Mode::stepped);
    for (const Case& c : cases) {
        frames.clear();
        finished = 0;
        Animation* animation = clock.animate(owner.get(), recorded(10, 30, 100ms, c.easing));
        ASSERT_NE(animation, nullptr);
        EXPECT_TRUE(animation->isRunning()) << c.what;
        clock.advance(25ms);
        clock.advance(25ms);
        EXPECT_EQ(finished, 0) << c.what;
        clock.advance(50ms);
        EXPECT_EQ(frames, c.expected) << c.what;
        EXPECT_EQ(finished, 1) << c.what;
        EXPECT_EQ(clock.running(), 0) << c.what;
        // Past its end a finished animation draws nothing more.
        clock.advance(100ms);
        EXPECT_EQ(frames.size(), c.expected.size()) << c.what;
        EXPECT_FALSE(clock.isTicking()) << c.what;
    }
}

TEST_F(AnimationClockTest, AStepPastTheEndLandsExactlyOnIt) {
    clock.setMode(AnimationClock::Mode::stepped);
    QEasingCurve overshoot(QEasingCurve::OutBack);
    clock.animate(owner.get(), recorded(0, 1, 100ms, overshoot));
    clock.advance(70ms);
    EXPECT_GT(frames.back(), 1.0); // the curve overshoots on its way
    clock.advance(1000ms);
    EXPECT_EQ(frames.back(), 1.0);
    EXPECT_EQ(finished, 1);
}

TEST_F(AnimationClockTest, InstantModeAndEmptyDurationsJumpToTheEnd) {
    // Without a duration, even on the running clock.
    clock.animate(owner.get(), recorded(0, 5, 0ms));
    EXPECT_EQ(frames, std::vector<double>{5});
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(clock.isTicking());

    // Anything in the instant mode.
    frames.clear();
    clock.setMode(AnimationClock::Mode::instant);
    Animation* animation = clock.animate(owner.get(), recorded(0, 7, 300ms));
    EXPECT_FALSE(animation->isRunning());
    EXPECT_EQ(frames, std::vector<double>{7});
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(clock.isTicking());
}

TEST_F(AnimationClockTest, EnteringInstantModeEndsWhatRuns) {
    clock.setMode(AnimationClock::Mode::stepped);
    clock.animate(owner.get(), recorded(0, 4, 300ms));
    std::vector<double> phases;
    Animation* pulse = clock.loop(owner.get(), 1000ms, [&](double phase) { phases.push_back(phase); });
    clock.advance(150ms);
    clock.setMode(AnimationClock::Mode::instant);
    EXPECT_EQ(frames, (std::vector<double>{0, 2, 4}));
    EXPECT_EQ(finished, 1);
    // The loop that was running rests at its start.
    EXPECT_EQ(phases, (std::vector<double>{0, 0.15, 0}));
    EXPECT_FALSE(pulse->isRunning());
    EXPECT_EQ(clock.running(), 0);
}

TEST_F(AnimationClockTest, TheFrameTimerRunsOnlyWhileSomethingAnimates) {
    EXPECT_FALSE(clock.isTicking());
    Animation* first = clock.animate(owner.get(), recorded(0, 1, 10s));
    EXPECT_TRUE(clock.isTicking());
    Animation* second = clock.animate(owner.get(), recorded(0, 1, 10s));
    first->stop();
    EXPECT_TRUE(clock.isTicking());
    second->stop();
    EXPECT_FALSE(clock.isTicking());
    EXPECT_EQ(finished, 0); // a stopped animation does not finish

    // An animation whose owner goes stops the timer at the next frame.
    clock.animate(owner.get(), recorded(0, 1, 10s));
    owner.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !clock.isTicking(); }, 1000));

    // The stepped clock never needs a timer.
    clock.setMode(AnimationClock::Mode::stepped);
    QObject other;
    clock.animate(&other, recorded(0, 1, 10s));
    EXPECT_FALSE(clock.isTicking());
}

// A slow loop alone wakes the app at its own pace; anything faster beside it sets the pace while it runs.
TEST_F(AnimationClockTest, TheFrameTimerKeepsThePaceOfTheMostDemandingAnimation) {
    const auto phase = [](double) {};
    Animation* slow = clock.loop(owner.get(), 1600ms, phase, 200ms);
    EXPECT_TRUE(clock.isTicking());
    EXPECT_EQ(clock.tickInterval(), 200ms);
    Animation* tween = clock.animate(owner.get(), recorded(0, 1, 10s));
    EXPECT_EQ(clock.tickInterval(), AnimationClock::frameInterval);
    tween->stop();
    EXPECT_EQ(clock.tickInterval(), 200ms);
    // No loop is drawn faster than the clock's own frames.
    Animation* eager = clock.loop(owner.get(), 1000ms, phase, 1ms);
    EXPECT_EQ(clock.tickInterval(), AnimationClock::frameInterval);
    eager->stop();
    slow->stop();
    EXPECT_FALSE(clock.isTicking());
}

TEST_F(AnimationClockTest, TheRunningClockDrawsFramesUntilTheEnd) {
    clock.animate(owner.get(), recorded(0, 1, 40ms));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 5000));
    EXPECT_EQ(frames.front(), 0);
    EXPECT_EQ(frames.back(), 1);
    EXPECT_FALSE(clock.isTicking());
}

TEST_F(AnimationClockTest, AnAnimationEndsWithItsOwner) {
    clock.setMode(AnimationClock::Mode::stepped);
    QPointer<Animation> animation = clock.animate(owner.get(), recorded(0, 1, 100ms));
    owner.reset();
    EXPECT_TRUE(animation.isNull());
    clock.advance(200ms);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(clock.running(), 0);
}

TEST_F(AnimationClockTest, AFinishedStepMayDeleteTheOwner) {
    clock.setMode(AnimationClock::Mode::stepped);
    Tween tween = recorded(0, 1, 100ms);
    tween.finished = [this] { owner.reset(); };
    // A second animation of the same owner is drawn in the same frame and goes with it.
    clock.animate(owner.get(), tween);
    clock.animate(owner.get(), recorded(0, 1, 200ms));
    clock.advance(150ms);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(clock.running(), 0);
    collectDeleted();
}

TEST_F(AnimationClockTest, ALoopRepeatsItsPhaseUntilStopped) {
    clock.setMode(AnimationClock::Mode::stepped);
    Animation* pulse = clock.loop(owner.get(), 1000ms, [this](double phase) { frames.push_back(phase); });
    clock.advance(250ms);
    clock.advance(1000ms);
    clock.advance(500ms);
    EXPECT_EQ(frames, (std::vector<double>{0, 0.25, 0.25, 0.75}));
    pulse->stop();
    clock.advance(100ms);
    EXPECT_EQ(frames.size(), 4u);
    EXPECT_EQ(clock.running(), 0);

    // In the instant mode a loop draws its start and ends there.
    frames.clear();
    clock.setMode(AnimationClock::Mode::instant);
    Animation* still = clock.loop(owner.get(), 1000ms, [this](double phase) { frames.push_back(phase); });
    EXPECT_EQ(frames, std::vector<double>{0});
    EXPECT_FALSE(still->isRunning());
    EXPECT_EQ(clock.running(), 0);
    EXPECT_FALSE(clock.isTicking());
}

} // namespace
} // namespace dormio
