#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/Text.h"
#include "KitTest.h"

#include <QApplication>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace dormio {
namespace {

using namespace std::chrono_literals;

const QChar ellipsis(0x2026);

TEST(Label, ShowsMarkupAsPlainText) {
    Label label("<b>Music</b> & <i>friends</i>", Theme::Typo::body(), Theme::ink);
    label.resize(label.sizeHint());
    EXPECT_EQ(label.shownLines(), QStringList{"<b>Music</b> & <i>friends</i>"});
    EXPECT_NEAR(label.sizeHint().width(), Theme::Typo::body().width(label.text()), 1);
    EXPECT_EQ(label.accessibleName(), label.text());
}

TEST(Label, CutsOneLineWhereItIsToldTo) {
    const QString text = "com.apple.dasd:task:refresh-photos-library";
    struct Case {
        Qt::TextElideMode mode;
        int width;
        QString starts;
        QString ends;
    };
    const Case cases[] = {
        {Qt::ElideRight, 120, "com.apple", QString(ellipsis)}, {Qt::ElideMiddle, 120, "com.apple", "library"},
        {Qt::ElideLeft, 120, QString(ellipsis), "library"},    {Qt::ElideNone, 120, "com.apple", "library"},
        {Qt::ElideMiddle, 1000, "com.apple", "library"},
    };
    for (const Case& c : cases) {
        Label label(text, Theme::Typo::small(), Theme::ink2);
        label.setElide(c.mode);
        label.resize(c.width, label.sizeHint().height());
        const QStringList lines = label.shownLines();
        ASSERT_EQ(lines.size(), 1) << c.mode;
        const QString& shown = lines.front();
        EXPECT_TRUE(shown.startsWith(c.starts)) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(c.ends)) << shown.toStdString();
        const bool fits = c.mode == Qt::ElideNone || c.width >= label.sizeHint().width();
        EXPECT_EQ(shown == text, fits) << shown.toStdString();
        if (!fits) {
            EXPECT_LE(Theme::Typo::small().width(shown), c.width) << c.mode;
            EXPECT_EQ(shown.count(ellipsis), 1) << c.mode;
        }
    }
}

TEST(Label, WrapsOntoAsManyLinesAsItNeedsNeverWiderThanItsLimit) {
    const QString text =
        "Per-app energy is only measured while Dormio runs. Keep it open overnight — or let it open "
        "at login — and this fills in tomorrow.";
    Label label(text, Theme::Typo::body(), Theme::ink2);
    label.setWrapping(420);
    EXPECT_EQ(label.sizeHint().width(), 420);
    for (const int width : {420, 300, 180, 600}) {
        label.resize(width, label.heightForWidth(width));
        const QStringList lines = label.shownLines();
        EXPECT_GE(lines.size(), 2) << width;
        for (const QString& line : lines)
            EXPECT_LE(Theme::Typo::body().width(line), std::min(width, 420) + 0.5) << width;
        // Nothing is cut: the lines hold every word.
        EXPECT_EQ(lines.join(' ').simplified(), text.simplified()) << width;
        const qreal expected =
            (lines.size() - 1) * Theme::Typo::body().lineSpacing() + Theme::Typo::body().height();
        EXPECT_NEAR(label.heightForWidth(width), expected, 1) << width;
    }
    // A short text keeps its own width.
    Label shortText("Two words", Theme::Typo::body(), Theme::ink2);
    shortText.setWrapping(420);
    EXPECT_LT(shortText.sizeHint().width(), 100);
}

TEST(Label, DrawsInItsColourAtItsAlignment) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const Qt::Alignment alignment : {Qt::AlignLeading, Qt::AlignTrailing}) {
            Label label("WWWW", Theme::Typo::bodyStrong(), Theme::rose);
            label.setAlignment(alignment);
            label.resize(200, label.sizeHint().height());
            const QImage image = test::render(label, 2);
            int left = 400, right = 0;
            bool rose = false;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (const QColor c = image.pixelColor(x, y); c.alpha() > 200) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        rose = rose || test::near(c, Theme::rose.resolve(appearance), 8);
                    }
            EXPECT_TRUE(rose) << test::nameOf(appearance);
            if (alignment == Qt::AlignLeading) {
                EXPECT_LT(left, 8);
            } else {
                EXPECT_GT(right, 400 - 8);
            }
        }
    }
}

