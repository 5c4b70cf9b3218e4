#include "Dormio/UI/Kit/CanvasPalette.h"
#include "KitTest.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

std::array<QColor, 10> fields(const CanvasPalette& p) {
    return {p.ink, p.ink2, p.ink3, p.rule, p.ruleStrong, p.indigo, p.rose, p.amber, p.card, p.darkWakeMark};
}

// The chart's own marks read on its card in each scheme: the inks and accents as the page's do, and the
// dark-wake mark, which the page has no tone for, as an accent.
TEST(CanvasPalette, MarksReadOnTheCard) {
    for (const Appearance scheme : {Appearance::dark, Appearance::light}) {
        SCOPED_TRACE(test::nameOf(scheme));
        const CanvasPalette p(scheme);
        EXPECT_GE(test::contrast(p.ink, p.card), 7);
        EXPECT_GE(test::contrast(p.ink2, p.card), 4.5);
        for (const QColor& mark : {p.indigo, p.rose, p.amber, p.darkWakeMark})
            EXPECT_GE(test::contrast(mark, p.card), 2.5);
        EXPECT_GT(test::contrast(p.rule, p.card), 1.05);
    }
}

TEST(CanvasPalette, SchemesDifferInEveryFieldAndInksShareTheirTone) {
    const auto dark = fields(CanvasPalette(Appearance::dark));
    const auto light = fields(CanvasPalette(Appearance::light));
    for (size_t i = 0; i < dark.size(); ++i)
        EXPECT_NE(dark[i], light[i]) << "field " << i;
    for (const Appearance scheme : {Appearance::dark, Appearance::light}) {
        const CanvasPalette p(scheme);
        EXPECT_NEAR(p.ink2.alphaF(), 0.64, 1.0 / 255);
        for (const QColor& tone : {p.ink2, p.ink3, p.rule, p.ruleStrong})
            EXPECT_EQ(tone.rgb(), p.ink.rgb());
    }
}

TEST(CanvasPalette, CarriesTheThemesTonesWithALighterRule) {
    for (const Appearance scheme : {Appearance::dark, Appearance::light}) {
        const CanvasPalette p(scheme);
        EXPECT_EQ(p.ink3, Theme::ink3.resolve(scheme));
        EXPECT_EQ(p.ruleStrong, Theme::ruleStrong.resolve(scheme));
        EXPECT_EQ(p.card, Theme::panel.resolve(scheme));
        EXPECT_LT(p.rule.alphaF(), Theme::rule.resolve(scheme).alphaF());
    }
}

} // namespace
} // namespace dormio
