// The main window of the sample month as a recording sees it: each frame redrawn only where the window
// repainted since the last, through page changes with their animations, scrolling and a change of
// appearance, must be the frame drawn whole.

#include "Dormio/Core/DemoData.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "OstrelKit/Capture/ComposedFrame.h"
#include "OstrelKit/Capture/WindowCapture.h"
#include "StoreTests.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace dormio::testing {
namespace {

// The animations move on the stepped clock, and the event loop then has its turn, as between two ticks.
void runFor(int milliseconds) {
    AnimationClock::shared().advance(std::chrono::milliseconds(milliseconds));
    QCoreApplication::processEvents();
}

// How many pixels differ, and within which rectangle.
std::pair<int, std::string> differences(const QImage& a, const QImage& b) {
    int count = 0;
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++count;
                box |= QRect(x, y, 1, 1);
            }
    return {count, QStringLiteral("%1 pixels differ within %2,%3 %4 x %5")
                       .arg(count)
                       .arg(box.x())
                       .arg(box.y())
                       .arg(box.width())
                       .arg(box.height())
                       .toStdString()};
}

class RecordedFramesTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        AnimationClock::shared().setMode(AnimationClock::Mode::stepped);
    }

    void TearDown() override {
        AnimationClock::shared().setMode(AnimationClock::Mode::running);
        Theme::setAppearance(std::nullopt);
        StoreTest::TearDown();
    }
};

TEST_F(RecordedFramesTest, EveryFrameOfTheMainWindowRedrawnWhereItRepaintedIsTheFrameDrawnWhole) {
    Store& store = makeStore();
    DemoData::apply(store);
    Theme::setAppearance(Appearance::light);
    MainWindow window(store);
    window.setGeometry(0, 0, 1100, 720);
    window.show();
    runFor(100);

    // 1.6 pixels a point, the scale of a demo on a sharp screen, where edges fall between pixels.
    const QRect region = window.frameGeometry();
    const QList<QColor> backdrop{QColor(242, 242, 242), QColor(224, 224, 224)};
    ComposedFrame frame(QSize(2 * qRound(region.width() * 0.8), 2 * qRound(region.height() * 0.8)), backdrop);
    const QList<QWidget*> windows{&window};
    int frames = 0;
    // Takes a frame as a tick would, compares it with the one drawn whole, and then lets the frame take the
    // test's own drawing of the window for a change.
    const auto tick = [&](const char* moment) {
        SCOPED_TRACE(moment);
        // A tick comes from the event loop, after what was posted before it: a change of appearance, say.
        QCoreApplication::sendPostedEvents();
        frame.update(region, windows);
        QImage whole(frame.image().size(), QImage::Format_ARGB32_Premultiplied);
        WindowCapture::compose(whole, region, backdrop, windows, whole.rect());
        // Qt rounds a part's clip to whole pixels from where the drawing starts, so at a scale that is not
        // whole a part's edge can come out a pixel to one side; anything missed shows as far more.
        const auto [count, where] = differences(frame.image(), whole);
        EXPECT_LE(count, 16) << "frame " << frames << ": " << where;
        ++frames;
        frame.update(region, windows);
    };
    const auto playFor = [&](const char* moment, int milliseconds) {
        for (int played = 0; played < milliseconds; played += 90) {
            runFor(90);
            tick(moment);
        }
    };

    tick("shown");
    for (const Page page : {Page::history, Page::now, Page::battery, Page::night}) {
        store.setPage(page);
        tick("the page just changed");
        playFor("the page changing", 450);
    }
    for (QScrollArea* scroll : window.findChildren<QScrollArea*>()) {
        if (!scroll->isVisible() || scroll->verticalScrollBar()->maximum() == 0) continue;
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum() / 2);
        tick("scrolled");
        playFor("after a scroll", 180);
    }
    Theme::setAppearance(Appearance::dark);
    tick("dark");
    playFor("dark", 180);
}

} // namespace
} // namespace dormio::testing