TEST(Label, ANumericChangeRollsWhileShownUnlessMotionIsReduced) {
    const test::SteppedClock time;
    QWidget window;
    auto* label = new Label("42", Theme::Typo::figure(), Theme::ink, &window);
    label->setTransition(TextTransition::numeric, Motion::snappy());
    window.show();

    label->setText("47");
    EXPECT_TRUE(label->isTransitioning());
    time.advance(100ms);
    EXPECT_TRUE(label->isTransitioning());
    time.advance(300ms);
    EXPECT_FALSE(label->isTransitioning());
    EXPECT_EQ(label->shownLines(), QStringList{"47"});

    Motion::setReduceMotion(true);
    label->setText("50");
    EXPECT_FALSE(label->isTransitioning());
    Motion::setReduceMotion(std::nullopt);

    Label hidden("1", Theme::Typo::figure(), Theme::ink);
    hidden.setTransition(TextTransition::numeric);
    hidden.setText("2");
    EXPECT_FALSE(hidden.isTransitioning()); // nothing to roll before it is seen
}

// "89 %" in a figure: the space before the sign is narrow, as in the system face, not a whole monospaced
// cell; the drawn text takes the advance that was measured.
TEST(Font, AFiguresNarrowSpaceTakesANarrowAdvance) {
    for (const qreal pixels : {11.0, 11.5, 17.0}) {
        SCOPED_TRACE(pixels);
        const Font mono = Theme::systemFont(pixels, QFont::Medium, true);
        const Font system = Theme::systemFont(pixels, QFont::Medium);
        const qreal narrow = mono.width(QStringLiteral("89\u202F%")) - mono.width(QStringLiteral("89%"));
        EXPECT_NEAR(narrow, system.width(QStringLiteral("\u202F")), 0.01);
        EXPECT_LT(narrow, 0.5 * mono.width(QStringLiteral("0")));
        EXPECT_GT(narrow, 0);
        // A drop's minus is the face's own, not a fallback's.
        EXPECT_TRUE(QFontMetricsF(mono.nearest()).inFontUcs4(0x2212));

        // Where the "%" lands when drawn: its ink starts one narrow space after the digits' advance.
        QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setPen(Qt::black);
        mono.draw(painter, {0, 30}, QStringLiteral("88\u202F%"));
        painter.end();
        QImage alone(200, 40, QImage::Format_ARGB32_Premultiplied);
        alone.fill(Qt::transparent);
        QPainter again(&alone);
        again.setPen(Qt::black);
        mono.draw(again, {mono.width(QStringLiteral("88")) + narrow, 30}, QStringLiteral("%"));
        again.end();
        const QRect sign(int(mono.width(QStringLiteral("88"))) + 1, 0, 100, 40);
        EXPECT_EQ(image.copy(sign), alone.copy(sign));
    }
}

// "1 h 12 m" in running text never breaks inside; the lines keep the text's own spaces.
TEST(Font, WrapsADurationInRunningTextAsOneWord) {
    const Font& body = Theme::Typo::body();
    const QString duration = QStringLiteral("1 h 12 m");
    const QString text = QStringLiteral("Your Mac stayed awake for ") + duration +
                         QStringLiteral(" after 03:10 and then 47 m more");
    int broken = 0;
    for (int width = int(std::ceil(body.width(duration))); width < int(body.width(text)); ++width) {
        const QStringList lines = body.wrapped(text, width);
        EXPECT_TRUE(lines.join(QLatin1Char('\n')).contains(duration))
            << width << ": " << lines.join(" | ").toStdString();
        EXPECT_TRUE(lines.join(QLatin1Char('\n')).contains(QStringLiteral("47 m"))) << width;
        EXPECT_FALSE(lines.join(QString()).contains(QChar(0x00A0)));
        broken += lines.size() > 1;
    }
    EXPECT_GT(broken, 0);
}

