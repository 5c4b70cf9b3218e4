#include "Dormio/UI/Kit/Theme.h"
#include "KitTest.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTextLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using test::AppearanceScope;

// What a reader sees of the palette in each appearance: text that reads on the page and on a panel, each
// grade of ink fainter than the one before, accents that stand out from the page and from each other, rules
// that show and a wash fainter than a rule, and the brand's colours the same in both.
TEST(Theme, EachAppearanceReadsAndTellsItsColoursApart) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        SCOPED_TRACE(test::nameOf(appearance));
        const auto resolved = [&](const DynamicColor& color) { return color.resolve(appearance); };
        for (const QColor ground : {resolved(Theme::paper), resolved(Theme::panel)}) {
            EXPECT_GE(test::contrast(resolved(Theme::ink), ground), 7);
            EXPECT_GE(test::contrast(resolved(Theme::ink2), ground), 4.5);
            EXPECT_GE(test::contrast(resolved(Theme::ink3), ground), 2.5);
            EXPECT_GT(test::contrast(resolved(Theme::ink2), ground),
                      test::contrast(resolved(Theme::ink3), ground));
            for (const DynamicColor& accent : {Theme::indigo, Theme::rose, Theme::amber})
                EXPECT_GE(test::contrast(resolved(accent), ground), 2.5);
            EXPECT_GT(test::contrast(resolved(Theme::rule), ground), 1.1);
            EXPECT_GT(test::contrast(resolved(Theme::ruleStrong), ground),
                      test::contrast(resolved(Theme::rule), ground));
            EXPECT_LT(test::contrast(resolved(Theme::wash), ground),
                      test::contrast(resolved(Theme::rule), ground));
        }
        // The accents mark different things on one chart: no two may be mistaken for each other.
        const QColor accents[] = {resolved(Theme::indigo), resolved(Theme::rose), resolved(Theme::amber)};
        for (size_t i = 0; i < std::size(accents); ++i)
            for (size_t j = i + 1; j < std::size(accents); ++j) {
                const double turn = std::abs(accents[i].hslHueF() - accents[j].hslHueF());
                EXPECT_GE(std::min(turn, 1 - turn) * 360, 20) << "accents " << i << " and " << j;
            }
    }
    // The page turns dark in the dark appearance, and the brand does not follow it.
    EXPECT_LT(Theme::paper.resolve(Appearance::dark).lightnessF(), 0.2);
    EXPECT_GT(Theme::paper.resolve(Appearance::light).lightnessF(), 0.8);
    for (const DynamicColor& brand : {Theme::brandIndigo, Theme::brandRose})
        EXPECT_EQ(brand.resolve(Appearance::dark), brand.resolve(Appearance::light));
}

TEST(Theme, ColoursResolveInTheAppearanceOfTheMomentOfDrawing) {
    const AppearanceScope dark(Appearance::dark);
    EXPECT_EQ(QColor(Theme::paper), Theme::paper.resolve(Appearance::dark));
    Theme::setAppearance(Appearance::light);
    EXPECT_EQ(QColor(Theme::paper), Theme::paper.resolve(Appearance::light));
}

TEST(Theme, OpacityMultipliesBothAppearances) {
    const DynamicColor faded = Theme::rose.opacity(0.55);
    EXPECT_NEAR(faded.resolve(Appearance::light).alphaF(), 0.55, 1.0 / 255);
    EXPECT_NEAR(Theme::ink3.opacity(0.5).resolve(Appearance::dark).alphaF(), 0.20, 1.0 / 255);
    EXPECT_EQ(faded.resolve(Appearance::dark).rgb(), Theme::rose.resolve(Appearance::dark).rgb());
}

TEST(Theme, ScalesOfSpaceAndRadius) {
    EXPECT_EQ(
        (std::array{Theme::Space::s, Theme::Space::m, Theme::Space::l, Theme::Space::xl, Theme::Space::xxl}),
        (std::array<qreal, 5>{8, 12, 16, 24, 32}));
    EXPECT_EQ((std::array{Theme::Radius::panel, Theme::Radius::control, Theme::Radius::tag}),
              (std::array<qreal, 3>{10, 6, 4}));
}

struct TypeCase {
    const char* name;
    const Font& font;
    qreal pixels;
    std::optional<QFont::Weight> weight;
    Font::Design design;
};

TEST(Theme, TypeScale) {
    constexpr auto standard = Font::Design::standard;
    constexpr auto mono = Font::Design::monospaced;
    const TypeCase cases[] = {
        {"title", Theme::Typo::title(), 22, QFont::DemiBold, standard},
        {"lede", Theme::Typo::lede(), 18, QFont::Normal, standard},
        {"body", Theme::Typo::body(), 13, std::nullopt, standard},
        {"bodyStrong", Theme::Typo::bodyStrong(), 13, QFont::Medium, standard},
        {"small", Theme::Typo::small(), 11.5, std::nullopt, standard},
        {"figure", Theme::Typo::figure(), 17, QFont::Medium, mono},
        {"figureSmall", Theme::Typo::figureSmall(), 12.5, QFont::Medium, mono},
        {"time", Theme::Typo::time(), 11.5, QFont::Normal, mono},
        {"kicker", Theme::Typo::kicker(), 10, QFont::Medium, mono},
    };
    for (const TypeCase& c : cases) {
        EXPECT_EQ(c.font.pixels(), c.pixels) << c.name;
        EXPECT_EQ(c.font.weight(), c.weight) << c.name;
        EXPECT_EQ(c.font.design(), c.design) << c.name;
        // A font without a weight leaves the face's default in place rather than naming one.
        EXPECT_EQ(bool(c.font.nearest().resolveMask() & QFont::WeightResolved), c.weight.has_value())
            << c.name;
        const QString family = c.design == mono ? "JetBrains Mono" : "Inter";
        EXPECT_EQ(QFontInfo(c.font.nearest()).family(), family) << c.name;
    }
}

