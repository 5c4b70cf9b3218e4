#include "DormioKit/NightWindow.h"
#include "TestEnvironment.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace dormio;
using namespace dormio::test;

namespace {

constexpr int64_t int64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t int64Min = std::numeric_limits<int64_t>::min();

} // namespace

TEST(NightWindow, DefaultsAndEquality) {
    NightWindow window;
    EXPECT_EQ(window.startHour, 23);
    EXPECT_EQ(window.endHour, 7);
    EXPECT_EQ(window, (NightWindow{23, 7}));
    EXPECT_NE(window, (NightWindow{23, 6}));
    EXPECT_NE(window, (NightWindow{22, 7}));
}

TEST(NightWindow, HoursAndCrossingMidnight) {
    struct Case {
        int64_t start, end, hours;
        bool crosses;
    };
    const Case cases[] = {
        {23, 7, 8, true}, {22, 6, 8, true}, {0, 7, 7, false},   {8, 7, 23, true}, {9, 5, 20, true},
        {7, 7, 1, false}, {1, 7, 6, false}, {22, 23, 1, false}, {24, 7, 7, true}, {100, 7, -69, true},
    };
    for (const Case& c : cases) {
        NightWindow window{c.start, c.end};
        EXPECT_EQ(window.hours(), c.hours) << c.start << "→" << c.end;
        EXPECT_EQ(window.crossesMidnight(), c.crosses) << c.start << "→" << c.end;
    }
}

TEST(NightWindow, HoursOfExtremeSettingsHoldToTheRangeInsteadOfOverflowing) {
    EXPECT_EQ((NightWindow{int64Max, int64Min}.hours()), int64Min);
    EXPECT_EQ((NightWindow{int64Min, int64Max}.hours()), int64Max);
    EXPECT_EQ((NightWindow{int64Max, int64Max}.hours()), 1);
    EXPECT_EQ((NightWindow{-30, int64Max - 10}.hours()), int64Max);
}

TEST(NightWindow, BoundsOnAnOrdinaryDay) {
    Calendar calendar("UTC");
    struct Case {
        int64_t start, end;
        Date from, to;
    };
    const Case cases[] = {
        {23, 7, utc(2024, 3, 8, 23), utc(2024, 3, 9, 7)},   {1, 7, utc(2024, 3, 9, 1), utc(2024, 3, 9, 7)},
        {22, 23, utc(2024, 3, 9, 22), utc(2024, 3, 9, 23)}, {8, 7, utc(2024, 3, 8, 8), utc(2024, 3, 9, 7)},
        {0, 7, utc(2024, 3, 9, 0), utc(2024, 3, 9, 7)},
    };
    // Night building passes the start of the morning's day; any moment of that day names the same morning.
    for (Date morning : {utc(2024, 3, 9), utc(2024, 3, 9, 12, 34), utc(2024, 3, 9, 23, 59)})
        for (const Case& c : cases) {
            auto bounds = NightWindow{c.start, c.end}.bounds(morning, calendar);
            ASSERT_TRUE(bounds) << c.start << "→" << c.end;
            EXPECT_EQ(bounds->first, c.from) << c.start << "→" << c.end;
            EXPECT_EQ(bounds->second, c.to) << c.start << "→" << c.end;
        }
}

TEST(NightWindow, DefaultWindowLastsItsHoursOnADayWithoutClockChange) {
    Calendar berlin("Europe/Berlin");
    auto bounds = NightWindow{}.bounds(utc(2024, 3, 9), berlin);
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->first, utc(2024, 3, 8, 22));
    EXPECT_EQ(bounds->second - bounds->first, 8 * 3600.0);
}

TEST(NightWindow, MorningOnTheFirstOfAMonthStartsOnTheLastDayOfThePreviousMonth) {
    Calendar calendar("UTC");
    for (auto [morning, evening] :
         {std::pair{utc(2024, 3, 1), utc(2024, 2, 29, 23)}, std::pair{utc(2023, 3, 1), utc(2023, 2, 28, 23)},
          std::pair{utc(2025, 1, 1), utc(2024, 12, 31, 23)}}) {
        auto bounds = NightWindow{}.bounds(morning, calendar);
        ASSERT_TRUE(bounds);
        EXPECT_EQ(bounds->first, evening);
    }
}

