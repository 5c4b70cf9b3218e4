#include "Dormio/UI/Shell/MenuCommands.h"

#include "Dormio/Core/Store.h"
#include "OstrelKit/Ostrel.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace dormio {

namespace {

QAction* add(QMenu* menu, const QString& title, const QKeySequence& shortcut, std::function<void()> run) {
    QAction* action = menu->addAction(title);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, menu, std::move(run));
    return action;
}

QKeySequence command(int key) {
    return QKeySequence(Qt::CTRL | key);
}

} // namespace

DormioCommands::DormioCommands(Store& store, QMainWindow* window) : QObject(window), store_(store) {
    QMenuBar* bar = window->menuBar();

    QMenu* file = bar->addMenu("&File");
    refresh = add(file, "Refresh", command(Qt::Key_R), [this] { store_.refresh(true); });
    file->addSeparator();
    settings = add(file, "Settings…", QKeySequence::Preferences, [this] { emit settingsRequested(); });
    settings->setMenuRole(QAction::PreferencesRole);
    file->addSeparator();
    closeWindow = add(file, "Close Window", QKeySequence::Close, [window] { window->close(); });
    quit = add(file, "Quit Dormio", QKeySequence::Quit, [] { QApplication::quit(); });
    quit->setMenuRole(QAction::QuitRole);

    QMenu* go = bar->addMenu("&Go");
    lastNight = add(go, "Last Night", command(Qt::Key_1), [this] {
        store_.setPage(Page::night);
        store_.setSelectedNightID(store_.defaultNightID());
    });
    history = add(go, "History", command(Qt::Key_2), [this] { store_.go(Page::history); });
    rightNow = add(go, "Right Now", command(Qt::Key_3), [this] { store_.setPage(Page::now); });
    battery = add(go, "Battery", command(Qt::Key_4), [this] { store_.setPage(Page::battery); });
    go->addSeparator();
    previousNight = add(go, "Previous Night", command(Qt::Key_BracketLeft), [this] {
        store_.setPage(Page::night);
        store_.step(-1);
    });
    nextNight = add(go, "Next Night", command(Qt::Key_BracketRight), [this] {
        store_.setPage(Page::night);
        store_.step(1);
    });

    QMenu* windows = bar->addMenu("&Window");
    windowMenu = windows->menuAction();
    menuBarWindow = add(windows, "Menu Bar Window", {}, [this] { emit menuBarWindowRequested(); });

    QMenu* help = bar->addMenu("&Help");
    welcome = add(help, "Welcome to Dormio", {}, [this] { store_.setShowWelcome(true); });
    help->addSeparator();
    about = add(help, "About Dormio", {}, [this] { emit aboutRequested(); });
    about->setMenuRole(QAction::AboutRole);
    checkForUpdates = OstrelCommands::add(help, about);
}

} // namespace dormio
