#include "Dormio/UI/Kit/Panel.h"
#include "KitTest.h"

#include <QLayout>
#include <gtest/gtest.h>

namespace dormio {
namespace {

QWidget* block(int width, int height) {
    auto* content = new QWidget;
    content->setFixedSize(width, height);
    return content;
}

TEST(Panel, ShowsAHeaderOnlyWithATitle) {
    struct Case {
        std::optional<QString> title;
        std::optional<QString> note;
        bool header;
    };
    const Case cases[] = {
        {"Logbook", "12 entries", true},
        {"Logbook", std::nullopt, true},
        {std::nullopt, "12 entries", false}, // a note alone shows nothing
        {std::nullopt, std::nullopt, false},
    };
    for (const Case& c : cases) {
        Panel panel(c.title, c.note, 16, block(100, 40));
        panel.resize(400, panel.sizeHint().height());
        panel.ensurePolished();
        panel.layout()->activate();
        ASSERT_EQ(panel.header() != nullptr, c.header);
        if (c.header) {
            EXPECT_EQ(panel.header()->note(), c.note);
            EXPECT_EQ(panel.header()->geometry().topLeft(), QPoint(16, 16));
            EXPECT_EQ(panel.content()->y(), panel.header()->geometry().bottom() + 1 + 12);
        } else {
            EXPECT_EQ(panel.content()->pos(), QPoint(16, 16)); // the content starts at the top padding
            EXPECT_EQ(panel.height(), 16 + 40 + 16);
        }
    }
}

TEST(Panel, TakesTheWholeWidthAndKeepsFixedContentAtTheLeadingEdge) {
    Panel panel("What kept it up", std::nullopt, 12, block(100, 20));
    panel.resize(500, panel.sizeHint().height());
    panel.layout()->activate();
    EXPECT_EQ(panel.sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    EXPECT_EQ(panel.content()->geometry(), QRect(12, panel.content()->y(), 100, 20));
    EXPECT_EQ(panel.header()->width(), 500 - 2 * 12);

    panel.setHeader("Energy by app", QString("estimate"));
    panel.setContent(block(60, 30));
    panel.layout()->activate();
    EXPECT_EQ(panel.header()->title(), "Energy by app");
    EXPECT_EQ(panel.content()->size(), QSize(60, 30));
    EXPECT_GT(panel.content()->y(), panel.header()->geometry().bottom());
}

// A card filled with the panel colour, a 1 px rule inside its edge, and clear rounded corners.
TEST(Panel, PaintsItsCardInEitherAppearance) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        Panel panel(std::nullopt, std::nullopt, 16, block(100, 40));
        panel.resize(200, 80);
        const QImage image = test::render(panel, 2, Theme::paper.resolve(appearance));
        const QColor paper = Theme::paper.resolve(appearance);
        const QColor card = Theme::panel.resolve(appearance);
        EXPECT_EQ(test::probe(image, 100, 40), card) << test::nameOf(appearance);
        EXPECT_TRUE(
            test::near(test::probe(image, 100, 0.25), test::over(Theme::rule.resolve(appearance), card)))
            << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, 100, 1.25), card)) << test::nameOf(appearance);
        EXPECT_EQ(test::probe(image, 0.25, 0.25), paper) << test::nameOf(appearance);
    }
}

} // namespace
} // namespace dormio
