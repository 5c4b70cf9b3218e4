#include "Dormio/Core/Toast.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

// A short hide keeps the tests quick; the timing rules do not depend on its length.
constexpr auto delay = 400ms;

TEST(Toast, SharedToastHidesAfterTwoPointSixSeconds) {
    EXPECT_EQ(Toast::shared().hideDelay(), 2600ms);
    EXPECT_EQ(&Toast::shared(), &Toast::shared());
}

TEST(Toast, ShowsAMessageAndHidesItAfterTheDelay) {
    Toast toast(delay);
    EXPECT_FALSE(toast.current());
    QElapsedTimer clock;
    clock.start();
    toast.show("Asked Player to quit", "checkmark");
    ASSERT_TRUE(toast.current());
    EXPECT_EQ(toast.current()->text, "Asked Player to quit");
    EXPECT_EQ(toast.current()->symbol, "checkmark");

    QSignalSpy hidden(&toast, &Toast::currentChanged);
    ASSERT_TRUE(hidden.wait(2000));
    EXPECT_FALSE(toast.current());
    EXPECT_GE(clock.elapsed(), delay.count());
}

TEST(Toast, EmptyTextLeavesTheMessageAndItsHideAlone) {
    Toast toast(delay);
    toast.show("Shown", "checkmark");
    const auto shown = toast.current();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(delay.count() / 2);
    toast.show("", "moon.zzz");
    EXPECT_EQ(toast.current(), shown);
    EXPECT_EQ(toast.current()->symbol, "checkmark");

    // Hidden on the first message's time, not a full delay after the empty call.
    QSignalSpy hidden(&toast, &Toast::currentChanged);
    ASSERT_TRUE(hidden.wait(2000));
    EXPECT_LT(clock.elapsed(), delay.count() * 5 / 4);
}

TEST(Toast, NewerMessageReplacesAndGetsItsOwnFullTime) {
    Toast toast(delay);
    toast.show("First", "checkmark");
    QTest::qWait(delay.count() / 2);
    toast.show("Second", "moon.zzz");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(toast.current()->text, "Second");

    // The first message's hide would have come now; the second stays.
    QTest::qWait(delay.count() * 7 / 10);
    ASSERT_TRUE(toast.current());
    EXPECT_EQ(toast.current()->text, "Second");

    QSignalSpy hidden(&toast, &Toast::currentChanged);
    ASSERT_TRUE(hidden.wait(2000));
    EXPECT_FALSE(toast.current());
    EXPECT_GE(clock.elapsed(), delay.count());
}

TEST(Toast, SameTextTwiceIsTwoMessages) {
    Toast toast(delay);
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
