#include "Dormio/DevModes/DemoWindow.h"

#include <QApplication>
#include <QWidget>

namespace dormio::DemoWindow {

QWidget* mainWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && (type == Qt::Window || type == Qt::Widget)) return window;
    }
    return nullptr;
}

} // namespace dormio::DemoWindow
