#include "Dormio/UI/Kit/FlatTrace.h"
#include "KitTest.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <optional>

namespace dormio {
namespace {

QImage drawn(const FlatTrace::Data& data, const CanvasPalette& palette, const QColor& ground) {
    QImage image(QSize(240, 30) * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    FlatTrace::paint(painter, QSizeF(240, 30), data, palette);
    return image;
}

// Baseline 6 px over the bottom with 13 ticks, long ones every fourth; a dashed line 10 px above it; the
// rose scan line down to the baseline.
TEST(FlatTrace, DrawsItsBaselineTicksDashesAndScanLine) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const CanvasPalette palette(appearance);
        const QColor ground = palette.card;
        const QImage image = drawn({true, 0.62}, palette, ground);
        const QColor rule = test::over(palette.ruleStrong, ground);
        const QColor dash = test::over(palette.ink3, ground);
        struct Probe {
            const char* what;
            QPointF at;
            QColor expected;
        };
        const Probe probes[] = {
            {"baseline", {50, 23.75}, rule},
            {"long tick", {80, 28.5}, rule},
            {"short tick", {20, 26.5}, rule},
            {"under a short tick", {20, 28.5}, ground},
            {"dash", {1.5, 14}, dash},
            {"gap", {4.5, 14}, ground},
            {"dash again", {7.5, 14}, dash},
            {"scan line", {0.62 * 240, 10}, palette.rose},
            {"above the dashes", {100, 8}, ground},
        };
        for (const Probe& p : probes)
            EXPECT_TRUE(test::near(test::probe(image, p.at.x(), p.at.y()), p.expected, 3))
                << p.what << ' ' << test::nameOf(appearance);

        const QImage still = drawn({false, 0.62}, palette, ground);
        EXPECT_EQ(test::probe(still, 0.62 * 240, 10), ground) << test::nameOf(appearance);
    }
}

class FlatTraceTest : public testing::Test {
protected:
    void TearDown() override { Motion::setReduceMotion(std::nullopt); }
};

TEST_F(FlatTraceTest, SweepsOnlyWhenScanningWithMotionOnTheRunningClockElseStandsAt62Percent) {
    struct Case {
        bool scanning;
        bool reduceMotion;
        bool instant; // the snapshots' clock
        bool sweeps;
    };
    const Case cases[] = {
        {true, false, false, true},
        {false, false, false, false},
        {true, true, false, false},
        {true, false, true, false},
    };
    for (const Case& c : cases) {
        Motion::setReduceMotion(c.reduceMotion);
        std::optional<test::InstantClock> instant;
        if (c.instant) instant.emplace();
        FlatTrace trace(c.scanning);
        trace.show();
        EXPECT_EQ(trace.sweeping(), c.sweeps) << c.scanning << c.reduceMotion << c.instant;
        if (!c.sweeps) {
            EXPECT_EQ(trace.phase(), 0.62);
        }
    }
}

// The snapshot mode turns the clock instant after the main window, and its loading trace, came on screen.
TEST_F(FlatTraceTest, ASweepAlreadyRunningStopsAt62PercentWhenTheClockTurnsInstant) {
    Motion::setReduceMotion(false);
    FlatTrace trace(true);
    trace.show();
    ASSERT_TRUE(trace.sweeping());
    const test::InstantClock instant;
    EXPECT_FALSE(trace.sweeping());
    EXPECT_EQ(trace.phase(), 0.62);
}

TEST_F(FlatTraceTest, TheSweepGoesThereAndBackAndRestsWhileMinimised) {
    using namespace std::chrono_literals;
    Motion::setReduceMotion(false);
    const test::SteppedClock time;
    QWidget window;
    auto* trace = new FlatTrace(true, &window);
    window.show();
    EXPECT_EQ(trace->phase(), 0);
    time.advance(900ms);
    EXPECT_NEAR(trace->phase(), 0.5, 1e-9);
    time.advance(900ms);
    EXPECT_NEAR(trace->phase(), 1, 1e-9);
    time.advance(1350ms);
    EXPECT_NEAR(trace->phase(), 0.25, 1e-9);

    window.showMinimized();
    EXPECT_FALSE(trace->sweeping());
    window.showNormal();
    EXPECT_TRUE(trace->sweeping());
}

} // namespace
} // namespace dormio
