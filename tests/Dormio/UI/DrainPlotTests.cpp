// The overnight drain plot: the grid's top, the median and the threshold of a bad night, the stems'
// places and the day labels, from the nights' losses alone.
#include "ChartFixtures.h"
#include "ChartProbe.h"
#include "Dormio/UI/Charts/ClockMarks.h"
#include "Dormio/UI/Charts/DrainPlot.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

using DrainPlot::Drain;

std::vector<Drain> drainsOf(std::initializer_list<double> points) {
    std::vector<Drain> drains;
    int day = 1;
    for (double p : points)
        drains.push_back(Drain{p, day++});
    return drains;
}

const QSizeF size(442, 140); // plot 400 × 112 from (34, 8)

TEST(DrainPlot, TopMedianAndThreshold) {
    struct Case {
        const char* what;
        std::vector<Drain> drains;
        double top, median, threshold;
        std::vector<bool> high;
    };
    const std::vector<Case> cases{
        {"no nights", {}, 10, 0, 5, {}},
        {"all drains 0", drainsOf({0, 0, 0}), 10, 0, 5, {false, false, false}},
        {"largest 10 keeps the top at 10", drainsOf({10, 2}), 10, 10, 15, {false, false}},
        {"largest 11 lifts it to 15", drainsOf({11, 2}), 15, 11, 16.5, {false, false}},
        {"the upper middle of an even count", drainsOf({1, 2, 3, 10}), 10, 3, 5, {false, false, false, true}},
        {"median 4: 6 stays ink, 7 turns rose",
         drainsOf({4, 4, 4, 6, 7}),
         10,
         4,
         6,
         {false, false, false, false, true}},
        {"exactly the threshold stays ink", drainsOf({5, 0, 0}), 10, 0, 5, {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DrainPlot::top(c.drains), c.top);
        EXPECT_EQ(DrainPlot::median(c.drains), c.median);
        EXPECT_EQ(DrainPlot::threshold(c.median), c.threshold);
        const auto plot = DrainPlot::geometry(c.drains, size);
        std::vector<bool> high;
        for (const auto& stem : plot.stems)
            high.push_back(stem.high);
        EXPECT_EQ(high, c.high);
    }
}

TEST(DrainPlot, GridEveryFivePercentUpToTheTop) {
    const auto ten = DrainPlot::geometry(drainsOf({0, 0}), size);
    EXPECT_EQ(ten.plot, QRectF(34, 8, 400, 112));
    ASSERT_EQ(ten.grid.size(), 3u);
    EXPECT_TRUE(ten.grid[0].baseline);
    EXPECT_FALSE(ten.grid[1].baseline);
    EXPECT_EQ(ten.grid[0].line, QLineF(34, 120, 434, 120));
    EXPECT_EQ(ten.grid[2].line, QLineF(34, 8, 434, 8));
    EXPECT_EQ(ten.grid[1].label.text, QStringLiteral("5%"));
    EXPECT_EQ(ten.grid[1].label.at, QPointF(28, 64));
    EXPECT_EQ(ten.grid[1].label.anchor, Charts::Anchor::trailingCentre);
    // All drains 0: the median line lies on the baseline.
    EXPECT_EQ(ten.medianLine, QLineF(34, 120, 434, 120));
    EXPECT_EQ(ten.medianLabel.text, QStringLiteral("median 0%"));
    EXPECT_EQ(ten.medianLabel.at, QPointF(234, 117)) << "before the last of two slots";
    EXPECT_EQ(ten.medianLabel.anchor, Charts::Anchor::bottomTrailing);
    // Ending before the last slot, the label keeps clear of its stem; where it would not fit there (one
    // night, or none) it ends at the plot's end.
    for (const std::size_t nights : {1u, 2u, 7u, 14u, 60u}) {
        const auto plot = DrainPlot::geometry(std::vector<Drain>(nights, Drain{4, 1}), size);
        const double labelLeft = plot.medianLabel.at.x() - 6.0 * plot.medianLabel.text.size();
        if (nights > 1) {
            EXPECT_LT(plot.medianLabel.at.x(), plot.stems.back().line.x1()) << nights;
        }
        EXPECT_GE(labelLeft, plot.plot.left()) << nights;
    }
    EXPECT_EQ(DrainPlot::geometry({}, size).medianLabel.at.x(), 434);

    const auto fifteen = DrainPlot::geometry(drainsOf({11}), size);
    EXPECT_EQ(fifteen.grid.size(), 4u);
    EXPECT_EQ(fifteen.grid.back().label.text, QStringLiteral("15%"));
}

TEST(DrainPlot, StemsStandInTheMiddleOfTheirSlots) {
    const auto one = DrainPlot::geometry(drainsOf({6}), size);
    ASSERT_EQ(one.stems.size(), 1u);
    EXPECT_EQ(one.stems[0].line, QLineF(234, 120, 234, 120 - 6.0 / 10 * 112));
    EXPECT_EQ(one.stems[0].dot, QRectF(230.5, one.stems[0].line.y2() - 3.5, 7, 7));

    const auto four = DrainPlot::geometry(drainsOf({1, 2, 3, 4}), size);
    std::vector<double> xs;
    for (const auto& stem : four.stems)
        xs.push_back(stem.line.x1());
    EXPECT_EQ(xs, (std::vector<double>{84, 184, 284, 384}));
    ASSERT_TRUE(four.stems[2].day);
    EXPECT_EQ(four.stems[2].day->text, QStringLiteral("3"));
    EXPECT_EQ(four.stems[2].day->at, QPointF(284, 125));
    EXPECT_EQ(four.stems[2].day->anchor, Charts::Anchor::topCentre);

    const auto empty = DrainPlot::geometry({}, size);
    EXPECT_TRUE(empty.stems.empty());
    EXPECT_EQ(empty.grid.size(), 3u);
}

TEST(DrainPlot, DayLabelsOnlyUpToFourteenNights) {
    std::vector<Drain> drains(14, Drain{2, 9});
    for (const auto& stem : DrainPlot::geometry(drains, size).stems)
        EXPECT_TRUE(stem.day);
    drains.push_back(Drain{2, 9});
    const auto fifteen = DrainPlot::geometry(drains, size);
    ASSERT_EQ(fifteen.stems.size(), 15u);
    for (const auto& stem : fifteen.stems)
        EXPECT_FALSE(stem.day);
}

TEST(DrainPlot, DrainsFromTheNightsDayOfTheStartOnTheUsersCalendar) {
    test::ScopedTZ zone("Europe/Berlin");
    const Calendar calendar = Calendar::current();
    // From the 5th into the 6th: labelled 5.
    Night lossy = test::nightOf(test::wall(calendar, "2024-05-05 23:00"), 8 * 60);
    lossy.hasBattery = true;
    lossy.battery = {{lossy.start, 90}, {lossy.end, 84}};
    // Half past one on the 5th in Berlin is still the 4th in UTC: the user's calendar decides.
    const Night noLoss = test::nightOf(test::wall(calendar, "2024-05-05 01:30"), 60);
    EXPECT_EQ(DrainPlot::drains({lossy, noLoss}, calendar), (std::vector<Drain>{Drain{6, 5}, Drain{0, 5}}));
}

TEST(DrainPlot, AnAbsurdLossStillDrawsInBoundedTime) {
    const auto plot = DrainPlot::geometry(drainsOf({1e15}), size);
    EXPECT_LE(plot.grid.size(), Charts::maxMarks);
    EXPECT_TRUE(std::isfinite(plot.stems[0].line.y2()));
}

TEST(DrainPlot, StemsAndDotsInEachAppearancesPalette) {
    const auto drains = drainsOf({1, 2, 3, 10});
    for (Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        const CanvasPalette palette(appearance);
        const QImage image = test::drawChart(
            [&](QPainter& p, QSizeF s, const CanvasPalette& pal) { DrainPlot::paint(p, s, drains, pal); },
            size, appearance, palette.card);
        // The night with 10 is above the threshold of 5: a rose dot at the top of the grid.
        EXPECT_TRUE(test::near(test::probe(image, 384, 8), palette.rose, 6));
        // The night with 2: an ink dot at y 120 − 22.4.
        EXPECT_TRUE(test::near(test::probe(image, 184, 97.6), palette.ink, 6));
        // Its stem in the strong rule, half-way down.
        EXPECT_TRUE(
            test::near(test::probe(image, 184, 110), test::over(palette.ruleStrong, palette.card), 6));
        // The median of 3 as a dashed indigo line at y 86.4, the label above it, ending before the last of
        // the four slots (x 334).
        QColor median = palette.indigo;
        median.setAlphaF(0.6f);
        EXPECT_TRUE(test::near(test::probe(image, 36, 86.4), test::over(median, palette.card), 8));
        EXPECT_TRUE(test::inkedIn(image, QRectF(280, 70, 54, 13), palette.indigo));
        EXPECT_FALSE(test::inkedIn(image, QRectF(336, 70, 98, 13), palette.indigo));
    }
}

} // namespace
} // namespace dormio
