// The window the demo records, among the application's windows.

#include "Dormio/DevModes/DemoWindow.h"
#include "Dormio/UI/Kit/Theme.h"
#include "OstrelKit/KitClock.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace dormio::testing {
namespace {

TEST(DemoMainWindow, NoneWithOnlyToolPopupDialogOrHiddenWindows) {
    ASSERT_EQ(DemoWindow::mainWindow(), nullptr);
    std::vector<std::unique_ptr<QWidget>> others;
    for (const Qt::WindowType type : {Qt::Tool, Qt::Popup, Qt::Dialog, Qt::SplashScreen}) {
        others.push_back(std::make_unique<QWidget>(nullptr, type));
        others.back()->show();
    }
    QWidget hidden;
    hidden.setWindowFlags(Qt::Window);
    // The kit's utility windows are plain windows that float above the others.
    QWidget utility(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    utility.show();
    EXPECT_EQ(DemoWindow::mainWindow(), nullptr);

    QWidget main;
    main.show();
    EXPECT_EQ(DemoWindow::mainWindow(), &main);
    main.hide();
    EXPECT_EQ(DemoWindow::mainWindow(), nullptr);
}

TEST(DrawAsActive, TheDemoWindowDrawsAsActiveWithoutFocusAndNoOtherWindowDoes) {
    // Qt paints a window without the focus in the inactive colours: here they differ from the active ones.
    // (Before any window is made: without a running event loop, a change of palette reaches only new ones.)
    const QPalette before = QApplication::palette();
    QPalette focusShows = before;
    focusShows.setColor(QPalette::Inactive, QPalette::Highlight, Qt::gray);
    focusShows.setColor(QPalette::Active, QPalette::Highlight, Qt::blue);
    QApplication::setPalette(focusShows);
    const auto inactiveHighlight = [](const QWidget& widget) {
        return widget.palette().color(QPalette::Inactive, QPalette::Highlight);
    };

    QWidget demo;
    auto* inside = new QWidget(&demo);
    QWidget other;
    demo.show();
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    ASSERT_FALSE(demo.isActiveWindow());
    EXPECT_FALSE(Theme::drawsAsActive(*inside));

    EXPECT_EQ(inactiveHighlight(*inside), QColor(Qt::gray));

    Theme::drawAsActive(&demo);
    EXPECT_TRUE(Theme::drawsAsActive(demo));
    EXPECT_TRUE(Theme::drawsAsActive(*inside));
    EXPECT_TRUE(Theme::drawsAsActive(other));
    EXPECT_EQ(inactiveHighlight(*inside), QColor(Qt::blue));
    EXPECT_EQ(inactiveHighlight(other), QColor(Qt::gray));
    QApplication::setActiveWindow(&demo);
    EXPECT_FALSE(Theme::drawsAsActive(other));

    Theme::drawAsActive(nullptr);
    EXPECT_EQ(inactiveHighlight(*inside), QColor(Qt::gray));
    QApplication::setPalette(before);
}

// The window manager, or a person, moves and resizes the window while the demo records.
TEST(DemoPointer, TheDesktopsPointerLeavesTheFrameAndStaysPutElsewhere) {
    QScreen& screen = *QGuiApplication::primaryScreen();
    const QRect whole = screen.geometry();
    const QRect frame = whole.adjusted(40, 40, -40, -40);
    const struct {
        const char* where;
        QPoint at;
        bool moves;
    } cases[] = {
        {"over the frame", frame.center(), true},
        {"on the frame's edge", frame.topLeft(), true},
        {"beside the frame", whole.topLeft() + QPoint(10, 10), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        QCursor::setPos(&screen, c.at);
        ASSERT_EQ(QCursor::pos(&screen), c.at);
        DemoWindow::movePointerOff(screen, frame);
        const QPoint now = QCursor::pos(&screen);
        EXPECT_FALSE(frame.contains(now));
        EXPECT_TRUE(whole.contains(now));
        EXPECT_EQ(now == c.at, !c.moves);
    }
}

TEST(DemoKeepInFront, AMovedOrResizedWindowIsBackOnItsFrameWithinAFifthOfASecond) {
    KitClock clock(KitClock::Mode::step);
    QWidget window;
    const QRect frame(40, 30, 500, 400);
    DemoWindow::place(window, frame);
    window.show();
    DemoWindow::keepInFront(clock, window, frame);

    struct Change {
        const char* what;
        QRect geometry;
    };
    for (const Change& change :
         {Change{"moved", QRect(90, 70, 500, 400)}, Change{"resized", QRect(40, 30, 300, 200)},
          Change{"both", QRect(0, 0, 640, 480)}}) {
        SCOPED_TRACE(change.what);
        // Just after a tick: the longest wait.
        clock.advance(0.2);
        window.setGeometry(change.geometry);
        clock.advance(0.2);
        EXPECT_EQ(window.frameGeometry(), frame);
    }
}

} // namespace
} // namespace dormio::testing
