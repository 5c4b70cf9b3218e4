// The recorded pointer on the demo window: the point of the trace a fraction names, and a scrub stepped
// frame by frame on the recorder's clock.

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/DormioDemo.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/DevModes/DemoPointer.h"
#include "StoreTests.h"

#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace dormio::testing {
namespace {

class DemoScrubTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        makeStore();
        window.setGeometry(100, 80, 600, 400);
        window.show();
        recorder = std::make_unique<DemoRecorder>(output.filePath("demo"), QRectF(window.geometry()), 30,
                                                  QList<QColor>{}, clock);
        // Each moment the trace's cursor is set to, as a fraction of the night, on the clock.
        QObject::connect(&store->demoState(), &DemoState::demoScrubChanged, [this] {
            if (const auto date = store->demoState().demoScrub())
                shown.push_back({clock.seconds(), (*date - night.start) / night.duration()});
        });
    }

    void TearDown() override {
        DormioDemo::shared().setPlotFrame({});
        StoreTest::TearDown();
    }

    // Runs the scrub to its end.
    void scrub(double from, double to, double seconds) {
        Step step = DemoPointer::scrub(*recorder, clock, *store, window, night, from, to, seconds);
        for (int frame = 0; !step.done() && frame < 1000; ++frame)
            clock.advance(1.0 / 30);
        ASSERT_TRUE(step.done());
    }

    struct Shown {
        double at;
        double fraction;
    };

    QTemporaryDir output;
    KitClock clock{KitClock::Mode::step};
    QWidget window;
    std::unique_ptr<DemoRecorder> recorder;
    Night night = *DemoData::sampleNight();
    std::vector<Shown> shown;
};

TEST_F(DemoScrubTest, WithoutAPlotOnlyTheCursorDateMovesOneStepAFrameForTheGivenTime) {
    const QPointF before = recorder->cursor();
    scrub(0.3, 0.55, 1.2);

    EXPECT_EQ(recorder->cursor(), before);
    EXPECT_TRUE(recorder->cursorLog().isEmpty());
    // A frame apart (the stepped clock counts whole milliseconds), until the pass at which 1.2 s are up.
    ASSERT_GE(shown.size(), 37u);
    for (std::size_t step = 1; step < shown.size(); ++step)
        EXPECT_NEAR(shown[step].at - shown[step - 1].at, 1.0 / 30, 1e-3);
    EXPECT_LT(shown[shown.size() - 2].at - shown.front().at, 1.2);
    EXPECT_GE(shown.back().at - shown.front().at, 1.2);
    // Half the time gone, half the way eased: 0.425; and the last step lands exactly.
    const auto halfway = std::min_element(shown.begin(), shown.end(), [&](const Shown& a, const Shown& b) {
        return std::abs(a.at - shown.front().at - 0.6) < std::abs(b.at - shown.front().at - 0.6);
    });
    EXPECT_NEAR(halfway->fraction, 0.425, 0.003);
    EXPECT_DOUBLE_EQ(shown.back().fraction, 0.55);
}

TEST_F(DemoScrubTest, OnAPlotThePointerLeadsInThenFollowsTheCursorAtTheHeightOfTheMiddleBands) {
    DormioDemo::shared().setPlotFrame(QRectF(40, 20, 500, 300));
    const auto point = [&](double fraction) {
        return window.mapToGlobal(QPointF(40 + 500 * fraction, 20 + 300 * 0.62));
    };
    ASSERT_EQ(DemoPointer::plotPoint(window, 0.3, 0.62), point(0.3));
    // Neither factor is held to the plot.
    EXPECT_EQ(DemoPointer::plotPoint(window, -0.5, 1.5), window.mapToGlobal(QPointF(40 - 250, 20 + 450)));

    scrub(0.3, 0.55, 1.2);
    // A lead-in of 0.4 s to the first place, then one pointer step for each step of the cursor.
    ASSERT_EQ(recorder->cursorLog().size(), qsizetype(12 + shown.size()));
    EXPECT_EQ(recorder->cursor(), point(0.55));
    EXPECT_NEAR(shown.front().at, 0.4, 0.01);
    EXPECT_DOUBLE_EQ(shown.back().fraction, 0.55);
}

TEST(DemoPlotPoint, NoneBeforeATraceHasReportedItsPlot) {
    QWidget window;
    DormioDemo::shared().setPlotFrame({});
    EXPECT_FALSE(DemoPointer::plotPoint(window, 0.5, 0.62));
}

} // namespace
} // namespace dormio::testing
