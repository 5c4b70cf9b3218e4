// Which windows a frame shows, in which order, and how the region fills the frame.
#include "OstrelKit/Capture/WindowCapture.h"
#include "RecorderFixture.h"

#include <gtest/gtest.h>

namespace dormio::test {
namespace {

TEST_F(RecorderTest, WindowsStackMainThenUtilityThenPopupsAndOnlyThoseOnScreenInTheRegionCount) {
    // Made first, so that only its layer puts it on top; shown last, as showing a window closes popups.
    QWidget& popup = show(QRect(10, 10, 20, 20), Qt::yellow, Qt::Popup);
    popup.hide();
    QWidget& utility = show(QRect(10, 10, 40, 40), Qt::green, Qt::Tool);
    QWidget& main = show(QRect(0, 0, 100, 100), Qt::white);
    QWidget& sheet = show(QRect(20, 0, 60, 40), Qt::gray, Qt::Dialog);
    show(QRect(300, 300, 50, 50));                  // outside the region
    show(QRect(0, 0, 50, 50)).hide();               // hidden
    show(QRect(0, 0, 50, 50)).showMinimized();      // minimised
    QWidget& drawnOnly = show(QRect(0, 0, 50, 50)); // never on screen, only drawn
    drawnOnly.hide();
    drawnOnly.setAttribute(Qt::WA_DontShowOnScreen);
    drawnOnly.show();
    popup.show();

    EXPECT_EQ(WindowCapture::windowsIn(QRect(0, 0, 200, 200)),
              (QList<QWidget*>{&main, &sheet, &utility, &popup}));
}

TEST_F(RecorderTest, AFrameShowsTheRegionStretchedToItsSizeOverTheBackdrop) {
    QWidget& window = show(QRect(100, 100, 100, 100), Qt::red);
    // A region twice as wide as the frame's shape: the window fills the frame's left half, top to bottom.
    QImage frame(QSize(100, 100), QImage::Format_ARGB32_Premultiplied);
    WindowCapture::compose(frame, QRect(100, 100, 200, 100), {Qt::blue}, {&window}, frame.rect());
    EXPECT_EQ(frame.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(frame.pixelColor(47, 97), QColor(Qt::red));
    EXPECT_EQ(frame.pixelColor(53, 97), QColor(Qt::blue));
    EXPECT_EQ(frame.pixelColor(97, 2), QColor(Qt::blue));

    // At twice the points the window is drawn at twice its pixels, and no backdrop leaves black.
    QImage sharp(QSize(400, 200), QImage::Format_ARGB32_Premultiplied);
    WindowCapture::compose(sharp, QRect(100, 100, 200, 100), {}, {&window}, sharp.rect());
    EXPECT_EQ(sharp.pixelColor(197, 197), QColor(Qt::red));
    EXPECT_EQ(sharp.pixelColor(203, 197), QColor(Qt::black));
}

} // namespace
} // namespace dormio::test
