#pragma once

// The application: its main window, settings window and menu bar extra over the shared store, the launch
// that hands the kit its brand colours, and the normal start.

#include "Dormio/UI/Shell/SettingsWindow.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>

namespace dormio {

class MainWindow;
class Store;
class TrayIcon;

class DormioApp : public QObject {
    Q_OBJECT
public:
    // The kit's two brand colours, in order.
    static QList<QColor> brandColours();

    // Makes the windows and the menu bar extra; closing the last window does not end the application.
    explicit DormioApp(Store& store, QObject* parent = nullptr);
    ~DormioApp() override;

    MainWindow* mainWindow() const { return main_; }
    TrayIcon* trayIcon() const { return tray_; }
    SettingsWindow* settingsWindow() const { return settings_; }

    // Hands the kit its brand colours and shows the main window, as every run mode wants it.
    void launch();
    // The normal mode: reads the log, starts the live reads and the energy sampling, and opens the tour on
    // a first run.
    void start();

    // Brings the main window forward, hidden, closed or behind other windows.
    void showMainWindow();
    // Opens the menu bar extra's window under the main window's top right corner, or closes it.
    void toggleMenuBarWindow();
    void showSettings();
    void showAbout();

private:
    Store& store_;
    TrayIcon* tray_;
    MainWindow* main_;
    QPointer<SettingsWindow> settings_;
};

} // namespace dormio
