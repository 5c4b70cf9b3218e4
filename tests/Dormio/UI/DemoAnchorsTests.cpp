// The demo's named places: a view's frame where it is on screen now, and nothing once it is gone.
#include "Dormio/UI/Kit/DemoAnchors.h"

#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace dormio::testing {
namespace {

TEST(DemoAnchors, AFrameIsWhereTheViewIsWhenAskedAndNoneOnceItIsGone) {
    auto window = std::make_unique<QWidget>();
    window->setGeometry(100, 80, 400, 300);
    auto* button = new QWidget(window.get());
    button->setGeometry(20, 30, 50, 22);
    demoAnchor(button, QStringLiteral("quit-Music"));
    EXPECT_EQ(DemoAnchors::shared().frame(QStringLiteral("quit-Music")), std::nullopt) << "not on screen yet";

    window->show();
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(DemoAnchors::shared().frame(QStringLiteral("quit-Music")), QRect(origin + QPoint(20, 30), QSize(50, 22)));
    button->move(40, 60); // a layout or a scroll since the view registered
    EXPECT_EQ(DemoAnchors::shared().frame(QStringLiteral("quit-Music")), QRect(origin + QPoint(40, 60), QSize(50, 22)));
    EXPECT_TRUE(DemoAnchors::shared().names().contains(QStringLiteral("quit-Music")));

    // Another view under the same name takes it over; a deleted view leaves no frame behind.
    auto* other = new QWidget(window.get());
    other->setGeometry(0, 0, 10, 10);
    other->show();
    demoAnchor(other, QStringLiteral("quit-Music"));
    EXPECT_EQ(DemoAnchors::shared().frame(QStringLiteral("quit-Music"))->size(), QSize(10, 10));
    delete other;
    EXPECT_EQ(DemoAnchors::shared().frame(QStringLiteral("quit-Music")), std::nullopt);
    EXPECT_FALSE(DemoAnchors::shared().names().contains(QStringLiteral("quit-Music")));
}

} // namespace
} // namespace dormio::testing
