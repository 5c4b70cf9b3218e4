// The demo's named places: the last rectangle a marked view reported, kept after the view is gone.
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace dormio {
namespace {

std::optional<QRectF> frame(const char* name) {
    return DemoAnchors::shared().frame(QString::fromLatin1(name));
}

QRectF onScreen(const QWidget& view) {
    return {view.mapToGlobal(QPointF(0, 0)), QSizeF(view.size())};
}

TEST(DemoAnchors, AViewReportsWhenLaidOutInAWindowAndTheNameOutlivesIt) {
    auto window = std::make_unique<QWidget>();
    window->setGeometry(100, 80, 400, 300);
    auto* button = new QWidget(window.get());
    button->setGeometry(20, 30, 50, 22);
    demoAnchor(button, "laid-out");
    EXPECT_EQ(frame("laid-out"), std::nullopt) << "never on screen";

    window->show();
    ASSERT_TRUE(frame("laid-out"));
    EXPECT_EQ(*frame("laid-out"), onScreen(*button));
    EXPECT_EQ(frame("laid-out")->size(), QSizeF(50, 22));

    button->setGeometry(40, 60, 70, 22); // laid out again at a new place
    EXPECT_EQ(*frame("laid-out"), onScreen(*button));

    const QRectF last = onScreen(*button);
    window->close();
    window->move(500, 500);
    EXPECT_EQ(frame("laid-out"), last) << "a closed window's views keep the place they had on screen";
    window.reset();
    EXPECT_EQ(frame("laid-out"), last) << "and so do they once it is gone";
}

TEST(DemoAnchors, ALayoutOrAWindowThatMovesAContainerMovesTheViewsInIt) {
    QWidget window;
    window.setGeometry(50, 50, 300, 100);
    auto* row = new QHBoxLayout(&window);
    auto* spacer = new QWidget;
    spacer->setFixedWidth(10);
    auto* group = new QWidget;
    auto* inner = new QHBoxLayout(group);
    auto* button = new QWidget;
    button->setFixedSize(40, 20);
    inner->addWidget(button);
    row->addWidget(spacer);
    row->addWidget(group);
    demoAnchor(button, "in-a-group");
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(*frame("in-a-group"), onScreen(*button));

    // The group moves across as its neighbour grows; the button keeps its place inside the group.
    spacer->setFixedWidth(120);
    QCoreApplication::processEvents();
    EXPECT_EQ(*frame("in-a-group"), onScreen(*button));
    EXPECT_GT(frame("in-a-group")->left(), window.mapToGlobal(QPoint(120, 0)).x());

    // A window placed by the window manager, or moved by the user, takes its views along.
    window.move(200, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(*frame("in-a-group"), onScreen(*button));
    EXPECT_GE(frame("in-a-group")->top(), 200);
}

TEST(DemoAnchors, ARenamedViewAddsItsNewNameAndTheOldKeepsItsRectangle) {
    QWidget window;
    window.setGeometry(10, 10, 200, 200);
    auto* view = new QWidget(&window);
    view->setGeometry(5, 5, 30, 30);
    demoAnchor(view, "before-rename");
    window.show();
    const QRectF first = *frame("before-rename");

    view->move(60, 60);
    demoAnchor(view, "after-rename");
    EXPECT_EQ(*frame("after-rename"), onScreen(*view));
    view->move(90, 90);
    EXPECT_EQ(*frame("after-rename"), onScreen(*view)) << "the view reports under its new name only";
    EXPECT_EQ(*frame("before-rename"), QRectF(first.topLeft() + QPointF(55, 55), first.size()))
        << "the old name keeps the rectangle it had when the view was renamed";
}

TEST(DemoAnchors, AViewMovedIntoAnotherWindowReportsThereAndTheLastReportWins) {
    QWidget first;
    first.setGeometry(0, 0, 200, 200);
    QWidget second;
    second.setGeometry(300, 300, 200, 200);
    auto* view = new QWidget(&first);
    view->setGeometry(10, 10, 20, 20);
    demoAnchor(view, "moved");
    first.show();
    second.show();

    view->setParent(&second);
    view->show();
    EXPECT_EQ(*frame("moved"), onScreen(*view));
    EXPECT_EQ(frame("moved")->topLeft(), QPointF(310, 310));

    // Another view under the same name takes it over when it reports.
    auto* other = new QWidget(&first);
    other->setGeometry(50, 50, 10, 10);
    demoAnchor(other, "moved");
    other->show();
    EXPECT_EQ(*frame("moved"), onScreen(*other));
}

} // namespace
} // namespace dormio
