#include "OstrelKit/Windows/WindowHost.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// A content whose text the test can lengthen.
QWidget* labelled(const QString& text, int* built) {
    ++*built;
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* label = new QLabel(text, content);
    label->setObjectName("text");
    label->setWordWrap(true);
    layout->addWidget(label);
    return content;
}

TEST(WindowHost, AnOpenWindowComesForwardUnchanged) {
    int built = 0;
    WindowHost::show("open", "First", {300, 0}, [&] { return labelled("one", &built); });
    QWidget* window = WindowHost::window("open");
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "First");
    EXPECT_EQ(window->width(), 300);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->minimumSize(), window->maximumSize()); // not resizable
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window->frameGeometry().center() - screen.center()).manhattanLength(), 2)
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " on "
        << screen.width() << "x" << screen.height();

    WindowHost::show("open", "Second", {500, 0}, [&] { return labelled("two", &built); });
    EXPECT_EQ(built, 1);
    EXPECT_EQ(WindowHost::window("open"), window);
    EXPECT_EQ(window->windowTitle(), "First");
    EXPECT_EQ(window->width(), 300);
    window->close();
}

TEST(WindowHost, AClosedWindowIsBuiltAfresh) {
    int built = 0;
    WindowHost::show("closed", "Title", {300, 0}, [&] { return labelled("one", &built); });
    QPointer<QWidget> first = WindowHost::window("closed");
    first->close();
    WindowHost::show("closed", "Title", {320, 0}, [&] { return labelled("two", &built); });
    EXPECT_EQ(built, 2);
    QWidget* second = WindowHost::window("closed");
    EXPECT_NE(second, first.data());
    EXPECT_TRUE(first.isNull()); // the table dropped the old one
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->width(), 320);
    EXPECT_EQ(WindowHost::window("never shown"), nullptr);
    second->close();
}

TEST(WindowHost, TheWindowTakesItsContentsHeight) {
    int built = 0;
    WindowHost::show("grows", "Title", {200, 0}, [&] { return labelled("short", &built); });
    QWidget* window = WindowHost::window("grows");
    const int before = window->height();
    window->findChild<QLabel*>("text")->setText(
        QString("a longer text that wraps over several lines ").repeated(6));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() > before; }, 2000));
    EXPECT_EQ(window->width(), 200);
    window->close();
}

} // namespace
} // namespace dormio
