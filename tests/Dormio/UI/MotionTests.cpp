#include "Dormio/UI/Kit/Motion.h"
#include "KitTest.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// Restores the desktop's Reduce Motion after each test.
class MotionTest : public testing::Test {
protected:
    void TearDown() override { Motion::setReduceMotion(std::nullopt); }
};

TEST_F(MotionTest, SpringsLastUntilTheySettle) {
    struct Case {
        const char* name;
        Motion::Curve curve;
        int milliseconds;
    };
    const Case cases[] = {{"snappy", Motion::snappy(), 285}, {"standard", Motion::standard(), 422}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.curve.milliseconds, c.milliseconds) << c.name;
        const QEasingCurve& easing = c.curve.easing;
        EXPECT_EQ(easing.valueForProgress(0), 0) << c.name;
        EXPECT_EQ(easing.valueForProgress(1), 1) << c.name;
        // Quick at first, then a barely visible overshoot that has died down well before the end.
        EXPECT_GT(easing.valueForProgress(0.25), 0.7) << c.name;
        qreal highest = 0;
        for (int i = 0; i <= 100; ++i)
            highest = std::max(highest, easing.valueForProgress(i / 100.0));
        EXPECT_GT(highest, 1) << c.name;
        EXPECT_LT(highest, 1.01) << c.name;
        // What is left of the swing at the end is a thousandth of the travel, jumped over unseen.
        EXPECT_NEAR(easing.valueForProgress(0.999), 1, 0.0011) << c.name;
    }
}

TEST_F(MotionTest, EasesAreBezierCurvesOfTheirLength) {
    const Motion::Curve inOut = Motion::easeInOut(0.2);
    EXPECT_EQ(inOut.milliseconds, 200);
    EXPECT_NEAR(inOut.easing.valueForProgress(0.5), 0.5, 0.001);
    EXPECT_LT(inOut.easing.valueForProgress(0.2), 0.2);
    EXPECT_GT(inOut.easing.valueForProgress(0.8), 0.8);

    const Motion::Curve out = Motion::easeOut(1.6);
    EXPECT_EQ(out.milliseconds, 1600);
    EXPECT_GT(out.easing.valueForProgress(0.25), 0.35);
    EXPECT_NEAR(out.easing.valueForProgress(1), 1, 1e-9);

    EXPECT_EQ(Motion::linear(1.8).milliseconds, 1800);
    EXPECT_NEAR(Motion::linear(1.8).easing.valueForProgress(0.62), 0.62, 1e-9);
}

TEST_F(MotionTest, ReduceMotionTradesTheSpringForAShortEase) {
    Motion::setReduceMotion(false);
    EXPECT_EQ(Motion::standardOrReduced().milliseconds, 422);
    Motion::setReduceMotion(true);
    EXPECT_EQ(Motion::standardOrReduced().milliseconds, 200);
    EXPECT_NEAR(Motion::standardOrReduced().easing.valueForProgress(0.5), 0.5, 0.001);
}

