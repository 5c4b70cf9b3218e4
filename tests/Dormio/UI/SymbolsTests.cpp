#include "Dormio/UI/Kit/Symbols.h"

#include <QFileInfo>
#include <QImage>
#include <QRawFont>
#include <gtest/gtest.h>

namespace dormio {
namespace {

const char* const fontFile =
    "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

// Every symbol name the app draws.
const char* const names[] = {
    "arrow.clockwise",
    "arrow.clockwise.circle.fill",
    "arrow.down.circle",
    "battery.75percent",
    "bell",
    "bolt",
    "cable.connector",
    "calendar.badge.clock",
    "checkmark",
    "chevron.left",
    "chevron.right",
    "clock.arrow.circlepath",
    "computermouse",
    "display",
    "dot.radiowaves.left.and.right",
    "envelope",
    "exclamationmark.circle",
    "eye",
    "eye.slash",
    "gearshape",
    "globe",
    "icloud",
    "keyboard",
    "laptopcomputer",
    "list.bullet.rectangle",
    "location",
    "magnifyingglass",
    "moon",
    "moon.haze",
    "moon.zzz",
    "music.note",
    "person",
    "photo",
    "power",
    "powerplug",
    "questionmark",
    "square.stack.3d.up",
    "text.alignleft",
    "thermometer.medium",
    "timer",
    "trash",
    "wifi",
    "wrench.and.screwdriver",
};

// Pixels drawn, and the bounding box of the ink.
struct Ink {
    int pixels = 0;
    QRect box;
};

Ink inkOf(std::string_view name, const QColor& color = Qt::black) {
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Symbols::paint(painter, QRectF(0, 0, 48, 48), name, color);
    painter.end();
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) {
                ++ink.pixels;
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
    for (const char* name : names) {
        const QString glyph = Symbols::glyph(name);
        ASSERT_EQ(glyph.toUcs4().size(), 1) << name;
        EXPECT_TRUE(font.supportsCharacter(glyph.toUcs4().front())) << name;
        if (std::string_view(name) != "questionmark") {
            EXPECT_NE(glyph, fallback) << name;
        }
    }
}

TEST(Symbols, GlyphsDrawInsideTheirRect) {
    for (const char* name : names) {
        const Ink ink = inkOf(name);
        EXPECT_GT(ink.pixels, 20) << name;
        EXPECT_TRUE(QRect(0, 0, 48, 48).contains(ink.box)) << name;
        // Roughly centred: the ink's middle within a quarter of the side of the rect's middle.
        EXPECT_NEAR(ink.box.center().x(), 24, 12) << name;
        EXPECT_NEAR(ink.box.center().y(), 24, 12) << name;
    }
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
