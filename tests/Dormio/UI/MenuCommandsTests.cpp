#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Shell/MenuCommands.h"
#include "OstrelKit/Windows/WindowHost.h"
#include "StoreTests.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace dormio {
namespace {

class MenuCommandsTest : public testing::StoreTest {
protected:
    QMainWindow window;
    std::unique_ptr<DormioCommands> commands;

    // A store holding the three nights before today, oldest first.
    Store& storeWithNights() {
        writeLog(testing::recentNights(3));
        Store& store = makeStore();
        readLogOnce();
        commands = std::make_unique<DormioCommands>(store, &window);
        return store;
    }

    std::string nightID(size_t index) const { return store->nights().at(index).id; }

    QStringList titles(const QString& menu) const {
        QStringList result;
        for (QAction* top : window.menuBar()->actions())
            if (top->text().remove('&') == menu)
                for (QAction* item : top->menu()->actions())
                    result << (item->isSeparator() ? QString("—") : item->text());
        return result;
    }
};

TEST_F(MenuCommandsTest, MenusHoldTheCommandsInOrderWithTheirShortcuts) {
    storeWithNights();
    EXPECT_EQ(titles("Go"), (QStringList{"Last Night", "History", "Right Now", "Battery", "—",
                                         "Previous Night", "Next Night"}));
    EXPECT_EQ(titles("File").first(), "Refresh");
    EXPECT_EQ(titles("Window"), QStringList{"Menu Bar Window"});
    EXPECT_EQ(titles("Help"), (QStringList{"Welcome to Dormio", "—", "About Dormio", "Check for Updates…"}));

    const std::pair<QAction*, const char*> shortcuts[] = {
        {commands->refresh, "Ctrl+R"},   {commands->lastNight, "Ctrl+1"}, {commands->history, "Ctrl+2"},
        {commands->rightNow, "Ctrl+3"},  {commands->battery, "Ctrl+4"},   {commands->previousNight, "Ctrl+["},
        {commands->nextNight, "Ctrl+]"}, {commands->welcome, ""}};
    for (const auto& [action, keys] : shortcuts) {
        EXPECT_EQ(action->shortcut(), QKeySequence(keys)) << action->text().toStdString();
        EXPECT_TRUE(action->isEnabled());
    }
}

TEST_F(MenuCommandsTest, GoMenuChoosesPages) {
    Store& store = storeWithNights();
    commands->history->trigger();
    EXPECT_EQ(store.page(), Page::history);
    commands->rightNow->trigger();
    EXPECT_EQ(store.page(), Page::now);
    commands->battery->trigger();
    EXPECT_EQ(store.page(), Page::battery);

    store.setSelectedNightID(nightID(0));
    commands->lastNight->trigger();
    EXPECT_EQ(store.page(), Page::night);
    EXPECT_EQ(store.selectedNightID(), store.defaultNightID());
    EXPECT_EQ(store.selectedNightID(), nightID(2));
}

TEST_F(MenuCommandsTest, StepsBetweenNightsAndStopsAtTheEnds) {
    Store& store = storeWithNights();
    store.setSelectedNightID(nightID(1));
    store.setPage(Page::battery);
    commands->previousNight->trigger();
    EXPECT_EQ(store.page(), Page::night);
    EXPECT_EQ(store.selectedNightID(), nightID(0));

    store.setPage(Page::history);
    commands->previousNight->trigger();
    EXPECT_EQ(store.page(), Page::night);
    EXPECT_EQ(store.selectedNightID(), nightID(0));

    store.setSelectedNightID(nightID(2));
    store.setPage(Page::now);
    commands->nextNight->trigger();
    EXPECT_EQ(store.page(), Page::night);
    EXPECT_EQ(store.selectedNightID(), nightID(2));
    commands->previousNight->trigger();
    EXPECT_EQ(store.selectedNightID(), nightID(1));
}

TEST_F(MenuCommandsTest, LastNightWithoutNightsSelectsNone) {
    Store& store = makeStore();
    commands = std::make_unique<DormioCommands>(store, &window);
    store.setSelectedNightID("2001-01-01");
    commands->lastNight->trigger();
    EXPECT_EQ(store.page(), Page::night);
    EXPECT_EQ(store.selectedNightID(), std::nullopt);
}

TEST_F(MenuCommandsTest, KeyboardShortcutsReachTheStore) {
    Store& store = storeWithNights();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(store.page(), Page::history);
    store.setSelectedNightID(nightID(2));
    QTest::keyClick(&window, Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(store.page(), Page::night);
    EXPECT_EQ(store.selectedNightID(), nightID(1));
}

TEST_F(MenuCommandsTest, WelcomeShowsTheTour) {
    Store& store = storeWithNights();
    commands->welcome->trigger();
    EXPECT_TRUE(store.showWelcome());
}

TEST_F(MenuCommandsTest, RefreshReadsTheLogAndAnnouncesIt) {
    Store& store = storeWithNights();
    QSignalSpy shown(&toast, &Toast::currentChanged);
    commands->refresh->trigger();
    EXPECT_TRUE(store.loading());
    waitForLogRead();
    ASSERT_TRUE(testing::waitUntil([&] { return shown.count() > 0 && toast.current(); }));
    EXPECT_TRUE(toast.current()->text.startsWith("Power log read ·"));
}

TEST_F(MenuCommandsTest, SettingsAndAboutAreAskedOfTheApplication) {
    storeWithNights();
    QSignalSpy settings(commands.get(), &DormioCommands::settingsRequested);
    QSignalSpy about(commands.get(), &DormioCommands::aboutRequested);
    QSignalSpy menuBarWindow(commands.get(), &DormioCommands::menuBarWindowRequested);
    commands->settings->trigger();
    commands->about->trigger();
    commands->menuBarWindow->trigger();
    EXPECT_EQ(settings.count(), 1);
    EXPECT_EQ(about.count(), 1);
    EXPECT_EQ(menuBarWindow.count(), 1);
}

// The tests run from the build tree, a copy without a bundle: the update window says it cannot update.
TEST_F(MenuCommandsTest, CheckForUpdatesAsksTheKitForACheck) {
    storeWithNights();
    commands->checkForUpdates->trigger();
    ASSERT_TRUE(testing::waitUntil([] {
        QWidget* window = WindowHost::window("update");
        return window && window->isVisible();
    }));
    QStringList texts;
    for (const QLabel* label : WindowHost::window("update")->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("This copy of Dormio isn’t set up to update itself."));
    WindowHost::window("update")->close();
}

} // namespace
} // namespace dormio
