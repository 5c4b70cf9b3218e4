// The picture of what a widget shows: copied from its window's last frame while that frame still matches the
// window, painted afresh where there is no such frame.
#include "Dormio/UI/Kit/ShownPixels.h"
#include "KitTest.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// A child that paints its left half in one colour and its right half in another.
class Halves : public QWidget {
public:
    using QWidget::QWidget;
    QColor left = Qt::red, right = Qt::blue;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), left);
        painter.fillRect(width() / 2, 0, width() - width() / 2, height(), right);
    }
};

TEST(ShownPixels, CopiesTheLastFrameWhileItMatchesTheWindowElsePaintsAnew) {
    enum class Before { painted, notPainted, resizedSince };
    struct Case {
        const char* name;
        Before before;
        bool shownIsOld; // the picture shows the colours of the last frame, not today's
    };
    const Case cases[] = {
        {"painted, then changed without a repaint", Before::painted, true},
        {"shown but never painted", Before::notPainted, false},
        {"painted, then resized", Before::resizedSince, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.resize(200, 120);
        auto* halves = new Halves(&window);
        halves->setGeometry(30, 20, 100, 60);
        window.show();
        if (c.before != Before::notPainted) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)); // and painted
        }
        if (c.before == Before::resizedSince) window.resize(220, 120);
        halves->left = Qt::green; // what the widget would paint now, not on screen yet
        halves->right = Qt::yellow;

        // Across the middle of the child: 10 points of each half.
        const QPixmap shown = shownPixels(halves, QRect(40, 10, 20, 30));
        ASSERT_EQ(shown.deviceIndependentSize(), QSizeF(20, 30));
        const QImage image = shown.toImage();
        EXPECT_EQ(test::probe(image, 9, 0), c.shownIsOld ? QColor(Qt::red) : QColor(Qt::green));
        EXPECT_EQ(test::probe(image, 10, 29), c.shownIsOld ? QColor(Qt::blue) : QColor(Qt::yellow));
        EXPECT_FALSE(c.shownIsOld && image.hasAlphaChannel())
            << "an opaque window's frame draws as a plain copy";
    }
}

TEST(ShownPixels, AnAreaOutsideTheWindowIsPaintedAnew) {
    QWidget window;
    window.resize(100, 100);
    auto* halves = new Halves(&window);
    halves->setGeometry(50, 0, 100, 100); // its right half out of the window
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    halves->right = Qt::yellow;
    EXPECT_EQ(shownPixels(halves, QRect(60, 0, 20, 20)).toImage().pixelColor(0, 0), QColor(Qt::yellow));
}

} // namespace
} // namespace dormio
