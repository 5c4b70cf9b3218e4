// A frame kept from tick to tick and redrawn only where the windows repainted must come out as a frame drawn
// whole from the same windows would.
#include "OstrelKit/Capture/ComposedFrame.h"
#include "OstrelKit/Capture/WindowCapture.h"
#include "RecorderFixture.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace dormio::test {
namespace {

// The region's points fill a frame 1.6 times their size, so that edges fall between pixels, as at the demo's
// usual scale.
const QRect region(0, 0, 300, 200);
const QSize pixels(480, 320);
const QList<QColor> backdrop{QColor(240, 240, 240), QColor(90, 90, 90)};

QImage drawnWhole(const QList<QWidget*>& windows) {
    QImage frame(pixels, QImage::Format_ARGB32_Premultiplied);
    WindowCapture::compose(frame, region, backdrop, windows, frame.rect());
    return frame;
}

// The first pixel where two frames differ, for the message.
std::string firstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("at %1,%2: %3 for %4")
                    .arg(x)
                    .arg(y)
                    .arg(QColor(a.pixel(x, y)).name(), QColor(b.pixel(x, y)).name())
                    .toStdString();
    return "none";
}

TEST_F(RecorderTest, AFrameRedrawnWhereTheWindowsChangedIsTheFrameDrawnWhole) {
    QWidget& window = show(QRect(20, 10, 240, 170), QColor(250, 250, 245));
    auto* dot = new Swatch(QColor(40, 70, 200), QRect(200, 12, 7, 5), &window);
    auto* tile = new Swatch(QColor(200, 40, 40), QRect(10, 10, 30, 30), &window);
    // A part seen through an effect, which Qt redraws from its own picture of the part when it changes.
    auto* faded = new Swatch(QColor(120, 40, 160), QRect(190, 120, 40, 30), &window);
    QGraphicsOpacityEffect* fade = nullptr;
    // A column that scrolls by moving its content, which Qt copies on screen without repainting it.
    auto* scroll = new QScrollArea(&window);
    scroll->setGeometry(60, 40, 120, 100);
    auto* column = new QWidget;
    auto* stripes = new QVBoxLayout(column);
    stripes->setContentsMargins(0, 0, 0, 0);
    stripes->setSpacing(0);
    for (int i = 0; i < 12; ++i) {
        auto* stripe = new Swatch(QColor::fromHsv(i * 30, 200, 220), QRect(0, 0, 100, 23));
        stripe->setFixedHeight(23);
        stripes->addWidget(stripe);
    }
    scroll->setWidget(column);
    // Qt moves a part that paints all of itself by copying its pixels, telling it nothing.
    tile->setAttribute(Qt::WA_OpaquePaintEvent);
    column->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QWidget* part : window.findChildren<QWidget*>())
        part->show();
    QApplication::processEvents();

    ComposedFrame frame(pixels, backdrop);
    QList<QWidget*> windows{&window};
    ASSERT_EQ(frame.update(region, windows), QRect(QPoint(), pixels)) << "the first frame is drawn whole";
    QApplication::processEvents();

    struct Change {
        const char* what;
        std::function<void()> make;
        bool drawn; // whether anything is to be drawn anew
    };
    QWidget* popup = nullptr;
    const Change changes[] = {
        {"nothing", [] {}, false},
        {"a small part's colour", [&] { dot->setColour(QColor(40, 160, 60)); }, true},
        {"a part moved", [&] { tile->move(14, 90); }, true},
        {"the column scrolled", [&] { scroll->verticalScrollBar()->setValue(37); }, true},
        {"the column scrolled back a little", [&] { scroll->verticalScrollBar()->setValue(29); }, true},
        {"a part hidden", [&] { tile->hide(); }, true},
        {"a part starting to fade",
         [&] {
             faded->setGraphicsEffect(fade = new QGraphicsOpacityEffect);
             fade->setOpacity(0.8);
         },
         true},
        {"a part fading", [&] { fade->setOpacity(0.3); }, true},
        {"the fade over", [&] { faded->setGraphicsEffect(nullptr); }, true},
        {"a part resized", [&] { dot->resize(15, 9); }, true},
        {"the window moved", [&] { window.move(31, 23); }, true},
        {"a popup shown",
         [&] {
             popup = &show(QRect(150, 100, 60, 40), QColor(250, 200, 40), Qt::Popup);
             windows = WindowCapture::windowsIn(region);
         },
         true},
        {"the popup closed",
         [&] {
             popup->close();
             windows = WindowCapture::windowsIn(region);
         },
         true},
        {"nothing again", [] {}, false},
    };
    // Compares the frame with one drawn whole, and then lets the frame take the test's own drawing of the
    // windows for a change.
    const auto expectDrawnWhole = [&] {
        const QImage whole = drawnWhole(windows);
        EXPECT_TRUE(frame.image() == whole) << "first difference " << firstDifference(frame.image(), whole);
        frame.update(region, windows);
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        change.make();
        EXPECT_EQ(!frame.update(region, windows).isEmpty(), change.drawn);
        expectDrawnWhole();
        // The event loop then paints the screen as the frame already shows it.
        QApplication::processEvents();
        frame.update(region, windows);
        expectDrawnWhole();
    }
}

} // namespace
} // namespace dormio::test
