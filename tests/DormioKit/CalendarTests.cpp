#include "DormioKit/Calendar.h"
#include "TestEnvironment.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <thread>
#include <vector>

using namespace dormio;
using namespace dormio::test;

TEST(Calendar, ZoneByNameAndUnknownNamesGiveUTC) {
    EXPECT_EQ(Calendar("Europe/Berlin").zoneID(), "Europe/Berlin");
    EXPECT_EQ(Calendar("America/New_York").zoneID(), "America/New_York");
    EXPECT_EQ(Calendar("UTC").zoneID(), "UTC");
    for (const char* unknown : {"Nowhere/Land", "", "Etc/Unknown", "Europe/Berlin\n"})
        EXPECT_EQ(Calendar(unknown).zoneID(), "UTC") << unknown;
}

TEST(Calendar, CurrentFollowsEveryChangeOfTZ) {
    struct Case {
        const char* tz;
        const char* zone;
    };
    const Case cases[] = {
        {"Europe/Berlin", "Europe/Berlin"},
        {":America/New_York", "America/New_York"},
        {"/usr/share/zoneinfo/Asia/Tokyo", "Asia/Tokyo"},
        {":/usr/share/zoneinfo/posix/Europe/Berlin", "Europe/Berlin"},
        {"", "UTC"},
        {"Nowhere/Land", "UTC"},
        {"Europe/Berlin", "Europe/Berlin"},
    };
    for (const Case& c : cases) {
        ScopedTZ tz(c.tz);
        EXPECT_EQ(Calendar::current().zoneID(), c.zone) << c.tz;
    }
}

TEST(Calendar, ZoneGivenAsAPathKeepsItsClockChanges) {
    // ICU's own detection would take the path for a zone with only its standard offset.
    ScopedTZ tz("/usr/share/zoneinfo/Europe/Berlin");
    Calendar calendar = Calendar::current();
    EXPECT_EQ(calendar.offsetSeconds(utc(2024, 7, 1, 12)), 7200);
    EXPECT_EQ(calendar.offsetSeconds(utc(2024, 1, 15, 12)), 3600);
}

TEST(Calendar, DateSetsTheWallClockOfTheDay) {
    Calendar berlin("Europe/Berlin");
    // Any moment of the day names the day: 00:30 local is still 8 March in Berlin.
    EXPECT_EQ(berlin.date(utc(2024, 3, 7, 23, 30), 7, 15, 30), utc(2024, 3, 8, 6, 15, 30));
    EXPECT_EQ(berlin.date(utc(2024, 3, 8, 22, 59), 23), utc(2024, 3, 8, 22));
    EXPECT_EQ(Calendar("UTC").date(utc(2024, 3, 8, 12, 34, 56), 0), utc(2024, 3, 8));
}

TEST(Calendar, SkippedWallTimeMovesToTheNextValidTime) {
    // Berlin goes from 02:00 to 03:00 on 31 March 2024; New York on 10 March 2024.
    EXPECT_EQ(Calendar("Europe/Berlin").date(utc(2024, 3, 31, 12), 2, 30), utc(2024, 3, 31, 1));
    EXPECT_EQ(Calendar("Europe/Berlin").date(utc(2024, 3, 31, 12), 2), utc(2024, 3, 31, 1));
    EXPECT_EQ(Calendar("America/New_York").date(utc(2024, 3, 10, 12), 2, 15), utc(2024, 3, 10, 7));
}

TEST(Calendar, RepeatedWallTimeTakesTheFirstOccurrence) {
    // Berlin goes back from 03:00 to 02:00 on 27 October 2024: 02:30 happens at 00:30 and 01:30 UTC.
    EXPECT_EQ(Calendar("Europe/Berlin").date(utc(2024, 10, 27, 12), 2, 30), utc(2024, 10, 27, 0, 30));
    EXPECT_EQ(Calendar("America/New_York").date(utc(2024, 11, 3, 12), 1, 30), utc(2024, 11, 3, 5, 30));
}

TEST(Calendar, FieldsTheStrictCalendarRejectsFormNoDate) {
    Calendar calendar("UTC");
    Date day = utc(2024, 3, 8, 12);
    struct Case {
        int hour, minute, second;
    };
    for (Case c : {Case{24, 0, 0}, Case{-1, 0, 0}, Case{7, 60, 0}, Case{7, -1, 0}, Case{7, 0, 60},
                   Case{INT_MAX, 0, 0}, Case{INT_MIN, 0, 0}})
        EXPECT_EQ(calendar.date(day, c.hour, c.minute, c.second), std::nullopt)
            << c.hour << ":" << c.minute << ":" << c.second;
    EXPECT_EQ(calendar.date(day, 23, 59, 59), utc(2024, 3, 8, 23, 59, 59));
}

TEST(Calendar, DatesOutOfRangeAreRefused) {
    Calendar calendar("Europe/Berlin");
    for (double seconds : {std::nan(""), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 1e300, -1e20}) {
        Date d{seconds};
        EXPECT_EQ(calendar.date(d, 7), std::nullopt) << seconds;
        EXPECT_EQ(calendar.addingDays(d, 1), std::nullopt) << seconds;
        EXPECT_EQ(calendar.dayID(d), "") << seconds;
        EXPECT_EQ(calendar.offsetSeconds(d), 0) << seconds;
    }
    EXPECT_EQ(calendar.addingDays(utc(2024, 3, 8), INT_MAX), std::nullopt);
    EXPECT_EQ(calendar.addingDays(utc(2024, 3, 8), INT_MIN), std::nullopt);
}

