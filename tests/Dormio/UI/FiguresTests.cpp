#include "Dormio/UI/Kit/Figures.h"
#include "KitTest.h"

#include <QBoxLayout>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

TEST(Figure, ShowsItsValueOverItsCaptionAtFullSize) {
    Figure figure("7 h 42 m", "asleep", Theme::ink);
    EXPECT_EQ(figure.value()->shownLines(), QStringList{"7 h 42 m"});
    EXPECT_EQ(figure.label()->shownLines(), QStringList{"ASLEEP"});
    EXPECT_EQ(figure.value()->textFont().pixels(), 17);
    EXPECT_EQ(figure.value()->textFont().design(), Font::Design::monospaced);

    // In a container narrower than itself it keeps its size rather than cutting the value.
    QWidget narrow;
    auto* row = new QHBoxLayout(&narrow);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(&figure);
    narrow.resize(20, 60);
    narrow.show();
    row->activate();
    const QSize full = figure.sizeHint();
    EXPECT_EQ(figure.size(), full);
    EXPECT_GE(full.width(), int(Theme::Typo::figure().width("7 h 42 m")));
    EXPECT_EQ(full.height(), figure.value()->height() + 3 + figure.label()->height());
    EXPECT_EQ(figure.value()->shownLines(), QStringList{"7 h 42 m"});
    row->removeWidget(&figure);
    figure.setParent(nullptr);
}

TEST(RestGrade, LightsOneBarPerTenPoints) {
    struct Case {
        int score;
        int lit;
        const char* word;
    };
    const Case cases[] = {
        {100, 10, "Sound"},     {85, 8, "Sound"},       {84, 8, "Light"},        {65, 6, "Light"},
        {50, 5, "Restless"},    {40, 4, "Restless"},    {39, 3, "Barely slept"}, {10, 1, "Barely slept"},
        {9, 0, "Barely slept"}, {0, 0, "Barely slept"},
    };
    for (const Case& c : cases) {
        const RestGrade grade(c.score, false);
        EXPECT_EQ(RestGrade::geometry(c.score, false).lit, c.lit) << c.score;
        EXPECT_EQ(grade.accessibleName(),
                  QStringLiteral("Rest score %1 of 100, %2").arg(c.score).arg(c.word));
    }
}

TEST(RestGrade, CompactIsNarrowerShorterAndHasNoWord) {
    struct Case {
        bool compact;
        qreal barWidth;
        qreal spacing;
        qreal tall;
        qreal shortBar;
        qreal figure;
    };
    for (const Case& c : {Case{false, 2.5, 3, 11, 8, 17}, Case{true, 2, 2, 8, 6, 12.5}}) {
        const auto g = RestGrade::geometry(82, c.compact);
        for (size_t i = 0; i < 10; ++i) {
            const QRectF& bar = g.bars[i];
            EXPECT_DOUBLE_EQ(bar.width(), c.barWidth) << i;
            EXPECT_DOUBLE_EQ(bar.x(), double(i) * (c.barWidth + c.spacing)) << i;
            EXPECT_DOUBLE_EQ(bar.height(), i == 4 || i == 9 ? c.tall : c.shortBar) << i;
            // Centred on one line, the strip as high as the tallest bar, standing on the bottom edge.
            EXPECT_DOUBLE_EQ(bar.center().y(), g.size.height() - c.tall / 2) << i;
        }
        const Font& figure = c.compact ? Theme::Typo::figureSmall() : Theme::Typo::figure();
        EXPECT_EQ(figure.pixels(), c.figure);
        // "REST" and the score share a baseline, 6 px apart.
        EXPECT_DOUBLE_EQ(g.kicker.y(), g.score.y());
        EXPECT_NEAR(g.score.x(), Kicker::font().width("REST") + 6, 1e-9);
        const qreal row =
            g.score.x() + figure.width("82") + (c.compact ? 0 : 6 + Theme::Typo::small().width("Light"));
        EXPECT_NEAR(g.size.width(), std::max(row, g.bars[9].right()), 1e-9) << c.compact;
    }
}

TEST(RestGrade, PaintsLitAndUnlitBarsInEitherAppearance) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const QColor paper = Theme::paper.resolve(appearance);
        RestGrade grade(50, false);
        const QImage image = test::render(grade, 2, paper);
        const auto g = RestGrade::geometry(50, false);
        const QColor lit = Theme::ink.resolve(appearance);
        const QColor unlit = test::over(Theme::ruleStrong.resolve(appearance), paper);
        for (size_t i = 0; i < 10; ++i) {
            const QPointF middle = g.bars[i].center();
            EXPECT_TRUE(test::near(test::probe(image, middle.x(), middle.y()), i < 5 ? lit : unlit, 2))
                << i << test::nameOf(appearance);
        }
    }
}

TEST(RestGrade, ANewScoreEasesTheBarsAndRollsTheDigits) {
    const test::SteppedClock time;
    QWidget window;
    auto* grade = new RestGrade(30, true, &window);
    window.show();
    grade->setScore(80);
    EXPECT_EQ(grade->score(), 80);
    EXPECT_TRUE(grade->isAnimating());
    time.advance(300ms);
    EXPECT_FALSE(grade->isAnimating());

    Motion::setReduceMotion(true);
    grade->setScore(20);
    EXPECT_FALSE(grade->isAnimating());
    Motion::setReduceMotion(std::nullopt);
}

} // namespace
} // namespace dormio