TEST(NightWindow, ClockChangesShortenOrLengthenTheNight) {
    struct Case {
        const char* zone;
        Date morning, from, to;
    };
    const Case cases[] = {
        // Spring forward: 23:00 standard time to 07:00 summer time is 7 hours.
        {"Europe/Berlin", utc(2024, 3, 31, 12), utc(2024, 3, 30, 22), utc(2024, 3, 31, 5)},
        {"America/New_York", utc(2024, 3, 10, 12), utc(2024, 3, 10, 4), utc(2024, 3, 10, 11)},
        // Fall back: 9 hours.
        {"Europe/Berlin", utc(2024, 10, 27, 12), utc(2024, 10, 26, 21), utc(2024, 10, 27, 6)},
        {"America/New_York", utc(2024, 11, 3, 12), utc(2024, 11, 3, 3), utc(2024, 11, 3, 12)},
    };
    for (const Case& c : cases) {
        auto bounds = NightWindow{}.bounds(c.morning, Calendar(c.zone));
        ASSERT_TRUE(bounds) << c.zone;
        EXPECT_EQ(bounds->first, c.from) << c.zone;
        EXPECT_EQ(bounds->second, c.to) << c.zone;
    }
}

TEST(NightWindow, StartInASkippedOrRepeatedHour) {
    Calendar berlin("Europe/Berlin");
    // 02:00 does not exist on 31 March: the night starts at 03:00 summer time.
    auto spring = NightWindow{2, 7}.bounds(utc(2024, 3, 31), berlin);
    ASSERT_TRUE(spring);
    EXPECT_EQ(spring->first, utc(2024, 3, 31, 1));
    EXPECT_EQ(spring->second - spring->first, 4 * 3600.0);
    // 02:00 happens twice on 27 October: the night starts at the first.
    auto fall = NightWindow{2, 7}.bounds(utc(2024, 10, 27), berlin);
    ASSERT_TRUE(fall);
    EXPECT_EQ(fall->first, utc(2024, 10, 27, 0));
    EXPECT_EQ(fall->second - fall->first, 6 * 3600.0);
}

TEST(NightWindow, EqualHoursGiveNoBounds) {
    for (const char* zone : {"UTC", "Europe/Berlin"})
        for (Date morning : {utc(2024, 3, 9), utc(2024, 3, 31), utc(2024, 10, 27)})
            for (int64_t hour : {0, 7, 23})
                EXPECT_EQ((NightWindow{hour, hour}.bounds(morning, Calendar(zone))), std::nullopt)
                    << zone << hour;
}

TEST(NightWindow, EndHourTheCalendarRejectsGivesNoBounds) {
    Calendar calendar("UTC");
    for (int64_t end : {int64_t{24}, int64_t{-1}, int64Max, int64Min, int64_t{1} << 32})
        EXPECT_EQ((NightWindow{23, end}.bounds(utc(2024, 3, 9), calendar)), std::nullopt) << end;
}

TEST(NightWindow, StartHourTheCalendarRejectsFallsBackToTheNominalLength) {
    Calendar calendar("UTC");
    Date end = utc(2024, 3, 9, 7);
    struct Case {
        int64_t start;
        std::optional<Date> from;
    };
    const Case cases[] = {
        {24, utc(2024, 3, 9, 0)},  // crosses midnight: 7 hours before the end
        {-1, utc(2024, 3, 8, 23)}, // does not cross: 8 hours before the end
        {100, std::nullopt},       // −69 hours put the start after the end
        {int64Max, std::nullopt},
    };
    for (const Case& c : cases) {
        auto bounds = NightWindow{c.start, 7}.bounds(utc(2024, 3, 9), calendar);
        if (!c.from) {
            EXPECT_EQ(bounds, std::nullopt) << c.start;
            continue;
        }
        ASSERT_TRUE(bounds) << c.start;
        EXPECT_EQ(bounds->first, *c.from) << c.start;
        EXPECT_EQ(bounds->second, end) << c.start;
    }
}

TEST(NightWindow, MorningTheCalendarCannotPlaceGivesNoBounds) {
    Calendar calendar("UTC");
    for (double seconds : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300})
        EXPECT_EQ(NightWindow{}.bounds(Date{seconds}, calendar), std::nullopt) << seconds;
}