// A fractional size is its own size, not the whole pixel Qt would round it to: its text runs between
// the widths of the sizes around it, in proportion, and it draws as wide as it measures.
TEST(Theme, FractionalSizesKeepTheirSize) {
    const QString text = "Slept 7 h 42 m before anything stirred";
    for (const qreal pixels : {9.5, 10.5, 11.5, 12.5}) {
        const Font below(std::floor(pixels)), at(pixels), above(std::ceil(pixels));
        EXPECT_GT(at.width(text), below.width(text)) << pixels;
        EXPECT_LT(at.width(text), above.width(text)) << pixels;
        EXPECT_NEAR(at.width(text) / pixels, above.width(text) / std::ceil(pixels), 0.05) << pixels;
        EXPECT_NEAR(at.height() / pixels, above.height() / std::ceil(pixels), 0.02) << pixels;
    }

    const Font small = Theme::Typo::small();
    QImage image(1000, 60, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    small.draw(painter, QPointF(0, 20), text);
    painter.end();
    int right = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) right = std::max(right, x);
    EXPECT_NEAR(right / 2.0, small.width(text), 1.5);
}

TEST(Theme, TheMonospacedFaceTakesWhatItLacksFromDejaVu) {
    const Font& time = Theme::Typo::time();
    QTextLayout layout(QStringLiteral("42\u202F%"), time.nearest());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        families << run.rawFont().familyName();
        for (const quint32 glyph : run.glyphIndexes())
            EXPECT_NE(glyph, 0u) << run.rawFont().familyName().toStdString(); // never the missing-glyph box
    }
    EXPECT_TRUE(families.contains("JetBrains Mono")) << families.join(", ").toStdString();
    EXPECT_TRUE(families.contains("DejaVu Sans Mono")) << families.join(", ").toStdString();
}

TEST(Theme, InstallLoadsTheFacesAndFollowsTheDesktop) {
    Theme::install(*qApp);
    for (const char* family : {"Inter", "JetBrains Mono", "DejaVu Sans", "DejaVu Sans Mono"})
        EXPECT_TRUE(QFontDatabase::hasFamily(family)) << family;
    EXPECT_EQ(QApplication::font().family(), "Inter");
    EXPECT_EQ(QApplication::font().pixelSize(), 13);
    // The offscreen desktop is light; the app's own dark palette must not pass for the desktop's.
    Theme::setAppearance(Appearance::dark);
    QWidget window;
    window.show();
    QEvent change(QEvent::ThemeChange);
    QApplication::sendEvent(window.windowHandle(), &change);
    QApplication::processEvents();
    EXPECT_EQ(Theme::appearance(), Appearance::dark);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::paper.resolve(Appearance::dark));
    Theme::setAppearance(std::nullopt);
    EXPECT_EQ(Theme::appearance(), Appearance::light);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::paper.resolve(Appearance::light));
}

TEST(Theme, QtsPaletteFollowsTheAppearance) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const AppearanceScope scope(appearance);
        const QPalette palette = QApplication::palette();
        const QColor paper = Theme::paper.resolve(appearance);
        EXPECT_EQ(palette.color(QPalette::Window), paper);
        EXPECT_EQ(palette.color(QPalette::Base), Theme::panel.resolve(appearance));
        EXPECT_EQ(palette.color(QPalette::ToolTipBase), Theme::panel.resolve(appearance));
        EXPECT_EQ(palette.color(QPalette::Highlight), Theme::indigo.resolve(appearance));
        EXPECT_EQ(palette.color(QPalette::WindowText), Theme::ink.resolve(appearance));
        EXPECT_EQ(palette.color(QPalette::ToolTipText), Theme::ink.resolve(appearance));
        // Translucent inks reach Qt's widgets laid over the page, so native pieces need no blending.
        EXPECT_TRUE(test::near(palette.color(QPalette::Disabled, QPalette::Text),
                               test::over(Theme::ink3.resolve(appearance), paper), 1));
        EXPECT_EQ(palette.color(QPalette::Disabled, QPalette::Text).alpha(), 255);
    }
}

class PaintCounter : public QWidget {
public:
    int paints = 0;
    QColor lastPaper;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        lastPaper = Theme::paper;
    }
};

TEST(Theme, AChangeOfAppearanceRepaintsAndIsAnnounced) {
    const AppearanceScope light(Appearance::light);
    QSignalSpy changes(ThemeEvents::instance(), &ThemeEvents::appearanceChanged);
    PaintCounter window;
    window.resize(50, 50);
    window.show();
    QApplication::processEvents();
    const int before = window.paints;

    Theme::setAppearance(Appearance::dark);
    QApplication::processEvents();
    EXPECT_GT(window.paints, before);
    EXPECT_EQ(window.lastPaper, QColor(13, 12, 22));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].value<Appearance>(), Appearance::dark);

    Theme::setAppearance(Appearance::dark); // no change, no announcement
    EXPECT_EQ(changes.size(), 1);
}

} // namespace
} // namespace dormio
