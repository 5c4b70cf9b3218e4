#include "ChartFixtures.h"
#include "Dormio/Core/DemoData.h"
#include "Dormio/UI/Charts/Hypnogram.h"
#include "Dormio/UI/Charts/HypnogramView.h"
#include "Dormio/UI/Charts/PlotFrameKey.h"
#include "DormioKit/NightSummary.h"
#include "KitTest.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;

namespace {

// As in the painting tests: the plot runs from x 96 to 576, a point a minute of the ordinary night.
const QSize viewSize(622, 214);

double xAt(double minutes) {
    return 96 + minutes;
}

void movePointer(QWidget& widget, QPointF to) {
    QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

// The trace drawn straight by its paint function, as the widget should show it.
QImage painted(const Night& night, std::optional<Date> cursor, QSize size) {
    const CanvasPalette palette = CanvasPalette::current();
    return onCard(size, palette,
                  [&](QPainter& painter) { Hypnogram::paint(painter, size, night, cursor, palette); });
}

// Equal but for the rounding of edges drawn once onto a layer and once straight onto the card.
bool sameImage(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!near(a.pixelColor(x, y), b.pixelColor(x, y), 2)) return false;
    return true;
}

class HypnogramViewTest : public testing::Test {
protected:
    void SetUp() override {
        view.resize(viewSize);
        view.setNight(night);
    }

    QImage rendered(Appearance appearance) { return render(view, 2, CanvasPalette(appearance).card); }
    Date at(double minutes) const { return night.start + minutes * 60; }

    const Night night = ordinaryNight();
    HypnogramView view;

private:
    BritishUtcClock clock_;
};

} // namespace

TEST_F(HypnogramViewTest, ThePointerScrubsAndLeavingClearsIt) {
    struct Step {
        const char* name;
        std::optional<QPointF> pointer; // none: the pointer leaves
        std::optional<double> hoverX;
        std::optional<double> cursor; // minutes
    };
    const Step steps[] = {
        {"over the plot", QPointF(xAt(200), 100), xAt(200), 200},
        {"within 4 points of a dark wake: one second after it", QPointF(xAt(147), 100), xAt(147),
         150 + 1.0 / 60},
        {"2 points left of the plot: the start", QPointF(94, 5), 94, 0},
        {"beside the hover zone", QPointF(93, 100), std::nullopt, std::nullopt},
        {"back over the plot", QPointF(xAt(300), 200), xAt(300), 300},
        {"gone", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Step& step : steps) {
        if (step.pointer)
            movePointer(view, *step.pointer);
        else
            leave(&view);
        EXPECT_EQ(view.hoverX(), step.hoverX) << step.name;
        const std::optional<Date> cursor = view.cursor();
        ASSERT_EQ(cursor.has_value(), step.cursor.has_value()) << step.name;
        if (cursor) {
            EXPECT_NEAR(*cursor - night.start, *step.cursor * 60, 1e-3) << step.name;
        }
    }

    // Hidden while the pointer is over it, it lets the cursor go too.
    movePointer(view, QPointF(xAt(200), 100));
    QHideEvent hidden;
    QApplication::sendEvent(&view, &hidden);
    EXPECT_EQ(view.hoverX(), std::nullopt);
}

TEST_F(HypnogramViewTest, TheScrubDateShowsWhileThePointerIsAway) {
    const Date scrub = at(149.99); // near a dark wake, yet never snapped
    view.setScrub(scrub);
    EXPECT_EQ(view.cursor(), scrub);
    movePointer(view, QPointF(xAt(300), 100));
    EXPECT_EQ(view.cursor(), at(300));
    leave(&view);
    EXPECT_EQ(view.cursor(), scrub);
    view.setScrub(std::nullopt);
    EXPECT_EQ(view.cursor(), std::nullopt);
}

// The widget keeps its static layer while the pointer moves; whatever happened before, what it shows is
// what the paint function draws.
TEST_F(HypnogramViewTest, ShowsWhatThePaintFunctionDrawsThroughEveryChange) {
    const InstantClock instant; // the readout's fade shows its end at once
    AppearanceScope light(Appearance::light);
    EXPECT_TRUE(sameImage(rendered(Appearance::light), painted(night, std::nullopt, viewSize)))
        << "first paint";

    movePointer(view, QPointF(xAt(200), 100));
    EXPECT_TRUE(sameImage(rendered(Appearance::light), painted(night, at(200), viewSize))) << "hovered";
    movePointer(view, QPointF(xAt(400), 100));
    EXPECT_TRUE(sameImage(rendered(Appearance::light), painted(night, at(400), viewSize))) << "moved on";

    Theme::setAppearance(Appearance::dark);
    EXPECT_TRUE(sameImage(rendered(Appearance::dark), painted(night, at(400), viewSize))) << "dark";

    view.resize(700, 214);
    const QSize wider(700, 214);
    const Date under = view.cursor().value(); // the same x on a wider plot
    EXPECT_TRUE(sameImage(rendered(Appearance::dark), painted(night, under, wider))) << "resized";

    Night later = night;
    later.segments.back().state = PowerState::awake;
    view.setNight(later);
    EXPECT_TRUE(sameImage(rendered(Appearance::dark), painted(later, under, wider))) << "another night";
}

TEST_F(HypnogramViewTest, TheReadoutFadesInWithTheCursorAndOutWhereItStood) {
    const SteppedClock clock;
    AppearanceScope light(Appearance::light);
    const QImage bare = painted(night, std::nullopt, viewSize);
    const QImage full = painted(night, at(200), viewSize);
    // How many pixels of the view differ from the bare trace inside and outside the readout's box.
    const QRectF box(306, 34, 200, 60);
    const auto changed = [&](const QImage& image, bool inBox) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (box.contains(QPointF(x, y) / 2) == inBox &&
                    !near(image.pixelColor(x, y), bare.pixelColor(x, y), 2))
                    ++count;
        return count;
    };

    movePointer(view, QPointF(xAt(200), 100));
    EXPECT_EQ(view.readoutOpacity(), 0) << "the cursor shows at once, its readout not yet";
    clock.advance(std::chrono::milliseconds(40));
    EXPECT_GT(view.readoutOpacity(), 0.05);
    EXPECT_LT(view.readoutOpacity(), 0.95);
    const QImage fadingIn = rendered(Appearance::light);
    EXPECT_GT(changed(fadingIn, true), 0);
    EXPECT_FALSE(sameImage(fadingIn, full));
    clock.advance(std::chrono::milliseconds(400));
    EXPECT_TRUE(sameImage(rendered(Appearance::light), full)) << "fully in";

    movePointer(view, QPointF(xAt(300), 100));
    EXPECT_GE(view.readoutOpacity(), 1) << "a moving cursor keeps its readout";
    movePointer(view, QPointF(xAt(200), 100));

    leave(&view);
    clock.advance(std::chrono::milliseconds(40));
    const QImage fadingOut = rendered(Appearance::light);
    EXPECT_GT(changed(fadingOut, true), 0) << "the readout fades where it stood";
    EXPECT_EQ(changed(fadingOut, false), 0) << "the cursor itself goes at once";
    clock.advance(std::chrono::milliseconds(400));
    EXPECT_LE(view.readoutOpacity(), 0);
    EXPECT_TRUE(sameImage(rendered(Appearance::light), bare)) << "fully out";
}

