#include "Dormio/UI/Shell/DormioApp.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "Dormio/UI/Shell/MenuBarView.h"
#include "Dormio/UI/Shell/MenuCommands.h"
#include "Dormio/UI/Shell/SettingsWindow.h"
#include "Dormio/UI/Shell/TrayIcon.h"
#include "OstrelKit/Ostrel.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace dormio {

QList<QColor> DormioApp::brandColours() {
    return {QColor(0x3A, 0x1C, 0x71), QColor(0xD7, 0x6D, 0x77)};
}

DormioApp::DormioApp(Store& store, QObject* parent)
    : QObject(parent), store_(store), tray_(new TrayIcon(store, this)) {
    QApplication::setQuitOnLastWindowClosed(false);
    connect(tray_, &TrayIcon::openMainWindow, this, &DormioApp::showMainWindow);
    // The tour is a sheet of the main window: asked for from the menu bar extra or the settings window,
    // it first needs that window on screen. Connected before the window exists, so the window shows
    // before its root view opens the sheet.
    connect(&store_, &Store::showWelcomeChanged, this, [this] {
        if (store_.showWelcome()) showMainWindow();
    });
    main_ = new MainWindow(store_);
    connect(main_->commands(), &DormioCommands::settingsRequested, this, &DormioApp::showSettings);
    connect(main_->commands(), &DormioCommands::aboutRequested, this, &DormioApp::showAbout);
    // Without a tray the menu bar extra's window still opens, from the main window's Window menu.
    main_->commands()->windowMenu->setVisible(!QSystemTrayIcon::isSystemTrayAvailable());
    connect(main_->commands(), &DormioCommands::menuBarWindowRequested, this,
            &DormioApp::toggleMenuBarWindow);
}

DormioApp::~DormioApp() {
    delete settings_;
    delete main_;
}

void DormioApp::launch() {
    Ostrel::start(brandColours());
    main_->show();
}

void DormioApp::start() {
    store_.start(true);
    if (!store_.welcomeDone()) store_.setShowWelcome(true);
}

void DormioApp::showMainWindow() {
    main_->bringForward();
}

void DormioApp::toggleMenuBarWindow() {
    // Below the window's top right corner, where a tray's window would sit beneath its icon.
    const QPoint corner(main_->width() - MenuBarView::fixedWidth / 2, main_->menuBar()->height());
    tray_->togglePopup(main_->mapToGlobal(corner));
}

void DormioApp::showSettings() {
    if (!settings_) {
        settings_ = new SettingsWindow(store_);
        settings_->setAttribute(Qt::WA_DeleteOnClose);
    }
    settings_->show();
    settings_->raise();
    settings_->activateWindow();
}

void DormioApp::showAbout() {
    QMessageBox::about(main_, "About Dormio",
                       QStringLiteral("Dormio %1").arg(QCoreApplication::applicationVersion()).trimmed());
}

} // namespace dormio
