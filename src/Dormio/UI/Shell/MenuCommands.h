#pragma once

// The application's menu commands, acting on the shared store: Refresh in the File menu, the Go menu's
// pages and nights, the welcome tour and the kit's update check in the Help menu. The Window menu opens
// the menu bar extra's window; the application shows it only where the desktop has no tray.

#include <QObject>

class QAction;
class QMainWindow;

namespace dormio {

class Store;

class DormioCommands : public QObject {
    Q_OBJECT
public:
    // Builds the menus into the window's menu bar.
    DormioCommands(Store& store, QMainWindow* window);

    QAction* refresh = nullptr;
    QAction* settings = nullptr;
    QAction* closeWindow = nullptr;
    QAction* quit = nullptr;
    QAction* lastNight = nullptr;
    QAction* history = nullptr;
    QAction* rightNow = nullptr;
    QAction* battery = nullptr;
    QAction* previousNight = nullptr;
    QAction* nextNight = nullptr;
    QAction* windowMenu = nullptr;
    QAction* menuBarWindow = nullptr;
    QAction* welcome = nullptr;
    QAction* about = nullptr;
    QAction* checkForUpdates = nullptr;

signals:
    void settingsRequested();
    void aboutRequested();
    void menuBarWindowRequested();

private:
    Store& store_;
};

} // namespace dormio
