#include "Dormio/Core/Toast.h"
#include "FixedClock.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

TEST(Toast, SharedToastHidesAfterTwoPointSixSeconds) {
    EXPECT_EQ(Toast::shared().hideDelay(), 2600ms);
    EXPECT_EQ(&Toast::shared(), &Toast::shared());

    testing::FixedClock clock;
    Toast toast;
    toast.show("Power log read · 7 nights", "checkmark");
    clock.step(2599ms);
    EXPECT_TRUE(toast.current());
    clock.step(1ms);
    EXPECT_FALSE(toast.current());
}

TEST(Toast, ShowsAMessageAndHidesItAfterTheDelay) {
    testing::FixedClock clock;
    Toast toast;
    EXPECT_FALSE(toast.current());
    QSignalSpy changed(&toast, &Toast::currentChanged);
    toast.show("Asked Player to quit", "checkmark");
    ASSERT_TRUE(toast.current());
    EXPECT_EQ(toast.current()->text, "Asked Player to quit");
    EXPECT_EQ(toast.current()->symbol, "checkmark");
    EXPECT_EQ(changed.count(), 1);

    clock.step(2s);
    EXPECT_TRUE(toast.current());
    clock.step(600ms);
    EXPECT_FALSE(toast.current());
    EXPECT_EQ(changed.count(), 2);
}

TEST(Toast, EmptyTextLeavesTheMessageAndItsHideAlone) {
    testing::FixedClock clock;
    Toast toast;
    toast.show("Shown", "checkmark");
    const auto shown = toast.current();
    clock.step(1300ms);
    toast.show("", "moon.zzz");
    EXPECT_EQ(toast.current(), shown);
    EXPECT_EQ(toast.current()->symbol, "checkmark");

    // Hidden on the first message's time, not a full delay after the empty call.
    clock.step(1300ms);
    EXPECT_FALSE(toast.current());
}

TEST(Toast, NewerMessageReplacesAndGetsItsOwnFullTime) {
    // Two messages 1 second apart: the second stays until 3.6 seconds after the first.
    testing::FixedClock clock;
    Toast toast;
    toast.show("First", "checkmark");
    clock.step(1s);
    toast.show("Second", "moon.zzz");
    EXPECT_EQ(toast.current()->text, "Second");

    // The first message's hide would have come now; the second stays.
    clock.step(1600ms);
    ASSERT_TRUE(toast.current());
    EXPECT_EQ(toast.current()->text, "Second");
    clock.step(999ms);
    EXPECT_TRUE(toast.current());
    clock.step(1ms);
    EXPECT_FALSE(toast.current());
}

TEST(Toast, SameTextTwiceIsTwoMessages) {
    Toast toast;
    toast.show("Power log read · 1 night", "checkmark");
    const auto first = *toast.current();
    toast.show("Power log read · 1 night", "checkmark");
    EXPECT_NE(*toast.current(), first);
    EXPECT_NE(toast.current()->id, first.id);
    Toast::Message copy = first;
    copy.text = "other words";
    EXPECT_EQ(copy, first);
}

} // namespace
} // namespace dormio
