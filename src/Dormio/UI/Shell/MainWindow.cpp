#include "Dormio/UI/Shell/MainWindow.h"

#include "Dormio/UI/Shell/MenuCommands.h"
#include "Dormio/UI/Shell/RootView.h"

#include <QGuiApplication>
#include <QScreen>

namespace dormio {

MainWindow::MainWindow(Store& store, Toast& toast, QWidget* parent)
    : QMainWindow(parent), root_(new RootView(store, toast, this)),
      commands_(new DormioCommands(store, this)) {
    setWindowTitle("Dormio");
    setObjectName("main");
    setCentralWidget(root_);
    root_->setMinimumSize(minimumContentSize);
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
