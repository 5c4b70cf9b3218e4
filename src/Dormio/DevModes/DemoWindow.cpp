#include "Dormio/DevModes/DemoWindow.h"

#include "Dormio/UI/Kit/Theme.h"
#include "OstrelKit/KitClock.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdio>

namespace dormio::DemoWindow {

namespace {

// The kit's utility windows float above the others; the tray's window and the raw records' card are
// popups.
bool isUtility(const QWidget& window) {
    return window.windowType() == Qt::Tool || window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

bool anotherWindowIsUp() {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return true;
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && isUtility(*window)) return true;
    return false;
}

} // namespace

QWidget* mainWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && (type == Qt::Window || type == Qt::Widget) && !isUtility(*window))
            return window;
    }
    return nullptr;
}

QSize leastFrameSize(const QWidget& window) {
    const QSize content = window.minimumSize().expandedTo(window.minimumSizeHint());
    return content + (window.frameGeometry().size() - window.geometry().size());
}

void place(QWidget& window, const QRect& frame) {
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    const QMargins decorations(inner.left() - outer.left(), inner.top() - outer.top(),
                               outer.right() - inner.right(), outer.bottom() - inner.bottom());
    window.setGeometry(frame.marginsRemoved(decorations));
}

void movePointerOff(QScreen& screen, const QRect& frame) {
    if (!frame.contains(QCursor::pos(&screen))) return;
    const QRect whole = screen.geometry();
    for (const QPoint corner : {whole.bottomRight(), whole.topLeft(), whole.topRight(), whole.bottomLeft()})
        if (!frame.contains(corner)) return QCursor::setPos(&screen, corner);
}

void bringForward(QWidget& window) {
    window.raise();
    window.activateWindow();
}

bool inFront(const QWidget& window) {
    return QGuiApplication::applicationState() == Qt::ApplicationActive && window.isActiveWindow();
}

void keepInFront(KitClock& clock, QWidget& window, const QRect& frame) {
    clock.every(0.2, &window, [&window, frame] {
        if (!window.isActiveWindow() && !anotherWindowIsUp()) bringForward(window);
        if (window.frameGeometry() != frame) place(window, frame);
    });
}

void drawAsActive(QWidget& window) {
    Theme::drawAsActive(&window);
    std::fputs("demo: drawing the window as active (app not frontmost)\n", stdout);
    std::fflush(stdout);
}

} // namespace dormio::DemoWindow
