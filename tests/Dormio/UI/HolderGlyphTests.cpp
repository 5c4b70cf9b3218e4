#include "Dormio/UI/Kit/HolderGlyph.h"
#include "KitTest.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dormio {
namespace {

TEST(HolderGlyph, ShowsTheIconOnlyOfAnAppBundleStillOnDisk) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QDir(folder.path()).mkpath("Music.app");
    QDir(folder.path()).mkpath("Music.APP");
    QDir(folder.path()).mkpath("bin");
    const auto at = [&](const char* name) { return folder.filePath(name).toStdString(); };
    struct Case {
        std::optional<std::string> path;
        bool icon;
    };
    const Case cases[] = {
        {at("Music.app"), true},
        {at("Gone.app"), false},  // the bundle went away
        {at("Music.APP"), false}, // the suffix is case-sensitive
        {at("bin"), false},       // a bare executable's folder
        {"", false},
        {std::nullopt, false},
    };
    for (const Case& c : cases) {
        const HolderGlyph glyph(c.path, "Music", 16);
        EXPECT_EQ(glyph.showsIcon(), c.icon) << c.path.value_or("(none)");
        EXPECT_EQ(glyph.sizeHint(), QSize(16, 16));
    }
    // Asked at every drawing: once the bundle goes, the symbol takes its place.
    const HolderGlyph glyph(at("Music.app"), "Music", 16);
    QDir(at("Music.app").c_str()).removeRecursively();
    EXPECT_FALSE(glyph.showsIcon());
}

// The process's symbol at 0.72 of the frame in the secondary ink; an app's grey icon at 0.85 opacity.
TEST(HolderGlyph, DrawsTheSymbolOrTheIcon) {
    const QTemporaryDir folder;
    QDir(folder.path()).mkpath("Tool.app");
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        HolderGlyph symbol(std::nullopt, "coreaudiod", 32);
        const QImage drawn = test::render(symbol, 2);
        QRect ink;
        bool secondary = false;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (const QColor c = drawn.pixelColor(x, y); c.alpha() > 0) {
                    ink |= QRect(x, y, 1, 1);
                    secondary = secondary || test::near(c, Theme::ink2.resolve(appearance), 3);
                }
        EXPECT_TRUE(secondary) << test::nameOf(appearance);
        const QRectF box = QRectF(ink).adjusted(0, 0, 1, 1);
        EXPECT_LE(box.width() / 2, 32 * 0.72 + 0.5);
        EXPECT_LE(box.height() / 2, 32 * 0.72 + 0.5);
        EXPECT_NEAR(box.center().x() / 2, 16, 3);

        HolderGlyph icon(folder.filePath("Tool.app").toStdString(), "Tool", 32);
        const QImage grey = test::render(icon, 2);
        int strongest = 0;
        for (int y = 0; y < grey.height(); ++y)
            for (int x = 0; x < grey.width(); ++x) {
                const QColor c = grey.pixelColor(x, y);
                strongest = std::max(strongest, c.alpha());
                EXPECT_EQ(c.red(), c.green());
            }
        EXPECT_NEAR(strongest, 0.85 * 255, 2) << test::nameOf(appearance);
    }
}

} // namespace
} // namespace dormio