// A font keeps what it measured, cut and broke, for each text and width: fonts that differ in one thing
// and widths that differ each keep their own, whatever was asked before. A thread of its own starts with
// nothing kept, so each font's answers there are what it measures afresh.
TEST(Font, EachFontTextAndWidthKeepsItsOwnMeasure) {
    const QString text = QStringLiteral("Network keep-alive (Wi-Fi) was the most common reason it stirred");
    const std::vector<Font> fonts = {
        Font(11),
        Font(12),
        Font(11, QFont::Bold),
        Font(11, std::nullopt, Font::Design::monospaced),
        Font(11, std::nullopt, Font::Design::standard, 0.5),
    };
    struct Measures {
        qreal width = 0;
        QString cutEnd, cutMiddle;
        QStringList narrow, wide;
        bool operator==(const Measures&) const = default;
    };
    const auto measure = [&](const Font& font) {
        return Measures{font.width(text), font.elided(text, Qt::ElideRight, 90),
                        font.elided(text, Qt::ElideMiddle, 90), font.wrapped(text, 100),
                        font.wrapped(text, 160)};
    };
    std::vector<Measures> afresh(fonts.size());
    for (std::size_t i = 0; i < fonts.size(); ++i)
        std::thread([&, i] { afresh[i] = measure(fonts[i]); }).join();
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < fonts.size(); ++i)
            EXPECT_EQ(measure(fonts[i]), afresh[i]) << "font " << i << ", pass " << pass;
    EXPECT_NE(afresh[0].narrow, afresh[0].wide);
    EXPECT_NE(afresh[0].cutEnd, afresh[0].cutMiddle);
}

TEST(Kicker, ShowsItsTextInCapitalsWithTracking) {
    Kicker kicker("Night of Tue 4 Mar", Theme::ink3);
    kicker.resize(kicker.sizeHint());
    EXPECT_EQ(kicker.text(), "Night of Tue 4 Mar");
    EXPECT_EQ(kicker.shownLines(), QStringList{"NIGHT OF TUE 4 MAR"});
    const Font& plain = Theme::Typo::kicker();
    const QString upper = "NIGHT OF TUE 4 MAR";
    EXPECT_NEAR(Kicker::font().width(upper) - plain.width(upper), 0.9 * upper.size(), 0.5);
    EXPECT_EQ(Kicker::font().pixels(), 10);
    // Cut at its end when too narrow.
    kicker.resize(60, kicker.height());
    EXPECT_TRUE(kicker.shownLines().front().endsWith(ellipsis));
}

TEST(SectionHeader, CutsALongNoteButKeepsItsDistanceFromTheTitle) {
    SectionHeader header("Energy by app", QString("estimate of what each app used while it ran overnight"));
    const qreal title = Kicker::font().width("ENERGY BY APP");
    for (const int width : {800, 300, 200, int(std::ceil(title)) + 8}) {
        header.resize(width, header.sizeHint().height());
        const QString note = header.shownNote();
        const qreal noteWidth = SectionHeader::noteFont().width(note);
        EXPECT_LE(title + SectionHeader::minimumGap + noteWidth, width + 0.5) << width;
        EXPECT_FALSE(note.contains('\n'));
        if (width < header.sizeHint().width()) {
            EXPECT_TRUE(note.isEmpty() || note.endsWith(ellipsis)) << width;
        }
    }
    EXPECT_EQ(header.minimumSizeHint().width(), int(std::ceil(title + 8)));

    SectionHeader bare("Hypnogram", std::nullopt);
    bare.resize(400, 20);
    EXPECT_TRUE(bare.shownNote().isEmpty());
    EXPECT_NEAR(bare.sizeHint().width(), Kicker::font().width("HYPNOGRAM"), 1);
}

TEST(PageHeader, HoldsTheKickerOverTheTitleAndTheControlsAtTheEnd) {
    auto* trailing = new QWidget;
    trailing->setFixedSize(60, 20);
    PageHeader header("Night of Tue 4 Mar", "Last Night", trailing);
    header.resize(600, header.sizeHint().height());
    header.show();
    QApplication::processEvents();
    EXPECT_EQ(header.kicker()->shownLines(), QStringList{"NIGHT OF TUE 4 MAR"});
    EXPECT_EQ(header.title()->text(), "Last Night");
    EXPECT_EQ(header.title()->y() - header.kicker()->geometry().bottom() - 1, 6);
    EXPECT_EQ(trailing->geometry().right(), 599);
    EXPECT_EQ(trailing->geometry().bottom(), header.title()->geometry().bottom()); // bottom-aligned

    const test::SteppedClock time;
    header.setTitle("Tonight, so far");
    EXPECT_TRUE(header.title()->isTransitioning()); // the titles cross-fade
    time.advance(500ms);
    EXPECT_FALSE(header.title()->isTransitioning());
}

} // namespace
} // namespace dormio