TEST_F(HypnogramViewTest, ReportsItsPlotInTheWindowsContent) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(20, 30, 20, 10);
    auto* trace = new HypnogramView;
    layout->addWidget(trace);
    window.resize(662, 254);
    trace->setNight(night);
    QSignalSpy frames(trace, &HypnogramView::plotFrameChanged);
    window.grab();
    ASSERT_EQ(frames.count(), 1);
    EXPECT_EQ(frames.takeFirst().at(0).toRectF(), QRectF(20 + 96, 30 + 28, 480, 160));
    window.grab();
    EXPECT_EQ(frames.count(), 0) << "an unchanged frame is not told again";
    layout->setContentsMargins(40, 30, 0, 10);
    window.grab();
    ASSERT_EQ(frames.count(), 1);
    EXPECT_EQ(frames.takeFirst().at(0).toRectF(), QRectF(40 + 96, 30 + 28, 480, 160));
}

TEST(PlotFrameKey, ALaterRectangleWinsButAnEmptyOneNeverErases) {
    const QRectF first(116, 58, 480, 160), second(136, 58, 480, 160);
    struct Case {
        const char* name;
        std::vector<QRectF> reported;
        QRectF held;
    };
    const Case cases[] = {
        {"nothing yet", {}, QRectF()},
        {"empty, a rectangle, empty", {QRectF(), first, QRectF()}, first},
        {"one rectangle, then another", {first, second}, second},
    };
    for (const Case& c : cases) {
        QRectF held = PlotFrameKey::defaultValue;
        for (const QRectF& next : c.reported)
            PlotFrameKey::reduce(held, next);
        EXPECT_EQ(held, c.held) << c.name;
    }
}

TEST_F(HypnogramViewTest, IsOneAccessibleElementThatReadsTheNight) {
    EXPECT_EQ(view.accessibleName(), "Hypnogram");
    EXPECT_EQ(view.accessibleDescription().toStdString(), NightSummary::line(night));
    EXPECT_EQ(view.height(), 214);
    EXPECT_EQ(view.plot(), QRectF(96, 28, 480, 160));
}

TEST_F(HypnogramViewTest, Gallery) {
    const InstantClock instant;
    struct Shot {
        const char* name;
        std::optional<double> scrub; // minutes
        std::optional<double> pointer;
    };
    const Shot shots[] = {
        {"hypnogram", {}, {}},
        {"hypnogram-cursor", 263.5, {}},             // awake, held up by Time Machine
        {"hypnogram-hover-dark-wake", {}, xAt(151)}, // snapped to the dark wake
        {"hypnogram-cursor-end", 470, {}},           // the readout flips left of the cursor
    };
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        AppearanceScope scope(appearance);
        for (const Shot& shot : shots) {
            view.setScrub(shot.scrub ? std::optional(at(*shot.scrub)) : std::nullopt);
            if (shot.pointer)
                movePointer(view, QPointF(*shot.pointer, 100));
            else
                leave(&view);
            EXPECT_TRUE(
                writeGallery(rendered(appearance), QString("%1-%2").arg(shot.name, nameOf(appearance))));
        }
        // The sample night the tour and the developer modes show, scrubbed at its first wake moment.
        const Night& sample = DemoData::sampleNight().value();
        HypnogramView page;
        page.resize(760, HypnogramView::pageHeight);
        page.setNight(sample);
        if (const std::vector<NightEvent> moments = sample.wakeMoments(); !moments.empty())
            page.setScrub(moments.front().date + 1);
        EXPECT_TRUE(writeGallery(render(page, 2, CanvasPalette(appearance).card),
                                 QString("hypnogram-sample-%1").arg(nameOf(appearance))));
    }
}
