// The main window left alone on a finished read: whatever page it shows, once its changes have played out
// the only thing that still moves is the sampling dot's pulse, and each of its frames repaints nothing but
// the pulse's own square. Anything else would keep the app drawing for as long as the window stays open.

#include "Dormio/UI/Kit/FlatTrace.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Shell/RootView.h"
#include "Dormio/UI/Shell/Sidebar.h"
#include "Dormio/UI/Shell/SidebarFooter.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QPaintEvent>
#include <QRegion>

namespace dormio {
namespace {

using namespace std::chrono_literals;

// Long enough for any change of page, entrance or spring to have ended.
constexpr auto settling = 5s;

std::vector<Animation*> runningAnimations() {
    std::vector<Animation*> running;
    for (QWidget* widget : QApplication::allWidgets())
        for (Animation* animation : widget->findChildren<Animation*>(Qt::FindDirectChildrenOnly))
            if (animation->isRunning()) running.push_back(animation);
    return running;
}

// Every area of `window` painted while it watches, in the window's coordinates.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    const QRegion& painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && widget->window() == window_)
            painted_ +=
                static_cast<QPaintEvent*>(event)->region().translated(widget->mapTo(window_, QPoint()));
        return false;
    }

private:
    QWidget* window_;
    QRegion painted_;
};

void drawPending() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

class IdleWindowTest : public testing::StoreTest {
protected:
    void TearDown() override {
        Motion::setReduceMotion(std::nullopt);
        StoreTest::TearDown();
    }
};

TEST_F(IdleWindowTest, OnlyTheSamplingPulseMovesAndItRepaintsOnlyItsOwnSquare) {
    const test::SteppedClock time;
    Motion::setReduceMotion(false);
    writeLog(testing::recentNights(2));
    Store& store = makeStore();
    RootView root(store);
    root.resize(1020, 680);
    root.show();
    store.refreshLog();
    waitForLogRead();
    ASSERT_FALSE(store.nights().empty());
    const StatusDot* dot = root.sidebar()->footer()->dot();
    ASSERT_TRUE(dot->pulsing());

    for (const Page page : {Page::night, Page::history, Page::now, Page::battery, Page::settings}) {
        store.setPage(page);
        drawPending();
        time.advance(settling);
        drawPending();

        const std::vector<Animation*> running = runningAnimations();
        ASSERT_EQ(running.size(), 1u) << int(page);
        Animation* pulse = running.front();
        EXPECT_TRUE(pulse->loops()) << int(page);
        auto* owner = qobject_cast<QWidget*>(pulse->parent());
        ASSERT_NE(owner, nullptr);
        const QRect square(owner->mapTo(&root, QPoint()), owner->size());
        EXPECT_TRUE(square.contains(dot->mapTo(&root, dot->rect().center()))) << int(page);

        // Five frames a second at most.
        EXPECT_GE(AnimationClock::shared().tickInterval(), 200ms) << int(page);
        const PaintWatch watch(&root);
        time.advance(AnimationClock::shared().tickInterval());
        drawPending();
        EXPECT_FALSE(watch.painted().isEmpty()) << int(page); // the pulse did draw a frame
        EXPECT_EQ(watch.painted().subtracted(square), QRegion())
            << int(page) << ": painted " << watch.painted().boundingRect().width() << "x"
            << watch.painted().boundingRect().height();
    }
}

// The night page's stand-in sweeps while the first read runs and is gone, with its animation, once the
// nights have arrived.
TEST_F(IdleWindowTest, TheReadingStandInStopsWhenTheNightsArrive) {
    const test::SteppedClock time;
    Motion::setReduceMotion(false);
    writeLog(testing::recentNights(2));
    Store& store = makeStore();
    store.setTrackEnergy(false); // no pulse: the stand-in's sweep is then the only loop
    RootView root(store);
    root.resize(1020, 680);
    store.refreshLog();
    root.show(); // the read ends in the event loop: it is still running here
    ASSERT_TRUE(store.loading());
    // The stand-in's sweep, and the refresh button's spinner.
    const std::vector<Animation*> reading = runningAnimations();
    EXPECT_EQ(reading.size(), 2u);
    EXPECT_TRUE(std::any_of(reading.begin(), reading.end(),
                            [](const Animation* a) { return dynamic_cast<FlatTrace*>(a->parent()); }));

    waitForLogRead();
    drawPending();
    time.advance(settling);
    drawPending();
    EXPECT_TRUE(runningAnimations().empty());
}

} // namespace
} // namespace dormio
