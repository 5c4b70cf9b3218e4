#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ClockMarks.h"
#include "Dormio/UI/Charts/NightScale.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace dormio;
using namespace dormio::test;

namespace {

const QRectF plot(96, 28, 600, 160);

std::vector<std::string> wallClocks(const Calendar& calendar, const std::vector<Date>& dates) {
    std::vector<std::string> texts;
    for (Date date : dates)
        texts.push_back(wallClock(calendar, date));
    return texts;
}

} // namespace

TEST(NightScale, PlacesDatesAcrossThePlotWithoutClamping) {
    struct Case {
        double nightSeconds;
        double at; // seconds after the start
        double x;
    };
    const Case cases[] = {
        {3600, 0, 96},      {3600, 1800, 396}, {3600, 3600, 696},
        {3600, -600, -4},                                   // before the start: left of the plot
        {3600, 7200, 1296},                                 // after the end: right of it
        {0.4, 1, 696},                                      // shorter than a second: scaled as one second
        {0.4, 0.4, 336},    {0, 0, 96},        {0, 1, 696}, // no length at all divides by one second
        {-60, 1, 696},                                      // an end before the start too
    };
    const Date start = utc(2024, 3, 10, 22);
    for (const Case& c : cases) {
        const Night night = nightOf(start, c.nightSeconds / 60);
        EXPECT_NEAR((NightScale{night, plot}.x(start + c.at)), c.x, 1e-4)
            << c.nightSeconds << " s night, " << c.at;
    }
}

TEST(NightScale, WholeHoursOfTheWallClockWithinTheNight) {
    struct Case {
        const char* zone;
        const char* start;
        const char* end;
        std::vector<std::string> hours;
    };
    const Case cases[] = {
        {"Europe/Berlin", "2024-05-10 23:30", "2024-05-11 01:10", {"00:00", "01:00"}},
        {"Europe/Berlin", "2024-05-10 23:30", "2024-05-10 23:59", {}},
        {"Europe/Berlin",
         "2024-05-11 00:00",
         "2024-05-11 02:00",
         {"00:00", "01:00", "02:00"}}, // both ends count
        {"Europe/Berlin", "2024-05-10 22:10", "2024-05-10 22:50", {}},
        {"Europe/Berlin", "2024-05-10 22:10", "2024-05-10 23:00", {"23:00"}},
        // Spring forward, 02:00 becomes 03:00: seven hours between 23:00 and 07:00.
        {"Europe/Berlin",
         "2024-03-30 23:00",
         "2024-03-31 07:00",
         {"23:00", "00:00", "01:00", "03:00", "04:00", "05:00", "06:00", "07:00"}},
        // Fall back, 03:00 becomes 02:00 again: nine hours, and 02:00 twice.
        {"Europe/Berlin",
         "2024-10-26 23:00",
         "2024-10-27 07:00",
         {"23:00", "00:00", "01:00", "02:00", "02:00", "03:00", "04:00", "05:00", "06:00", "07:00"}},
        // Half an hour and three quarters off UTC: the wall clock's hours, not UTC's.
        {"Asia/Kolkata",
         "2024-05-10 23:10",
         "2024-05-11 07:05",
         {"00:00", "01:00", "02:00", "03:00", "04:00", "05:00", "06:00", "07:00"}},
        {"Asia/Kathmandu",
         "2024-05-10 22:50",
         "2024-05-11 03:20",
         {"23:00", "00:00", "01:00", "02:00", "03:00"}},
        // A clock that springs forward by half an hour at 02:00: the hours keep their hour apart, so after
        // the change they read half past.
        {"Australia/Lord_Howe",
         "2024-10-05 23:00",
         "2024-10-06 07:00",
         {"23:00", "00:00", "01:00", "02:30", "03:30", "04:30", "05:30", "06:30"}},
        // A night that starts just before that change has its first hour after it.
        {"Australia/Lord_Howe", "2024-10-06 01:40", "2024-10-06 05:00", {"03:00", "04:00", "05:00"}},
    };
    for (const Case& c : cases) {
        const Calendar calendar(c.zone);
        const Date start = wall(calendar, c.start);
        const Night night = nightOf(start, (wall(calendar, c.end) - start) / 60);
        const std::vector<Date> hours = NightScale{night, plot}.hours(calendar);
        EXPECT_EQ(wallClocks(calendar, hours), c.hours) << c.zone << " " << c.start << " → " << c.end;
        for (std::size_t i = 1; i < hours.size(); ++i)
            EXPECT_EQ(hours[i] - hours[i - 1], 3600) << c.zone;
    }
}

