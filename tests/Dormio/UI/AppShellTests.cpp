#include "Dormio/Core/SingleInstance.h"
#include "TestHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using dormio::SingleInstance;

namespace {

TEST(SingleInstance, ASecondLaunchAsksTheRunningCopyToShowItself) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dormio.sock");
    SingleInstance running(path);
    ASSERT_TRUE(running.claim());
    QSignalSpy shown(&running, &SingleInstance::activationRequested);

    SingleInstance second(path);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(shown.wait(2000));
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstance, ASocketLeftBehindByAnEndedCopyIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dormio.sock");
    // The socket file of a copy that crashed: bound once, nobody listening now.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    ASSERT_TRUE(QFile::exists(path));

    SingleInstance next(path);
    EXPECT_TRUE(next.claim());

    SingleInstance later(path);
    EXPECT_FALSE(later.claim());
}

TEST(SingleInstance, TheDefaultSocketIsPerUser) {
    dormio::TemporaryHome home;
    EXPECT_EQ(SingleInstance::defaultSocketPath(), home.path("runtime") + "/dormio.sock");
    home.unset("XDG_RUNTIME_DIR");
    EXPECT_TRUE(SingleInstance::defaultSocketPath().contains(QString::number(getuid())));
}

// The tests' settings are named as the application's own, and live in the run's own folder.
TEST(ApplicationIdentity, SettingsAreTheApplicationsAndStayOutOfTheRealHome) {
    const QSettings settings;
    EXPECT_EQ(QCoreApplication::organizationName(), "Dormio");
    EXPECT_EQ(QCoreApplication::applicationName(), "Dormio");
    EXPECT_TRUE(settings.fileName().endsWith("/Dormio/Dormio.conf")) << settings.fileName().toStdString();
    EXPECT_TRUE(settings.fileName().startsWith(QDir::tempPath() + "/")) << settings.fileName().toStdString();
    EXPECT_TRUE(QDir::homePath().startsWith(QDir::tempPath() + "/"));
}

} // namespace

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Pages/SettingsForm.h"
#include "Dormio/UI/Shell/DormioApp.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "Dormio/UI/Shell/MenuBarView.h"
#include "Dormio/UI/Shell/MenuCommands.h"
#include "Dormio/UI/Shell/RootView.h"
#include "Dormio/UI/Shell/SettingsWindow.h"
#include "Dormio/UI/Shell/TrayIcon.h"
#include "Dormio/UI/Shell/WelcomeView.h"
#include "StoreTests.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

namespace dormio {
namespace {

using namespace std::chrono_literals;

class AppShellTest : public testing::StoreTest {
protected:
    std::unique_ptr<DormioApp> makeApp() {
        auto app = std::make_unique<DormioApp>(makeStore());
        return app;
    }

    static constexpr int exitedByTimeOut = 99;

    // Runs the application's event loop until something ends it, or for at most `limit`. The time-out
    // belongs to this call alone: left pending, it would end the event loop of a later test.
    static int runEventLoop(std::chrono::milliseconds limit) {
        QTimer timeOut;
        timeOut.setSingleShot(true);
        QObject::connect(&timeOut, &QTimer::timeout, [] { QCoreApplication::exit(exitedByTimeOut); });
        timeOut.start(limit);
        return QApplication::exec();
    }
};

TEST_F(AppShellTest, TheMainWindowIsTitledByItsPage) {
    auto app = makeApp();
    MainWindow* window = app->mainWindow();
    EXPECT_EQ(window->windowTitle(), "Last Night");
    EXPECT_EQ(window->objectName(), "main");
    window->show();
    // The least content is the whole client area, menu bar included, as the snapshots capture it.
    EXPECT_EQ(window->minimumSize(), QSize(1020, 680));
    EXPECT_GE(window->width(), 1020);
    EXPECT_GE(window->height(), 680);
    store->go(Page::battery);
    EXPECT_EQ(window->windowTitle(), "Battery");
}

TEST_F(AppShellTest, ClosingTheLastWindowLeavesTheApplicationRunning) {
    auto app = makeApp();
    app->mainWindow()->show();
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    QTimer::singleShot(0, app->mainWindow(), &QWidget::close);
    EXPECT_EQ(runEventLoop(300ms), exitedByTimeOut); // closing would have ended the loop with 0
    EXPECT_FALSE(app->mainWindow()->isVisible());

    app->showMainWindow();
    EXPECT_TRUE(app->mainWindow()->isVisible());
}

TEST_F(AppShellTest, AFirstNormalStartReadsTheLogAndShowsTheWelcome) {
    writeLog(testing::recentNights(2));
    auto app = makeApp();
    app->mainWindow()->show();
    app->start();
    EXPECT_TRUE(store->loading());
    EXPECT_TRUE(store->showWelcome());
    WelcomeView* welcome = app->mainWindow()->rootView()->welcome();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->isVisible());
    waitForLogRead();
    EXPECT_EQ(store->nights().size(), 2u);

