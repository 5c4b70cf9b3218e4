// A movie's pixels: as sharp as the screen, never much wider than 2560 pixels, even on both sides.
#include "OstrelKit/Capture/MovieSize.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace dormio {
namespace {

using MovieSize::Screen;

const QList<Screen> retina{{QRectF(0, 0, 2560, 1600), 2}};
const QList<Screen> twoScreens{{QRectF(0, 0, 1920, 1080), 1}, {QRectF(1920, 0, 2560, 1440), 2}};

struct Case {
    const char* what;
    QList<Screen> screens;
    QRectF region;
    qreal scale;
    QSize pixels;
};

class MovieSizeCases : public ::testing::TestWithParam<Case> {};

TEST_P(MovieSizeCases, ScaleAndEvenPixels) {
    const Case& c = GetParam();
    const qreal scale = MovieSize::scale(c.region, MovieSize::screenScale(c.screens, c.region));
    EXPECT_DOUBLE_EQ(scale, c.scale);
    EXPECT_EQ(MovieSize::pixels(c.region.toAlignedRect(), scale), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, MovieSizeCases,
    ::testing::Values(
        Case{"1000 x 500 at ratio 2", retina, QRectF(100, 100, 1000, 500), 2, QSize(2000, 1000)},
        Case{"1600 wide, capped", retina, QRectF(0, 0, 1600, 1000), 1.6, QSize(2560, 1600)},
        // Made integral first: 0.5 to 333.8 becomes 0 to 334.
        Case{"333.3 wide", retina, QRectF(0.5, 0, 333.3, 100), 2, QSize(668, 200)},
        Case{"odd pixels round to even",
             {{QRectF(0, 0, 800, 600), 1.5}},
             QRectF(0, 0, 333, 101),
             1.5,
             QSize(500, 152)},
        Case{"no screen", {}, QRectF(0, 0, 1000, 500), 2, QSize(2000, 1000)},
        Case{"no screen, wide", {}, QRectF(0, 0, 2000, 500), 1.28, QSize(2560, 640)},
        Case{"off every screen", retina, QRectF(5000, 5000, 400, 300), 2, QSize(800, 600)},
        Case{"on the second screen", twoScreens, QRectF(2000, 100, 400, 300), 2, QSize(800, 600)},
        Case{"across both: the first in the list", twoScreens, QRectF(1800, 100, 400, 300), 1,
             QSize(400, 300)},
        Case{"flush with the first screen's edge: the second", twoScreens, QRectF(1920, 100, 400, 300), 2,
             QSize(800, 600)}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
        return name;
    });

} // namespace
} // namespace dormio
