// The window the demo records, among the application's windows.

#include "Dormio/DevModes/DemoWindow.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace dormio::testing {
namespace {

TEST(DemoMainWindow, NoneWithOnlyToolPopupDialogOrHiddenWindows) {
    ASSERT_EQ(DemoWindow::mainWindow(), nullptr);
    std::vector<std::unique_ptr<QWidget>> others;
    for (const Qt::WindowType type : {Qt::Tool, Qt::Popup, Qt::Dialog, Qt::SplashScreen}) {
        others.push_back(std::make_unique<QWidget>(nullptr, type));
        others.back()->show();
    }
    QWidget hidden;
    hidden.setWindowFlags(Qt::Window);
    EXPECT_EQ(DemoWindow::mainWindow(), nullptr);

    QWidget main;
    main.show();
    EXPECT_EQ(DemoWindow::mainWindow(), &main);
    main.hide();
    EXPECT_EQ(DemoWindow::mainWindow(), nullptr);
}

TEST(DrawAsActive, TheDemoWindowDrawsAsActiveWithoutFocusAndNoOtherWindowDoes) {
    QWidget demo;
    auto* inside = new QWidget(&demo);
    QWidget other;
    demo.show();
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    ASSERT_FALSE(demo.isActiveWindow());
    EXPECT_FALSE(Theme::drawsAsActive(*inside));

    Theme::drawAsActive(&demo);
    EXPECT_TRUE(Theme::drawsAsActive(demo));
    EXPECT_TRUE(Theme::drawsAsActive(*inside));
    EXPECT_TRUE(Theme::drawsAsActive(other));
    QApplication::setActiveWindow(&demo);
    EXPECT_FALSE(Theme::drawsAsActive(other));
    Theme::drawAsActive(nullptr);
}

} // namespace
} // namespace dormio::testing
