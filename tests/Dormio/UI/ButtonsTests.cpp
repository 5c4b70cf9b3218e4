#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/RowHover.h"
#include "KitTest.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

TEST(Buttons, TakeTheSizeOfTheirStyle) {
    struct Case {
        const char* what;
        ButtonStyle style;
        qreal pixels;
        int height;
        int padding;
    };
    const Case cases[] = {
        {"primary large", PrimaryButtonStyle{true}, 13, 30, 16},
        {"primary", PrimaryButtonStyle{false}, 12.5, 26, 12},
        {"quiet large", QuietButtonStyle{Theme::ink, true}, 13, 30, 14},
        {"quiet", QuietButtonStyle{Theme::ink, false}, 12, 24, 10},
    };
    for (const Case& c : cases) {
        const Button button(c.style, "Continue");
        EXPECT_EQ(c.style.font.pixels(), c.pixels) << c.what;
        EXPECT_EQ(c.style.font.weight(), QFont::Medium) << c.what;
        EXPECT_EQ(button.sizeHint(),
                  QSize(int(std::ceil(c.style.font.width("Continue") + 2 * c.padding)), c.height))
            << c.what;
    }
    // An icon button of 24 holds a 12 px symbol in a 24 px square.
    const std::unique_ptr<Button> icon(Button::withSymbol(IconButtonStyle{24}, "chevron.left"));
    EXPECT_EQ(icon->sizeHint(), QSize(24, 24));
    EXPECT_EQ(icon->style().font.pixels(), 12);
}

TEST(Buttons, LookOfEveryState) {
    const auto alpha = [](const DynamicColor& color) { return QColor(color).alpha(); };
    struct Case {
        const char* what;
        ButtonStyle style;
        qreal hover;
        bool pressed;
        bool enabled;
        DynamicColor fill;
        DynamicColor outline;
        DynamicColor label;
        qreal opacity;
    };
    const ButtonStyle primary = PrimaryButtonStyle{false};
    const ButtonStyle quiet = QuietButtonStyle{Theme::rose, false};
    const ButtonStyle icon = IconButtonStyle{26};
    const Case cases[] = {
        {"primary at rest", primary, 0, false, true, Theme::brandIndigo, Theme::brandRose.opacity(0),
         Theme::white, 1},
        {"primary hovered", primary, 1, false, true, Theme::brandIndigo, Theme::brandRose.opacity(0.7),
         Theme::white, 1},
        {"primary pressed", primary, 1, true, true, Theme::brandIndigo.opacity(0.82),
         Theme::brandRose.opacity(0.7), Theme::white, 1},
        {"primary disabled", primary, 0, false, false, Theme::brandIndigo, Theme::brandRose.opacity(0),
         Theme::white, 0.45},
        {"quiet at rest", quiet, 0, false, true, clear, Theme::rule, Theme::rose, 1},
        {"quiet hovered", quiet, 1, false, true, Theme::wash, Theme::ruleStrong, Theme::rose, 1},
        {"quiet pressed while hovered", quiet, 1, true, true, Theme::rule, Theme::ruleStrong, Theme::rose, 1},
        {"quiet disabled", quiet, 0, false, false, clear, Theme::rule, Theme::rose, 0.45},
        {"icon at rest", icon, 0, false, true, clear, clear, Theme::ink2, 1},
        {"icon hovered", icon, 1, false, true, Theme::wash, clear, Theme::ink, 1},
        {"icon pressed while hovered", icon, 1, true, true, Theme::rule, clear, Theme::ink, 1},
        {"icon disabled", icon, 0, false, false, clear, clear, Theme::ink2, 0.35},
    };
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const Case& c : cases) {
            const Button::Look look = Button::look(c.style, c.hover, c.pressed, c.enabled);
            const auto same = [&](const QColor& drawn, const DynamicColor& wanted) {
                return alpha(wanted) == 0 ? drawn.alpha() == 0 : drawn == QColor(wanted);
            };
            EXPECT_TRUE(same(look.fill, c.fill)) << c.what << ' ' << test::nameOf(appearance);
            EXPECT_TRUE(same(look.outline, c.outline)) << c.what << ' ' << test::nameOf(appearance);
            EXPECT_TRUE(same(look.label, c.label)) << c.what << ' ' << test::nameOf(appearance);
            EXPECT_EQ(look.opacity, c.opacity) << c.what;
        }
    }
    // Half-way through the hover spring the rose border of a primary button is half drawn.
    EXPECT_NEAR(Button::look(primary, 0.5, false, true).outline.alphaF(), 0.35, 0.01);
}