TEST(Calendar, AddingDaysKeepsTheWallClockAndCrossesMonthsAndYears) {
    Calendar berlin("Europe/Berlin");
    // 23:00 on the evening before the clocks go forward, one day later: 23 hours of real time.
    EXPECT_EQ(berlin.addingDays(utc(2024, 3, 30, 22), 1), utc(2024, 3, 31, 21));
    EXPECT_EQ(berlin.addingDays(utc(2024, 10, 26, 21), 1), utc(2024, 10, 27, 22));
    Calendar calendar("UTC");
    EXPECT_EQ(calendar.addingDays(utc(2024, 3, 1, 7), -1), utc(2024, 2, 29, 7));
    EXPECT_EQ(calendar.addingDays(utc(2023, 3, 1, 7), -1), utc(2023, 2, 28, 7));
    EXPECT_EQ(calendar.addingDays(utc(2024, 12, 31, 7), 1), utc(2025, 1, 1, 7));
    EXPECT_EQ(calendar.addingDays(utc(2024, 3, 8, 7), 0), utc(2024, 3, 8, 7));
    EXPECT_EQ(calendar.addingDays(utc(2024, 3, 8, 7), 366), utc(2025, 3, 9, 7));
}

TEST(Calendar, StartOfDayIsTheFirstMomentOfTheDay) {
    EXPECT_EQ(Calendar("UTC").startOfDay(utc(2024, 3, 8, 23, 59, 59)), utc(2024, 3, 8));
    EXPECT_EQ(Calendar("Europe/Berlin").startOfDay(utc(2024, 3, 8, 23, 30)), utc(2024, 3, 8, 23));
    EXPECT_EQ(Calendar("America/New_York").startOfDay(utc(2024, 3, 9, 2)), utc(2024, 3, 8, 5));
    // São Paulo skipped midnight on 4 November 2018: that day began at 01:00 local time.
    EXPECT_EQ(Calendar("America/Sao_Paulo").startOfDay(utc(2018, 11, 4, 15)), utc(2018, 11, 4, 3));
    EXPECT_TRUE(std::isnan(Calendar("UTC").startOfDay(Date{std::nan("")}).seconds));
}

TEST(Calendar, DayIDIsTheDayInTheZoneInASCII) {
    Date lateEvening = utc(2024, 3, 9, 23, 30);
    EXPECT_EQ(Calendar("UTC").dayID(lateEvening), "2024-03-09");
    EXPECT_EQ(Calendar("Europe/Berlin").dayID(lateEvening), "2024-03-10");
    EXPECT_EQ(Calendar("America/New_York").dayID(lateEvening), "2024-03-09");
    EXPECT_EQ(Calendar("Asia/Kolkata").dayID(utc(2024, 12, 31, 18, 30)), "2025-01-01");
    // The year keeps at least four digits; before 1582 the calendar counts Julian days, as ICU's does.
    EXPECT_EQ(Calendar("UTC").dayID(Date::fromUnix(-62135596800)), "0001-01-03");
}

TEST(Calendar, OffsetSecondsFollowClockChanges) {
    EXPECT_EQ(Calendar("Europe/Berlin").offsetSeconds(utc(2024, 7, 1)), 7200);
    EXPECT_EQ(Calendar("Europe/Berlin").offsetSeconds(utc(2024, 1, 1)), 3600);
    EXPECT_EQ(Calendar("America/New_York").offsetSeconds(utc(2024, 1, 1)), -18000);
    EXPECT_EQ(Calendar("Asia/Kolkata").offsetSeconds(utc(2024, 1, 1)), 19800);
    EXPECT_EQ(Calendar("UTC").offsetSeconds(utc(2024, 1, 1)), 0);
}

TEST(Calendar, CopiesKeepTheZone) {
    Calendar berlin("Europe/Berlin");
    Calendar copy(berlin);
    Calendar assigned("UTC");
    assigned = berlin;
    EXPECT_EQ(copy.zoneID(), "Europe/Berlin");
    EXPECT_EQ(assigned.zoneID(), "Europe/Berlin");
    EXPECT_EQ(assigned.date(utc(2024, 3, 8, 12), 23), utc(2024, 3, 8, 22));
}

TEST(Calendar, OneCalendarServesSeveralThreadsAtOnce) {
    const Calendar berlin("Europe/Berlin");
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            Date day = utc(2024, 1, 1, 12);
            for (int i = 0; i < 400; ++i) {
                auto next = berlin.addingDays(day, 1);
                if (!next) break;
                auto start = berlin.date(*next, 0);
                if (!start || berlin.startOfDay(*next) != *start || berlin.dayID(*start).size() != 10)
                    ++mismatches[t];
                day = *next;
            }
            if (berlin.dayID(day) != "2025-02-04") ++mismatches[t];
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
