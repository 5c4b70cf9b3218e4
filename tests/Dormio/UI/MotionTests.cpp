#include "Dormio/UI/Kit/Motion.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

// Restores the desktop's Reduce Motion and the absence of a snapshot folder after each test.
class MotionTest : public testing::Test {
protected:
    void TearDown() override {
        Motion::setReduceMotion(std::nullopt);
        qunsetenv("DORMIO_SNAPSHOT_DIR");
    }
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
    EXPECT_TRUE(Motion::loopsAllowed());
    Motion::setReduceMotion(true);
    EXPECT_EQ(Motion::standardOrReduced().milliseconds, 200);
    EXPECT_NEAR(Motion::standardOrReduced().easing.valueForProgress(0.5), 0.5, 0.001);
    EXPECT_FALSE(Motion::loopsAllowed());
}

TEST_F(MotionTest, ASnapshotFolderOfAnyValueStopsLoops) {
    Motion::setReduceMotion(false);
    for (const char* value : {"/tmp/shots", ""}) {
        qputenv("DORMIO_SNAPSHOT_DIR", value);
        EXPECT_TRUE(Motion::snapshotMode()) << '"' << value << '"';
        EXPECT_FALSE(Motion::loopsAllowed()) << '"' << value << '"';
    }
    qunsetenv("DORMIO_SNAPSHOT_DIR");
    EXPECT_TRUE(Motion::loopsAllowed());
}

} // namespace
} // namespace dormio
