#include "DormioKit/PowerLog.h"

#include <gtest/gtest.h>

using namespace dormio;

TEST(PowerState, TextValuesAreExactAndLabelsAreTheViewsWords) {
    EXPECT_EQ(powerStateFromRaw("awake"), PowerState::awake);
    EXPECT_EQ(powerStateFromRaw("Asleep"), std::nullopt);
    EXPECT_EQ(powerStateFromRaw("screen on"), std::nullopt);
    EXPECT_EQ(rawValue(PowerState::screenOn), "screenOn");
    EXPECT_EQ(label(PowerState::awake), "Awake, screen off");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(level(PowerStates::allCases[i]), i);
}

TEST(PowerEventKind, StateAfterEachKind) {
    EXPECT_EQ(stateAfter(PowerEventKind::sleep), PowerState::asleep);
    EXPECT_EQ(stateAfter(PowerEventKind::enterDark), PowerState::dark);
    EXPECT_EQ(stateAfter(PowerEventKind::darkWake), PowerState::dark);
    EXPECT_EQ(stateAfter(PowerEventKind::darkToFull), PowerState::awake);
    EXPECT_EQ(stateAfter(PowerEventKind::boot), PowerState::awake);
    EXPECT_EQ(powerEventKindFromRaw("darkToFull"), PowerEventKind::darkToFull);
    EXPECT_EQ(powerEventKindFromRaw("DarkToFull"), std::nullopt);
}

TEST(PowerLogRecords, EmptyLogAndReleaseStart) {
    PowerLog log;
    EXPECT_FALSE(log.firstDate.has_value());
    EXPECT_EQ(log.skippedLines, 0);
    AssertionRelease r{Date{500}, 0, 1, "p", "PreventSystemSleep", ""};
    EXPECT_EQ(r.start(), r.end);
    r.duration = 120;
    EXPECT_EQ(r.start(), Date{380});
}