TEST(NightScale, TheNextWholeHourFindsTheWallClockAcrossAChange) {
    struct Case {
        const char* zone;
        Date after;
        Date expected;
    };
    const Case cases[] = {
        {"UTC", utc(2024, 5, 10, 22, 10), utc(2024, 5, 10, 23)},
        {"UTC", utc(2024, 5, 10, 23), utc(2024, 5, 11, 0)}, // strictly after
        {"Asia/Kolkata", utc(2024, 5, 10, 18, 29, 59), utc(2024, 5, 10, 18, 30)},
        {"Asia/Kathmandu", utc(2024, 5, 10, 18, 0), utc(2024, 5, 10, 18, 15)},
        // Berlin at 01:30, half an hour before it springs to 03:00: 03:00 is the next whole hour.
        {"Europe/Berlin", utc(2024, 3, 31, 0, 30), utc(2024, 3, 31, 1)},
        // Berlin at 02:30 summer time, before it falls back to 02:00: that second 02:00.
        {"Europe/Berlin", utc(2024, 10, 27, 0, 30), utc(2024, 10, 27, 1)},
        // Lord Howe at 01:40 springs from 02:00 to 02:30 (15:30 UTC): its next whole hour is 03:00.
        {"Australia/Lord_Howe", utc(2024, 10, 5, 15, 10), utc(2024, 10, 5, 16)},
        // Lord Howe at 01:40 summer time falls from 02:00 back to 01:30 (15:00 UTC): 02:00 comes at 15:30.
        {"Australia/Lord_Howe", utc(2024, 4, 6, 14, 40), utc(2024, 4, 6, 15, 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Charts::nextWholeHour(Calendar(c.zone), c.after), c.expected)
            << c.zone << " " << c.after.unix();
}

TEST(NightScale, QuarterHoursStartAnHourBeforeTheFirstWholeHour) {
    struct Case {
        const char* zone;
        const char* start;
        const char* end;
        std::vector<std::string> ticks;
    };
    const Case cases[] = {
        {"Europe/Berlin",
         "2024-05-10 23:10",
         "2024-05-11 00:40",
         {"23:15", "23:30", "23:45", "00:00", "00:15", "00:30"}},
        // Without a whole hour the ticks start at the night's own start.
        {"Europe/Berlin", "2024-05-10 22:10", "2024-05-10 22:50", {"22:10", "22:25", "22:40"}},
        {"Asia/Kolkata", "2024-05-10 23:50", "2024-05-11 00:30", {"00:00", "00:15", "00:30"}},
        // Across the spring change the ticks keep 15 minutes apart.
        {"Europe/Berlin", "2024-03-31 01:30", "2024-03-31 03:15", {"01:30", "01:45", "03:00", "03:15"}},
    };
    for (const Case& c : cases) {
        const Calendar calendar(c.zone);
        const Date start = wall(calendar, c.start);
        const Night night = nightOf(start, (wall(calendar, c.end) - start) / 60);
        const NightScale scale{night, plot};
        EXPECT_EQ(wallClocks(calendar, scale.quarterHours(scale.hours(calendar))), c.ticks)
            << c.zone << " " << c.start;
    }
}

TEST(NightScale, MarksOfAnAbsurdSpanEndAndStayFew) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    struct Case {
        const char* name;
        Date start;
        Date end;
    };
    const Case cases[] = {
        {"six years long", utc(2024, 1, 1), utc(2030, 1, 1)},
        {"no end", utc(2024, 1, 1), Date{infinity}},
        {"beyond the calendar, where an hour is lost in rounding", Date{1e20}, Date{1e20 + 1e9}},
        {"not a number", Date{nan}, Date{nan}},
        {"from the far past", Date{-infinity}, utc(2024, 1, 1)},
        {"ends before it starts", utc(2024, 1, 2), utc(2024, 1, 1)},
    };
    const Calendar calendar("Europe/Berlin");
    for (const Case& c : cases) {
        Night night = nightOf(c.start, 0);
        night.end = c.end;
        const NightScale scale{night, plot};
        const std::vector<Date> hours = scale.hours(calendar);
        const std::vector<Date> quarters = scale.quarterHours(hours);
        EXPECT_LE(hours.size(), Charts::maxMarks) << c.name;
        EXPECT_LE(quarters.size(), Charts::maxMarks) << c.name;
        for (Date mark : quarters)
            EXPECT_TRUE(mark >= night.start && mark <= night.end) << c.name;
    }
}