TEST(Buttons, TrackTheirPointerEvenWhenDisabledAndEaseTheHover) {
    const test::SteppedClock time;
    QWidget window;
    window.resize(200, 100);
    auto* quit = new Button(QuietButtonStyle{Theme::ink, false}, "Quit\u2026", &window);
    quit->move(20, 20);
    auto* off = new Button(QuietButtonStyle{Theme::ink, false}, "Off", &window);
    off->move(120, 20);
    off->setEnabled(false);
    window.show();

    for (Button* button : {quit, off}) {
        QTest::mouseMove(button, QPoint(5, 5));
        QApplication::processEvents();
        EXPECT_TRUE(button->hovering()) << button->text().toStdString();
    }
    time.advance(100ms);
    EXPECT_GT(quit->hoverProgress(), 0.5);
    EXPECT_LT(quit->hoverProgress(), 1.01);
    time.advance(300ms);
    EXPECT_NEAR(quit->hoverProgress(), 1, 1e-9);
}

TEST(Buttons, TheWholeSquareOfAnIconButtonTakesTheClick) {
    auto icon = std::unique_ptr<Button>(Button::withSymbol(IconButtonStyle{26}, "chevron.right"));
    icon->resize(icon->sizeHint());
    icon->show();
    QSignalSpy clicks(icon.get(), &QAbstractButton::clicked);
    for (const QPoint corner : {QPoint(1, 1), QPoint(24, 24), QPoint(13, 13)})
        QTest::mouseClick(icon.get(), Qt::LeftButton, {}, corner);
    EXPECT_EQ(clicks.size(), 3);
    icon->setEnabled(false);
    QTest::mouseClick(icon.get(), Qt::LeftButton, {}, QPoint(13, 13));
    EXPECT_EQ(clicks.size(), 3);
}

TEST(Buttons, PaintTheirStatesInEitherAppearance) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const test::InstantClock instant;
        const QColor paper = Theme::paper.resolve(appearance);

        Button primary(PrimaryButtonStyle{true}, "Get Started");
        EXPECT_EQ(test::probe(test::render(primary, 2, paper), 4, 15),
                  Theme::brandIndigo.resolve(appearance));
        primary.setEnabled(false);
        EXPECT_TRUE(test::near(test::probe(test::render(primary, 2, paper), 4, 15),
                               test::over(Theme::brandIndigo.opacity(0.45).resolve(appearance), paper), 2))
            << test::nameOf(appearance);

        QWidget window;
        auto* quiet = new Button(QuietButtonStyle{Theme::ink, false}, "Quit\u2026", &window);
        window.show();
        QImage image = test::render(*quiet, 2, paper);
        EXPECT_EQ(test::probe(image, 4, 12), paper) << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, quiet->width() / 2.0, 0.25),
                               test::over(Theme::rule.resolve(appearance), paper), 2));
        test::enter(quiet);
        image = test::render(*quiet, 2, paper);
        const QColor washed = test::over(Theme::wash.resolve(appearance), paper);
        EXPECT_TRUE(test::near(test::probe(image, 4, 12), washed, 2)) << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, quiet->width() / 2.0, 0.25),
                               test::over(Theme::ruleStrong.resolve(appearance), washed), 2));
        quiet->setDown(true);
        image = test::render(*quiet, 2, paper);
        EXPECT_TRUE(
            test::near(test::probe(image, 4, 12), test::over(Theme::rule.resolve(appearance), paper), 2))
            << test::nameOf(appearance);
    }
}

// The wash covers exactly the row's own frame, not the padding of the row's container.
TEST(RowHover, HighlightsExactlyTheRowsFrameWhileHovered) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const test::SteppedClock time;
        QWidget container;
        container.resize(300, 80);
        auto* row = new QWidget(&container);
        row->setGeometry(20, 20, 260, 40);
        RowHover* hover = RowHover::attach(row);
        container.show();

        test::enter(row);
        EXPECT_TRUE(hover->hovering());
        time.advance(50ms);
        EXPECT_GT(hover->highlight(), 0);
        EXPECT_LT(hover->highlight(), 1);
        time.advance(400ms);

        const QColor paper = Theme::paper.resolve(appearance);
        const QImage image = test::render(container, 2, paper);
        const QColor washed = test::over(Theme::wash.resolve(appearance), paper);
        EXPECT_TRUE(test::near(test::probe(image, 150, 20.25), washed, 1)) << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, 150, 59.75), washed, 1));
        EXPECT_TRUE(test::near(test::probe(image, 20.25, 40), washed, 1));
        EXPECT_EQ(test::probe(image, 150, 19.75), paper);
        EXPECT_EQ(test::probe(image, 19.75, 40), paper);
        EXPECT_EQ(test::probe(image, 150, 60.25), paper);

        test::leave(row);
        time.advance(400ms);
        EXPECT_FALSE(hover->hovering());
        EXPECT_EQ(test::probe(test::render(container, 2, paper), 150, 40), paper);
    }
}

} // namespace
} // namespace dormio
