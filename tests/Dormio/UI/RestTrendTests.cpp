// The rest trend beside the History figures: nothing under two scores, points inset 3 points, unclamped
// scores, a dotted midline at 50 and the newest score marked.
#include "ChartFixtures.h"
#include "ChartProbe.h"
#include "Dormio/UI/Charts/RestTrend.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

const QSizeF size(180, 30);

TEST(RestTrend, FewerThanTwoScoresDrawNothingAtAll) {
    for (const std::vector<int64_t>& scores : {std::vector<int64_t>{}, std::vector<int64_t>{80}}) {
        EXPECT_FALSE(RestTrend::geometry(scores, size));
        const QImage image = test::drawChart(
            [&](QPainter& p, QSizeF s, const CanvasPalette& pal) { RestTrend::paint(p, s, scores, pal); },
            size, Appearance::light);
        EXPECT_TRUE(test::blank(image)) << scores.size() << " scores";
    }
}

TEST(RestTrend, PointsLieInsideA3PointInsetWithoutClamping) {
    struct Case {
        const char* what;
        std::vector<int64_t> scores;
        std::vector<QPointF> points;
    };
    const std::vector<Case> cases{
        {"two equal scores: a flat line edge to edge", {50, 50}, {{3, 15}, {177, 15}}},
        {"the ends of the scale", {100, 0}, {{3, 3}, {177, 27}}},
        {"three, evenly spread", {0, 50, 100}, {{3, 27}, {90, 15}, {177, 3}}},
        {"beyond the scale stays beyond the inset", {150, -50}, {{3, -9}, {177, 39}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto trend = RestTrend::geometry(c.scores, size);
        ASSERT_TRUE(trend);
        EXPECT_EQ(trend->points, c.points);
        EXPECT_EQ(trend->midline, QLineF(0, 15, 180, 15));
        EXPECT_EQ(trend->lastDot, QRectF(c.points.back() - QPointF(2.5, 2.5), QSizeF(5, 5)));
    }
}

TEST(RestTrend, AccessibleValueListsTheScores) {
    EXPECT_EQ(RestTrend::accessibleValue({82, 75, 91}), QStringLiteral("82, 75, 91"));
    EXPECT_EQ(RestTrend::accessibleValue({}), QString());
}

TEST(RestTrend, DrawsInEachAppearancesPalette) {
    const std::vector<int64_t> scores{20, 20, 80};
    for (Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        const CanvasPalette palette(appearance);
        const QImage image = test::drawChart(
            [&](QPainter& p, QSizeF s, const CanvasPalette& pal) { RestTrend::paint(p, s, scores, pal); },
            size, appearance);
        // The newest score's dot at (177, 9.6), in indigo.
        EXPECT_TRUE(test::near(test::probe(image, 177, 9.6), palette.indigo, 6));
        // The line between the first two scores, at a score of 20 (y 22.2), in the secondary ink.
        EXPECT_TRUE(test::inkedIn(image, QRectF(30, 21.2, 20, 2), palette.ink2));
        // The dotted midline: a dot at the start of its pattern, a gap after it.
        // A faint colour over nothing keeps its tone only roughly once stored premultiplied.
        EXPECT_TRUE(test::near(test::probe(image, 4.25, 15), palette.rule, 12));
        EXPECT_EQ(test::probe(image, 6, 15).alpha(), 0);
    }
}

} // namespace
} // namespace dormio