// DORMIO_REDUCE_MOTION wins when set; otherwise GNOME's enable-animations, asked through gsettings.
TEST_F(MotionTest, ReadsReduceMotionFromTheVariableOrTheDesktop) {
    const QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray path = qgetenv("PATH");
    const QByteArray variable = qgetenv("DORMIO_REDUCE_MOTION");
    const auto desktopAnswers = [&](const char* answer) {
        QFile script(bin.filePath("gsettings"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QByteArray("#!/bin/sh\necho ") + answer + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    };
    struct Case {
        const char* variable; // nullptr: unset
        const char* desktop;  // what gsettings prints; nullptr: no gsettings at all
        bool reduces;
    };
    const Case cases[] = {
        {"1", "true", true},      {"yes", "true", true}, {"0", "false", false},     {nullptr, "false", true},
        {nullptr, "true", false}, {"", "false", true},   {nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        QFile::remove(bin.filePath("gsettings"));
        if (c.desktop) desktopAnswers(c.desktop);
        qputenv("PATH", bin.path().toLocal8Bit());
        if (c.variable)
            qputenv("DORMIO_REDUCE_MOTION", c.variable);
        else
            qunsetenv("DORMIO_REDUCE_MOTION");
        EXPECT_EQ(Motion::desktopReducesMotion(), c.reduces)
            << (c.variable ? c.variable : "unset") << " / " << (c.desktop ? c.desktop : "no gsettings");
    }
    qputenv("PATH", path);
    if (variable.isNull())
        qunsetenv("DORMIO_REDUCE_MOTION");
    else
        qputenv("DORMIO_REDUCE_MOTION", variable);
}

using namespace std::chrono_literals;

TEST_F(MotionTest, AValueFollowsItsCurveAndTellsWhenItArrives) {
    const test::SteppedClock time;
    QWidget owner;
    std::vector<qreal> steps;
    Motion::Value value(&owner, 0, [&](qreal v) { steps.push_back(v); });
    int arrived = 0;
    value.animateTo(10, Motion::linear(0.1), [&] { ++arrived; });
    EXPECT_TRUE(value.running());
    EXPECT_EQ(value.target(), 10);
    time.advance(50ms);
    EXPECT_DOUBLE_EQ(value.value(), 5);
    time.advance(50ms);
    EXPECT_EQ(value.value(), 10);
    EXPECT_FALSE(value.running());
    EXPECT_EQ(arrived, 1);
    EXPECT_EQ(steps, (std::vector<qreal>{0, 5, 10}));

    // A new target takes over from where the value stands; the old arrival is never told.
    value.animateTo(0, Motion::linear(0.1), [&] { arrived += 10; });
    time.advance(50ms);
    value.animateTo(20, Motion::linear(0.1), [&] { ++arrived; });
    time.advance(100ms);
    EXPECT_EQ(value.value(), 20);
    EXPECT_EQ(arrived, 2);

    // A jump lands at once and cancels what ran.
    value.animateTo(0, Motion::linear(0.1), [&] { arrived += 10; });
    value.jumpTo(3);
    time.advance(200ms);
    EXPECT_EQ(value.value(), 3);
    EXPECT_EQ(arrived, 2);
}

TEST_F(MotionTest, AValueJumpsWithoutTimeOrInTheInstantMode) {
    QWidget owner;
    Motion::Value value(&owner, 1);
    int arrived = 0;
    value.animateTo(0, Motion::unlessReduced(Motion::snappy()), [&] { ++arrived; });
    EXPECT_TRUE(value.running());
    Motion::setReduceMotion(true);
    value.animateTo(1, Motion::unlessReduced(Motion::snappy()), [&] { ++arrived; });
    EXPECT_EQ(value.value(), 1);
    EXPECT_FALSE(value.running());
    EXPECT_EQ(arrived, 1);

    AnimationClock::shared().setMode(AnimationClock::Mode::instant);
    value.animateTo(4, Motion::standard(), [&] { ++arrived; });
    AnimationClock::shared().setMode(AnimationClock::Mode::running);
    EXPECT_EQ(value.value(), 4);
    EXPECT_EQ(arrived, 2);
}

// A loop runs only while it is wanted and its window can be seen; otherwise no frame timer runs.
TEST_F(MotionTest, ALoopRunsOnlyWhileWantedAndSeen) {
    const test::SteppedClock time;
    QWidget window;
    auto* owner = new QWidget(&window);
    Motion::Loop loop(owner, Motion::linear(1.8), true);
    loop.setWanted(true);
    EXPECT_FALSE(loop.running()); // not shown yet

    window.show();
    EXPECT_TRUE(loop.running());
    time.advance(900ms);
    EXPECT_NEAR(loop.phase(), 0.5, 1e-9);
    time.advance(900ms);
    EXPECT_NEAR(loop.phase(), 1, 1e-9); // there, and now back
    time.advance(900ms);
    EXPECT_NEAR(loop.phase(), 0.5, 1e-9);

    struct Case {
        const char* what;
        std::function<void()> away;
        std::function<void()> back;
    };
    const Case cases[] = {
        {"window hidden", [&] { window.hide(); }, [&] { window.show(); }},
        {"window minimised", [&] { window.showMinimized(); }, [&] { window.showNormal(); }},
        {"widget hidden", [&] { owner->hide(); }, [&] { owner->show(); }},
        {"not wanted", [&] { loop.setWanted(false); }, [&] { loop.setWanted(true); }},
    };
    for (const Case& c : cases) {
        c.away();
        EXPECT_FALSE(loop.running()) << c.what;
        EXPECT_EQ(loop.phase(), 0) << c.what;
        AnimationClock::shared().setMode(AnimationClock::Mode::running);
        EXPECT_FALSE(AnimationClock::shared().isTicking()) << c.what;
        AnimationClock::shared().setMode(AnimationClock::Mode::stepped);
        c.back();
        EXPECT_TRUE(loop.running()) << c.what;
    }
}

TEST_F(MotionTest, AForwardLoopStartsOverAlongItsEase) {
    const test::SteppedClock time;
    QWidget owner;
    Motion::Loop pulse(&owner, Motion::easeOut(1.6), false);
    owner.show();
    pulse.setWanted(true);
    time.advance(400ms);
    const qreal quarter = Motion::easeOut(1.6).easing.valueForProgress(0.25);
    EXPECT_NEAR(pulse.phase(), quarter, 1e-9);
    time.advance(1600ms);
    EXPECT_NEAR(pulse.phase(), quarter, 1e-9);
}

} // namespace
} // namespace dormio