    // Finishing records the tour as seen before it stops being asked for.
    std::optional<bool> doneWhenClosed;
    QObject::connect(store.get(), &Store::showWelcomeChanged,
                     [&] { doneWhenClosed = QSettings().value("welcomeDone").toBool(); });
    welcome->skipButton()->click();
    EXPECT_EQ(doneWhenClosed, true);
    EXPECT_FALSE(store->showWelcome());
    EXPECT_TRUE(store->welcomeDone());
}

// "Welcome to Dormio" in the Help menu, and "Show Welcome Again" in the settings window with the main window
// closed: the settings window goes, and the tour shows over the main window, on screen again.
TEST_F(AppShellTest, TheTourAskedForFromAMenuOrTheSettingsWindowShowsOverTheMainWindow) {
    auto app = makeApp();
    store->setWelcomeDone(true);
    app->mainWindow()->show();
    app->mainWindow()->commands()->welcome->trigger();
    ASSERT_NE(app->mainWindow()->rootView()->welcome(), nullptr);
    EXPECT_TRUE(app->mainWindow()->rootView()->welcome()->isVisible());
    app->mainWindow()->rootView()->welcome()->skipButton()->click();
    EXPECT_FALSE(store->showWelcome());

    app->mainWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app->showSettings();
    const QPointer<SettingsWindow> settings = app->settingsWindow();
    QApplication::setActiveWindow(settings);
    settings->form()->showWelcomeAgain()->click();
    EXPECT_TRUE(store->showWelcome());
    EXPECT_TRUE(settings.isNull() || !settings->isVisible());
    ASSERT_NE(app->mainWindow(), nullptr);
    EXPECT_TRUE(app->mainWindow()->isVisible());
    ASSERT_NE(app->mainWindow()->rootView()->welcome(), nullptr);
    EXPECT_TRUE(app->mainWindow()->rootView()->welcome()->isVisible());
}

TEST_F(AppShellTest, ALaterStartShowsNoWelcome) {
    auto app = makeApp();
    store->setWelcomeDone(true);
    app->start();
    EXPECT_FALSE(store->showWelcome());
    EXPECT_EQ(app->mainWindow()->rootView()->welcome(), nullptr);
    waitForLogRead();
}

TEST_F(AppShellTest, TheMoonChangesWhileAnAppHoldsTheMacAwake) {
    auto app = makeApp();
    TrayIcon* tray = app->trayIcon();
    EXPECT_EQ(tray->symbol(), "moon.zzz");
    DemoData::apply(*store);
    EXPECT_EQ(tray->symbol(), "moon.haze");
    store->setLive({});
    EXPECT_EQ(tray->symbol(), "moon.zzz");
}

// The panel's colour is not the app's: the moon shows against a white panel and a black one alike, and a
// context click offers the panel's small menu.
TEST_F(AppShellTest, TheMoonReadsOnALightAndADarkPanelAndHasAMenu) {
    for (const QString& symbol : {TrayIcon::symbolName(false), TrayIcon::symbolName(true)}) {
        const QIcon moon = TrayIcon::moon(symbol);
        EXPECT_TRUE(moon.isMask());
        const QPixmap pixmap = moon.pixmap(22, 22, QIcon::Normal);
        for (const QColor panel : {QColor(Qt::white), QColor(Qt::black), QColor(0x30, 0x30, 0x30)}) {
            QImage image(pixmap.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(panel);
            QPainter painter(&image);
            painter.drawPixmap(0, 0, pixmap);
            painter.end();
            int standingOut = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor seen = image.pixelColor(x, y);
                    standingOut += std::abs(seen.lightness() - panel.lightness()) > 120;
                }
            EXPECT_GT(standingOut, 20) << symbol.toStdString() << " on " << panel.name().toStdString();
        }
    }
    auto app = makeApp();
    QStringList items;
    for (const QAction* action : app->trayIcon()->menu()->actions())
        if (!action->isSeparator()) items << action->text();
    EXPECT_EQ(items, (QStringList{"Open Dormio", "Refresh", "Quit"}));
}

// Under a tray at the top, above one at the bottom, and whole on the screen wherever the icon sits.
TEST_F(AppShellTest, TheMenuBarWindowOpensAtTheIconAndStaysOnScreen) {
    auto app = makeApp();
    TrayIcon* tray = app->trayIcon();
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint anchors[] = {room.topLeft(), room.topRight(), room.bottomLeft(), room.bottomRight(),
                              room.center()};
    for (const QPoint anchor : anchors) {
        SCOPED_TRACE(::testing::Message() << anchor.x() << "," << anchor.y());
        tray->togglePopup(anchor);
        QWidget* popup = tray->popup();
        ASSERT_TRUE(popup->isVisible());
        EXPECT_TRUE(room.contains(popup->frameGeometry()))
            << popup->frameGeometry().x() << "," << popup->frameGeometry().y();
        EXPECT_EQ(popup->width(), MenuBarView::fixedWidth);
        tray->togglePopup(anchor);
        EXPECT_FALSE(popup->isVisible());
    }
}

TEST_F(AppShellTest, WithoutATrayTheSettingIsLeftAlone) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen platform has none
    auto app = makeApp();
    EXPECT_FALSE(app->trayIcon()->isShown());
    EXPECT_TRUE(store->showMenuBar());
    store->setShowMenuBar(false);
    store->setShowMenuBar(true);
    EXPECT_TRUE(store->showMenuBar());
    EXPECT_FALSE(app->trayIcon()->isShown());
}

