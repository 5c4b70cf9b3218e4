#include "Dormio/UI/Kit/CanvasPalette.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

std::array<QColor, 10> fields(const CanvasPalette& p) {
    return {p.ink, p.ink2, p.ink3, p.rule, p.ruleStrong, p.indigo, p.rose, p.amber, p.card, p.darkWakeMark};
}

TEST(CanvasPalette, FixedValuesOfEachScheme) {
    struct Case {
        Appearance scheme;
        std::array<QRgb, 10> argb;
    };
    const Case cases[] = {
        {Appearance::dark,
         {0xFFECE9F5, 0xA3ECE9F5, 0x66ECE9F5, 0x1AECE9F5, 0x38ECE9F5, 0xFF7A5FD0, 0xFFE7838C, 0xFFD9A955,
          0xFF16142A, 0xFFFFC2C7}},
        {Appearance::light,
         {0xFF1B1830, 0xA31B1830, 0x6B1B1830, 0x1C1B1830, 0x3D1B1830, 0xFF3A1C71, 0xFFC9606B, 0xFFB98330,
          0xFFFCFBF8, 0xFFC9606B}},
    };
    for (const Case& c : cases) {
        const auto colours = fields(CanvasPalette(c.scheme));
        for (size_t i = 0; i < colours.size(); ++i)
            EXPECT_EQ(colours[i].rgba(), c.argb[i])
                << "field " << i << (c.scheme == Appearance::dark ? " dark" : " light");
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
