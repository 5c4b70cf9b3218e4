#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/Hypnogram.h"
#include "KitTest.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;

namespace {

// A battery night in a view 622 points wide has a plot from x 96 to 576: one point a minute of the
// ordinary night. Its lanes lie at y 48 (screen on), 88, 128 and 168 (asleep); the plot ends at 188.
const QSizeF view(622, 214);

double xAt(double minutes) {
    return 96 + minutes;
}

QImage drawn(const Night& night, std::optional<Date> cursor, Appearance appearance) {
    const CanvasPalette palette(appearance);
    return onCard(view, palette,
                  [&](QPainter& painter) { Hypnogram::paint(painter, view, night, cursor, palette); });
}

class HypnogramPainting : public testing::TestWithParam<Appearance> {
protected:
    const CanvasPalette palette{GetParam()};
    const Night night = ordinaryNight();

private:
    BritishUtcClock clock_;
    AppearanceScope appearance_{GetParam()};
};

} // namespace

TEST_P(HypnogramPainting, EachStateFillsTheAreaBelowItsLane) {
    const QImage image = drawn(night, std::nullopt, GetParam());
    struct Case {
        const char* name;
        double minutes, y;
        QColor color;
    };
    const Case cases[] = {
        {"asleep: indigo up to its lane", 100, 178, palette.indigo},
        {"awake, screen off: a wash of rose", 30, 100, over(faded(palette.rose, 0.10), palette.card)},
        {"screen on: a wash of amber", 460, 60, over(faded(palette.amber, 0.12), palette.card)},
        {"above the lane of the state: nothing", 100, 150, palette.card},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(near(probe(image, xAt(c.minutes) + 0.25, c.y), c.color))
            << c.name << ": " << probe(image, xAt(c.minutes) + 0.25, c.y).name().toStdString();
}

TEST_P(HypnogramPainting, CursorDrawsALineAndADotOnTheReadLane) {
    const Date cursor = night.start + 200 * 60; // asleep
    const QImage with = drawn(night, cursor, GetParam());
    const QImage without = drawn(night, std::nullopt, GetParam());
    EXPECT_TRUE(near(probe(with, xAt(200) - 0.25, 40), palette.ink));
    EXPECT_TRUE(near(probe(without, xAt(200) - 0.25, 40), palette.card));
    // The dot: a card-coloured centre ringed in the asleep state's ink.
    EXPECT_TRUE(near(probe(with, xAt(200) + 0.25, 168.25), palette.card));
    EXPECT_TRUE(near(probe(with, xAt(200) + 3.5, 168), palette.ink, 12));
}

TEST_P(HypnogramPainting, BatteryLineEndsInADotAtTheLastReading) {
    // The last reading, 81 %, on a scale from 75 to 95: 30 % of the way up the plot's inner 144 points.
    const QPointF end(xAt(480), 180 - 144 * 6 / 20.0);
    Night single = night;
    single.battery.resize(1); // the same plot, without the line
    const QImage beneath = drawn(single, std::nullopt, GetParam());
    const QImage image = drawn(night, std::nullopt, GetParam());
    const QPointF inDot = end + QPointF(1.5, 0);
    EXPECT_TRUE(
        near(probe(image, inDot.x(), inDot.y()), over(palette.ink2, probe(beneath, inDot.x(), inDot.y()))));
    EXPECT_TRUE(near(probe(image, end.x() + 4, end.y()), probe(beneath, end.x() + 4, end.y())));
}

INSTANTIATE_TEST_SUITE_P(Appearances, HypnogramPainting, testing::Values(Appearance::light, Appearance::dark),
                         [](const testing::TestParamInfo<Appearance>& info) {
                             return std::string(nameOf(info.param));
                         });
