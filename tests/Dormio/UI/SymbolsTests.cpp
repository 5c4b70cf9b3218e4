#include "Dormio/Core/Page.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "Dormio/UI/Shell/PageLabels.h"
#include "Dormio/UI/Shell/TrayIcon.h"
#include "DormioKit/NightEvents.h"
#include "DormioKit/ProcessNames.h"

#include <QFileInfo>
#include <QImage>
#include <QRawFont>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dormio {
namespace {

const char* const fontFile =
    "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

// Every symbol name the app draws, from the tables of the model and the views that pick them.
std::vector<std::string> allNames() {
    std::vector<std::string> names;
    const auto add = [&](auto&& list) {
        for (const auto& name : list)
            names.emplace_back(name.data(), name.size());
    };
    add(NightBuilder::eventSymbols());
    add(ProcessNames::allSymbols());
    add(ToastSymbols::all);
    add(ViewSymbols::all);
    for (const Page page : Pages::allCases)
        names.push_back(PageLabels::symbol(page));
    for (const bool someoneHolds : {false, true})
        names.push_back(TrayIcon::symbolName(someoneHolds).toStdString());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

const std::vector<std::string> names = allNames();

// Pixels drawn, and the bounding box of the ink.
struct Ink {
    int pixels = 0;
    int mass = 0; // the alpha of every pixel, added up
    QRect box;
};

Ink inkOf(std::string_view name, const QColor& color = Qt::black, int side = 48,
          Symbols::Weight weight = Symbols::Weight::regular) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Symbols::paint(painter, QRectF(0, 0, side, side), name, color, weight);
    painter.end();
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) {
                ++ink.pixels;
                ink.mass += qAlpha(image.pixel(x, y));
                ink.box |= QRect(x, y, 1, 1);
            }
    return ink;
}

TEST(Symbols, FontIsInstalled) {
    EXPECT_TRUE(QFileInfo::exists(QString::fromLatin1(fontFile)));
}

TEST(Symbols, EveryNameHasAGlyphOfTheFont) {
    const QRawFont font(QString::fromLatin1(fontFile), 24);
    ASSERT_TRUE(font.isValid());
    const QString fallback = Symbols::glyph("questionmark");
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        const QString glyph = Symbols::glyph(name);
        ASSERT_EQ(glyph.toUcs4().size(), 1) << name;
        EXPECT_TRUE(font.supportsCharacter(glyph.toUcs4().front())) << name;
        if (name != "questionmark") {
            EXPECT_NE(glyph, fallback) << name;
        }
    }
}

TEST(Symbols, GlyphsDrawInsideTheirRect) {
    for (const std::string& name : names) {
        const Ink ink = inkOf(name);
        EXPECT_GT(ink.pixels, 20) << name;
        EXPECT_TRUE(QRect(0, 0, 48, 48).contains(ink.box)) << name;
        // Roughly centred: the ink's middle within a quarter of the side of the rect's middle.
        EXPECT_NEAR(ink.box.center().x(), 24, 12) << name;
        EXPECT_NEAR(ink.box.center().y(), 24, 12) << name;
    }
}

// A symbol of a size shows about as large as the symbol it stands for: the step buttons' 13-point
// chevrons stand most of that high, not as specks; a heavier weight inks more of the same glyph.
TEST(Symbols, ShowAtTheSizeTheirSymbolMeansInTheWeightAsked) {
    for (const std::string_view chevron : {ViewSymbols::previousNight, ViewSymbols::nextNight}) {
        const Ink ink = inkOf(chevron, Qt::black, 13);
        EXPECT_GE(ink.box.height(), 9) << chevron;
        EXPECT_GE(ink.box.width(), 5) << chevron;
    }
    const Ink check = inkOf(ViewSymbols::nothingHeld, Qt::black, 11);
    EXPECT_GE(check.box.width(), 9);
    const Ink semibold = inkOf(ViewSymbols::nothingHeld, Qt::black, 11, Symbols::Weight::semibold);
    EXPECT_GT(semibold.mass, check.mass * 1.15);
}

TEST(Symbols, UnknownNamesDrawTheQuestionMark) {
    EXPECT_EQ(Symbols::glyph("no.such.symbol"), Symbols::glyph("questionmark"));
    EXPECT_EQ(Symbols::glyph(""), Symbols::glyph("questionmark"));
    EXPECT_EQ(Symbols::glyph("Moon.zzz"), Symbols::glyph("questionmark"));
}

TEST(Symbols, IconsAreDrawnInTheColourAsked) {
    const QIcon icon = Symbols::icon("moon.zzz", QColor(58, 28, 113), 16);
    for (const qreal scale : {1.0, 2.0}) {
        const QImage image =
            icon.pixmap(QSize(16, 16), scale).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.size(), QSize(16, 16) * scale);
        bool solid = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                solid = solid || image.pixelColor(x, y) == QColor(58, 28, 113);
        EXPECT_TRUE(solid) << scale;
    }
    EXPECT_TRUE(Symbols::icon("moon.zzz", Qt::black, 0).isNull());
}

} // namespace
} // namespace dormio
