#include "Dormio/UI/Kit/Badges.h"
#include "KitTest.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

TEST(Tag, KeepsTheCaseOfItsTextInsideItsPadding) {
    for (const QString text : {"SAMPLE DATA", "\u00D713", "Mixed Case"}) {
        const Tag tag(text, Theme::amber);
        EXPECT_EQ(tag.text(), text);
        const QSize expected(int(std::ceil(Tag::font().width(text) + 10)),
                             int(std::ceil(Tag::font().height() + 3)));
        EXPECT_EQ(tag.sizeHint(), expected) << text.toStdString();
    }
    EXPECT_EQ(Tag::font().pixels(), 10);
    EXPECT_EQ(Tag::font().weight(), QFont::Medium);
}

TEST(Tag, OutlinesInItsOwnColourWithoutAFill) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const QColor paper = Theme::paper.resolve(appearance);
        Tag tag("SAMPLE DATA", Theme::amber);
        const QImage image = test::render(tag, 2, paper);
        const qreal middle = tag.width() / 2.0;
        EXPECT_TRUE(test::near(test::probe(image, middle, 0.25),
                               test::over(Theme::amber.opacity(0.45).resolve(appearance), paper)))
            << test::nameOf(appearance);
        EXPECT_EQ(test::probe(image, 2.25, tag.height() / 2.0), paper) << test::nameOf(appearance);
    }
}

TEST(KeyCap, IsAtLeastASquareAndGrowsWithItsKey) {
    struct Case {
        QString key;
        QString shown;
    };
    const Case cases[] = {{"1", "1"}, {"[", "["}, {"\u2318", "Ctrl"}, {"Esc", "Esc"}, {"Return", "Return"}};
    for (const Case& c : cases) {
        const KeyCap cap(c.key);
        EXPECT_EQ(cap.shownKey(), c.shown);
        const qreal text = KeyCap::font().width(c.shown);
        const int expected = text + 12 <= 22 ? 22 : int(std::ceil(text + 12));
        EXPECT_EQ(cap.sizeHint(), QSize(expected, 20)) << c.key.toStdString();
    }
}

TEST(KeyCap, StandsOnThePanelColourInsideAStrongRule) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const QColor paper = Theme::paper.resolve(appearance);
        KeyCap cap("1");
        const QImage image = test::render(cap, 2, paper);
        EXPECT_EQ(test::probe(image, 3, 10), Theme::panel.resolve(appearance)) << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, 11, 0.25), test::over(Theme::ruleStrong.resolve(appearance),
                                                                        Theme::panel.resolve(appearance))))
            << test::nameOf(appearance);
    }
}

} // namespace
} // namespace dormio