TEST_F(AppShellTest, WithoutATrayTheMenuBarWindowOpensFromTheMainWindow) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    auto app = makeApp();
    app->mainWindow()->show();
    DormioCommands* commands = app->mainWindow()->commands();
    EXPECT_TRUE(commands->windowMenu->isVisible());

    commands->menuBarWindow->trigger();
    QWidget* popup = app->trayIcon()->popup();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->isAncestorOf(app->trayIcon()->content()));
    commands->menuBarWindow->trigger();
    EXPECT_FALSE(popup->isVisible());

    // Its button brings the main window forward.
    commands->menuBarWindow->trigger();
    app->trayIcon()->content()->openButton()->click();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(app->mainWindow()->isVisible());
}

// The window closed or only hidden: "Open Dormio" shows the one main window, never a second one.
TEST_F(AppShellTest, OpenDormioShowsTheMainWindowHiddenOrClosed) {
    auto app = makeApp();
    MainWindow* main = app->mainWindow();
    MenuBarView* menu = app->trayIcon()->content();
    const auto mainWindows = [] {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            count += qobject_cast<MainWindow*>(window) != nullptr;
        return count;
    };
    for (bool closed : {false, true}) {
        SCOPED_TRACE(closed ? "closed" : "hidden");
        main->show();
        closed ? void(main->close()) : main->hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(main->isVisible());
        menu->openButton()->click();
        EXPECT_EQ(app->mainWindow(), main);
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(mainWindows(), 1);
    }
}

} // namespace
} // namespace dormio
