#include "OstrelKit/Ostrel.h"
#include "OstrelKit/Updater/Updater.h"
#include "OstrelKit/Windows/UpdateView.h"
#include "OstrelKit/Windows/WindowHost.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// Start-up happens once per process, so one test walks through it in order.
TEST(Ostrel, OnlyTheFirstStartCountsAndKeepsEveryBrandColour) {
    const QColor accent = QGuiApplication::palette().color(QPalette::Highlight);
    EXPECT_EQ(Ostrel::brand(), (QList<QColor>{accent, accent}));

    const QList<QColor> brand{QColor(0x3A, 0x1C, 0x71), QColor(0xD7, 0x6D, 0x77), QColor(0x11, 0x22, 0x33)};
    Ostrel::start(brand);
    EXPECT_EQ(Ostrel::brand(), brand);
    Ostrel::start({Qt::red});
    EXPECT_EQ(Ostrel::brand(), brand);
    EXPECT_EQ(&Ostrel::updater(), &Ostrel::updater());
}

TEST(BrandStore, OneColourServesAsBothAndNoneChangesNothing) {
    const QList<QColor> saved = BrandStore::colors();
    BrandStore::set({Qt::green});
    EXPECT_EQ(BrandStore::colors(), (QList<QColor>{Qt::green, Qt::green}));
    BrandStore::set({});
    EXPECT_EQ(BrandStore::colors(), (QList<QColor>{Qt::green, Qt::green}));
    BrandStore::set({Qt::red, Qt::blue});
    EXPECT_EQ(BrandStore::colors(), (QList<QColor>{Qt::red, Qt::blue}));
    BrandStore::set(saved);
}

TEST(Ostrel, TheTestProgramIsALooseCopyNamedAsTheApplication) {
    EXPECT_EQ(Ostrel::appName(), "OstrelTests");
    EXPECT_FALSE(Ostrel::updater().isUpdatable());
    EXPECT_EQ(Ostrel::updater().appName(), "OstrelTests");
}

bool updateWindowIsOpen() {
    QWidget* window = WindowHost::window(UpdateView::windowID);
    return window && window->isVisible();
}

// A copy run from the build tree cannot update; asked to, by call or from the menu, it says so in the
// update window.
TEST(Ostrel, CheckingACopyThatCannotUpdateSaysSo) {
    QMenu menu;
    QAction* check = OstrelCommands::add(&menu, menu.addAction("About"));
    const std::function<void()> asks[] = {Ostrel::checkForUpdates, [check] { check->trigger(); }};
    for (const auto& ask : asks) {
        ask();
        EXPECT_FALSE(updateWindowIsOpen()); // the check runs after the call returns
        ASSERT_TRUE(QTest::qWaitFor(updateWindowIsOpen));
        QWidget* window = WindowHost::window(UpdateView::windowID);
        QStringList texts;
        for (const QLabel* label : window->findChildren<QLabel*>())
            texts << label->text();
        EXPECT_TRUE(texts.contains("Updates aren’t available"));
        EXPECT_TRUE(texts.contains("This copy of OstrelTests isn’t set up to update itself."));
        EXPECT_EQ(Ostrel::updater().phase(), Updater::Phase::idle());
        window->close();
    }
}

TEST(OstrelCommands, TheCommandFollowsAboutWithoutAShortcut) {
    QMenu menu;
    menu.addAction("Welcome");
    QAction* about = menu.addAction("About");
    QAction* after = menu.addAction("After");
    QAction* check = OstrelCommands::add(&menu, about);
    EXPECT_EQ(menu.actions(), (QList<QAction*>{menu.actions().at(0), about, check, after}));
    EXPECT_EQ(check->text(), "Check for Updates…");
    EXPECT_TRUE(check->shortcut().isEmpty());

    QMenu last;
    QAction* lastAbout = last.addAction("About");
    QAction* lastCheck = OstrelCommands::add(&last, lastAbout);
    EXPECT_EQ(last.actions(), (QList<QAction*>{lastAbout, lastCheck}));
}

} // namespace
} // namespace dormio
