#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Text.h"
#include "KitTest.h"

#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

class EmptyStateTest : public testing::Test {
protected:
    void TearDown() override { Motion::setReduceMotion(std::nullopt); }
};

TEST_F(EmptyStateTest, ShowsAButtonOnlyWithBothATitleAndAnAction) {
    int pressed = 0;
    const std::function<void()> action = [&] { ++pressed; };
    struct Case {
        std::optional<QString> title;
        std::function<void()> action;
        bool button;
    };
    const Case cases[] = {
        {"See Right Now", action, true},
        {"See Right Now", nullptr, false},
        {std::nullopt, action, false},
        {std::nullopt, nullptr, false},
    };
    for (const Case& c : cases) {
        EmptyState state("No nights on record", "Nothing to read yet", "Message", c.title, c.action);
        ASSERT_EQ(state.button() != nullptr, c.button);
        if (c.button) {
            EXPECT_EQ(state.button()->text(), "See Right Now");
            const ButtonStyle quiet = QuietButtonStyle{Theme::ink, true};
            EXPECT_EQ(state.button()->style().height, quiet.height);
            QTest::mouseClick(state.button(), Qt::LeftButton);
            EXPECT_EQ(pressed, 1);
        }
    }
}

TEST_F(EmptyStateTest, WrapsItsMessageWithinItsMeasure) {
    const QString message =
        "Nights appear here as macOS records them. Dormio also keeps each night it reads, so "
        "history grows past the week macOS keeps.";
    EmptyState state("Actogram empty", "No history yet", message, std::nullopt, nullptr);
    state.resize(900, state.heightForWidth(900) > 0 ? state.heightForWidth(900) : state.sizeHint().height());
    state.show();
    const Label* text = state.message();
    EXPECT_LE(text->width(), 420);
    EXPECT_GE(text->shownLines().size(), 2);
    EXPECT_EQ(text->shownLines().join(' ').simplified(), message);
}

TEST_F(EmptyStateTest, FadesInAndRisesIntoPlaceAsItComesOnScreen) {
    struct Case {
        bool reduceMotion;
        std::chrono::milliseconds length;
        qreal drop;
    };
    const Case cases[] = {
        {false, 422ms, 6}, {true, 200ms, 0}, // only a fade, in place
    };
    for (const Case& c : cases) {
        Motion::setReduceMotion(c.reduceMotion);
        const test::SteppedClock time;
        EmptyState state("Kicker", "Title", "Message", std::nullopt, nullptr);
        EXPECT_EQ(state.entrance(), 0);
        state.show();
        EXPECT_EQ(state.drop(), c.drop) << c.reduceMotion;
        time.advance(c.length / 2);
        EXPECT_GT(state.entrance(), 0.3) << c.reduceMotion;
        EXPECT_LT(state.drop(), c.drop + 1e-9);
        time.advance(c.length / 2 + 1ms);
        EXPECT_EQ(state.entrance(), 1) << c.reduceMotion;
        EXPECT_EQ(state.drop(), 0);
    }
}

} // namespace
} // namespace dormio
