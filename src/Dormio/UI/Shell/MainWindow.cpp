#include "Dormio/UI/Shell/MainWindow.h"

#include "Dormio/UI/Shell/MenuCommands.h"
#include "Dormio/UI/Shell/RootView.h"

#include <QGuiApplication>
#include <QScreen>

namespace dormio {

MainWindow::MainWindow(Store& store, QWidget* parent)
    : QMainWindow(parent), root_(new RootView(store, this)), commands_(new DormioCommands(store, this)) {
    setObjectName("main");
    setCentralWidget(root_);
    setWindowTitle(root_->title());
    connect(root_, &RootView::titleChanged, this, &QWidget::setWindowTitle);
    // The content is the whole client area here, menu bar included, as the snapshots capture it.
    setMinimumSize(minimumContentSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        resize(minimumSizeHint().expandedTo(minimumContentSize));
        move(room.center() - rect().center());
    }
}

void MainWindow::bringForward() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

} // namespace dormio
