#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/MiniHypnogram.h"
#include "Dormio/UI/Charts/MiniHypnogramView.h"
#include "KitTest.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

const Date start = utc(2024, 5, 10, 22);

// A hundred minutes on a canvas 200 points wide: two points a minute.
Night hundredMinutes() {
    return nightOf(start, 100,
                   {{0, 20, PowerState::screenOn},
                    {20, 20, PowerState::awake},
                    {20, 60, PowerState::asleep},
                    {60, 62, PowerState::dark},
                    {62, 100, PowerState::asleep}},
                   {{20, Kind::fellAsleep}, {60, Kind::darkWake}, {90, Kind::stayedAwake}});
}

} // namespace

TEST(MiniHypnogram, LevelsLeaveTheTopStripToTheTicks) {
    struct Case {
        bool ticks;
        double asleep, dark, awake, screenOn;
    };
    for (const Case& c : {Case{true, 18, 6 + 24 * 0.34, 6 + 24 * 0.18, 6 + 24 * 0.02},
                          Case{false, 15, 30 * 0.34, 30 * 0.18, 30 * 0.02}}) {
        const Night night = hundredMinutes();
        const MiniHypnogram::Layout layout(night, {200, 30}, c.ticks);
        EXPECT_DOUBLE_EQ(layout.levelY(PowerState::asleep), c.asleep) << c.ticks;
        EXPECT_DOUBLE_EQ(layout.levelY(PowerState::dark), c.dark) << c.ticks;
        EXPECT_DOUBLE_EQ(layout.levelY(PowerState::awake), c.awake) << c.ticks;
        EXPECT_DOUBLE_EQ(layout.levelY(PowerState::screenOn), c.screenOn) << c.ticks;
    }
}

TEST(MiniHypnogram, StepsThroughEverySegmentAtLeastAPointWide) {
    const Night night = hundredMinutes();
    const MiniHypnogram::Layout layout(night, {200, 30}, false);
    const double asleep = 15, dark = 30 * 0.34, awake = 30 * 0.18, screenOn = 30 * 0.02;
    EXPECT_EQ(layout.areaRect(night.segments[0]), QRectF(0, screenOn, 40, 30 - screenOn));
    EXPECT_EQ(layout.areaRect(night.segments[1]), QRectF(40, awake, 1, 30 - awake)); // no length: 1 point
    EXPECT_EQ(layout.stepLine(), (std::vector<QPointF>{{0, screenOn},
                                                       {40, screenOn},
                                                       {40, awake},
                                                       {41, awake},
                                                       {40, asleep},
                                                       {120, asleep},
                                                       {120, dark},
                                                       {124, dark},
                                                       {124, asleep},
                                                       {200, asleep}}));
    EXPECT_EQ(layout.darkMarks(), (std::vector<QLineF>{{120, asleep, 120, dark}}));
    EXPECT_EQ(layout.baseline(), QRectF(0, 29.5, 200, 0.5));
}

TEST(MiniHypnogram, TicksMarkEveryWakeMomentOnlyWhenAsked) {
    const Night night = hundredMinutes();
    EXPECT_EQ(MiniHypnogram::Layout(night, {200, 30}, true).wakeTicks(),
              (std::vector<QLineF>{{120, 0, 120, 3.5}, {180, 0, 180, 3.5}}));
    EXPECT_TRUE(MiniHypnogram::Layout(night, {200, 30}, false).wakeTicks().empty());
}

TEST(MiniHypnogram, NightsWithoutSegmentsOrLength) {
    const Night bare = nightOf(start, 100, {}, {{50, Kind::screenOn}});
    const MiniHypnogram::Layout empty(bare, {200, 30}, true);
    EXPECT_TRUE(empty.stepLine().empty());
    EXPECT_TRUE(empty.darkMarks().empty());
    EXPECT_EQ(empty.wakeTicks().size(), 1u);

    // Shorter than a second: scaled as one second, so the segment spans the whole width and no more.
    const Night instant = nightOf(start, 0.1 / 60, {{0, 1.0 / 60, PowerState::awake}});
    const MiniHypnogram::Layout layout(instant, {200, 30}, false);
    EXPECT_EQ(layout.areaRect(instant.segments[0]).width(), 200);
}

namespace {

QImage drawnMini(const Night& night, bool ticks, Appearance appearance) {
    const CanvasPalette palette(appearance);
    return onCard({200, 30}, palette, [&](QPainter& painter) {
        MiniHypnogram::paint(painter, {200, 30}, night, ticks, palette);
    });
}

} // namespace

TEST(MiniHypnogramPainting, StatesFillDownToTheBottomWithMarksAndTicksInRose) {
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        const CanvasPalette palette(appearance);
        const QImage image = drawnMini(hundredMinutes(), true, appearance);
        struct Case {
            const char* name;
            QPointF at;
            QColor color;
        };
        const Case cases[] = {
            {"asleep", {80.25, 25}, palette.indigo},
            {"screen on", {20.25, 20}, over(faded(palette.amber, 0.28), palette.card)},
            {"above the asleep level", {80.25, 14}, palette.card},
            {"the dark mark", {120, 16}, palette.rose},
            {"a wake moment's tick", {180, 1}, palette.rose},
            {"the baseline, bare under a dark segment",
             {122.25, 29.75},
             over(palette.ruleStrong, palette.card)},
            {"the baseline, under the fills", {190.25, 29.75}, palette.indigo},
        };
        for (const Case& c : cases)
            EXPECT_TRUE(near(probe(image, c.at.x(), c.at.y()), c.color, 6))
                << nameOf(appearance) << " " << c.name << ": "
                << probe(image, c.at.x(), c.at.y()).name().toStdString();
        const QImage without = drawnMini(hundredMinutes(), false, appearance);
        EXPECT_TRUE(near(probe(without, 180, 1), palette.card)) << "no ticks asked";
    }
}

TEST(MiniHypnogramPainting, Gallery) {
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        AppearanceScope scope(appearance);
        MiniHypnogramView view(true);
        view.resize(220, 30);
        view.setNight(ordinaryNight());
        EXPECT_EQ(view.accessibleName(), "Night trace");
        EXPECT_TRUE(writeGallery(render(view, 2, CanvasPalette(appearance).card),
                                 QString("mini-hypnogram-%1").arg(nameOf(appearance))));
    }
}
