// The Battery page's gauge: the health scale from 50 with its zones, the charge scale from 0, the needle
// held at the ends, and its words for assistive technology.
#include "ChartFixtures.h"
#include "ChartProbe.h"
#include "Dormio/UI/Charts/HealthGauge.h"

#include <gtest/gtest.h>
#include <limits>

namespace dormio {
namespace {

constexpr double width = 424; // the scale runs from 12 to 412: 8 points per percent calibrated, 4 for charge

TEST(HealthGauge, NeedleStandsOnTheScaleAndIsHeldAtItsEnds) {
    struct Case {
        const char* what;
        int64_t value;
        bool calibrated;
        double x;
    };
    const int64_t most = std::numeric_limits<int64_t>::max();
    const Case cases[] = {
        {"health 50 at the left end", 50, true, 12},
        {"health below the scale", 30, true, 12},
        {"health 70 on the first separator", 70, true, 172},
        {"health 75 under WORN", 75, true, 212},
        {"health 100 at the right end", 100, true, 412},
        {"health above 100", 104, true, 412},
        {"an absurd health", most, true, 412},
        {"charge 0 at the left end", 0, false, 12},
        {"charge 50 in the middle", 50, false, 212},
        {"charge 100 at the right end", 100, false, 412},
        {"a negative charge", -most - 1, false, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto gauge = HealthGauge::geometry(c.value, c.calibrated, width);
        EXPECT_EQ(gauge.needle, QLineF(c.x, 16, c.x, 35));
        EXPECT_EQ(gauge.pointer, QPolygonF({{c.x - 5, 9}, {c.x + 5, 9}, {c.x, 16}}));
    }
}

struct TickCounts {
    std::size_t all = 0, long_ = 0, middle = 0;
};

TickCounts countTicks(const HealthGauge::Geometry& gauge) {
    TickCounts counts;
    for (const QLineF& tick : gauge.ticks) {
        ++counts.all;
        if (tick.y2() == 35) ++counts.long_;
        if (tick.y2() == 32) ++counts.middle;
    }
    return counts;
}

std::vector<QString> texts(const std::vector<Charts::ChartLabel>& labels) {
    std::vector<QString> out;
    for (const auto& label : labels)
        out.push_back(label.text);
    return out;
}

TEST(HealthGauge, TheTwoScales) {
    const auto health = HealthGauge::geometry(83, true, width);
    const TickCounts h = countTicks(health);
    EXPECT_EQ(h.all, 51u);
    EXPECT_EQ(h.long_, 6u);
    EXPECT_EQ(h.middle, 5u);
    EXPECT_EQ(texts(health.tickLabels), (std::vector<QString>{"50", "60", "70", "80", "90", "100"}));
    EXPECT_EQ(health.tickLabels.front().at, QPointF(12, 38));
    EXPECT_EQ(health.tickLabels.front().anchor, Charts::Anchor::topCentre);
    EXPECT_EQ(health.baseline, QLineF(12, 26, 412, 26));
    EXPECT_EQ(health.zoneFills, (std::vector<QRectF>{QRectF(12, 18, 160, 8), QRectF(172, 18, 80, 8)}));
    EXPECT_EQ(health.zoneOpacities, (std::vector<double>{0.16, 0.07}));
    EXPECT_EQ(health.separators, (std::vector<QLineF>{QLineF(172, 4, 172, 26), QLineF(252, 4, 252, 26),
                                                      QLineF(332, 4, 332, 26)}));
    EXPECT_EQ(texts(health.zoneLabels), (std::vector<QString>{"SERVICE", "WORN", "GOOD", "LIKE NEW"}));
    EXPECT_EQ(health.zoneLabels[1].at, QPointF(212, 14));
    EXPECT_EQ(health.zoneLabels[1].anchor, Charts::Anchor::bottomCentre);

    const auto charge = HealthGauge::geometry(83, false, width);
    const TickCounts c = countTicks(charge);
    EXPECT_EQ(c.all, 51u);
    EXPECT_EQ(c.long_, 11u);
    EXPECT_EQ(c.middle, 0u); // odd multiples of 5 are never visited
    EXPECT_EQ(charge.tickLabels.size(), 11u);
    EXPECT_TRUE(charge.zoneFills.empty());
    EXPECT_TRUE(charge.separators.empty());
    EXPECT_TRUE(charge.zoneLabels.empty());
}

TEST(HealthGauge, AccessibilityFollowsTheModeNotTheValue) {
    EXPECT_EQ(HealthGauge::accessibleLabel(true), QStringLiteral("Battery health"));
    EXPECT_EQ(HealthGauge::accessibleLabel(false), QStringLiteral("Battery charge"));
    EXPECT_EQ(HealthGauge::accessibleValue(83), QStringLiteral("83 percent"));
}

TEST(HealthGauge, ANarrowGaugeStillDrawsFiniteGeometry) {
    for (double narrow : {0.0, 10.0, 24.0}) {
        const auto gauge = HealthGauge::geometry(75, true, narrow);
        EXPECT_EQ(gauge.ticks.size(), 51u);
        EXPECT_TRUE(std::isfinite(gauge.needle.x1())) << narrow;
    }
}

TEST(HealthGauge, SameGeometryInBothAppearancesEachInItsOwnColours) {
    const QSizeF size(width, 58);
    for (Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        const CanvasPalette palette(appearance);
        const QImage image = test::drawChart(
            [](QPainter& p, QSizeF s, const CanvasPalette& pal) { HealthGauge::paint(p, s, 75, true, pal); },
            size, appearance, palette.card);
        // The needle at 75 (x 212), in rose, below the zone labels.
        EXPECT_TRUE(test::near(test::probe(image, 212, 20), palette.rose, 6));
        // The pointer's triangle above it.
        EXPECT_TRUE(test::near(test::probe(image, 212, 11), palette.rose, 6));
        // The service zone's faint rose over the card.
        QColor service = palette.rose;
        service.setAlphaF(0.16f);
        EXPECT_TRUE(test::near(test::probe(image, 40, 22), test::over(service, palette.card), 3));
        // The good zone has no fill.
        EXPECT_TRUE(test::near(test::probe(image, 290, 22), palette.card, 2));
        // The baseline in the secondary ink, between two ticks.
        EXPECT_TRUE(test::near(test::probe(image, 250, 26.25), test::over(palette.ink2, palette.card), 6));
    }
}

} // namespace
} // namespace dormio
