// The zone of the user's calendar and of the date formats against the C library's own reading of TZ: every
// form it takes (a POSIX rule of each kind, a zone name, a zone file, nothing) gives the same offset, day and
// clock time as localtime_r, through both clock changes of three years.

#include "DormioKit/Calendar.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/LocalZone.h"
#include "TestEnvironment.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using namespace dormio;
using namespace dormio::test;

namespace {

struct Local {
    long offset;
    std::string day, clock;
};

Local cLibrary(Date date) {
    const auto t = static_cast<time_t>(date.unix());
    std::tm fields{};
    localtime_r(&t, &fields);
    char day[16], clock[8];
    std::strftime(day, sizeof day, "%Y-%m-%d", &fields);
    std::strftime(clock, sizeof clock, "%H:%M", &fields);
    return {fields.tm_gmtoff, day, clock};
}

// Moments through 2024, 2025 and 2026 at a step that visits every hour of the day, and every minute on
// either side of each change the C library makes.
std::vector<Date> moments() {
    std::vector<Date> dates;
    const Date from = utc(2024, 1, 1), to = utc(2027, 1, 1);
    for (Date d = from; d < to; d = d + 5 * 3600 + 17 * 60)
        dates.push_back(d);
    for (Date d = from; d < to; d = d + 3600)
        if (cLibrary(d).offset != cLibrary(d + 3600).offset)
            for (int minute = -120; minute <= 180; ++minute)
                dates.push_back(d + minute * 60);
    return dates;
}

void expectTheCLibrarysClock(const char* tz) {
    const Calendar calendar = Calendar::current();
    Fmt::resetFormatters();
    for (const Date date : moments()) {
        const Local expected = cLibrary(date);
        ASSERT_EQ(calendar.offsetSeconds(date), expected.offset) << tz << " at " << date.unix();
        ASSERT_EQ(calendar.dayID(date), expected.day) << tz << " at " << date.unix();
        ASSERT_EQ(Fmt::clockTime(date), expected.clock) << tz << " at " << date.unix();
    }
    Fmt::resetFormatters();
}

class LocalZoneTest : public ::testing::Test {
protected:
    ScopedLocale locale{"en_GB"}; // a 24-hour clock, as strftime's %H:%M
    ScopedTZ tz;
};

TEST_F(LocalZoneTest, EveryFormOfTZGivesTheCLibrarysDaysAndClockTimes) {
    const char* const forms[] = {
        "CET-1CEST,M3.5.0,M10.5.0/3",      // Central Europe's rule
        "JST-9",                           // a plain offset, east of UTC
        "<-03>3",                          // a quoted name, west of UTC
        "<+0530>-5:30",                    // half an hour
        "<+0545>-5:45",                    // a quarter
        "XST5XDT4:30,M3.2.0/2:30,M11.1.0", // a saving of half an hour, at half past
        "AEST-10AEDT,M10.1.0,M4.1.0/3",    // the southern summer across the new year
        "IST-1GMT0,M10.5.0,M3.5.0/1",      // a winter clock behind the summer one
        "IST-2IDT,M3.4.4/26,M10.5.0",      // a change at 26:00, on the next day
        "<-02>2<-01>,M3.5.0/-1,M10.5.0/0", // a change at −1:00, on the day before
        "XST5XDT,J60/2,J300/2",            // days of the year without 29 February
        "XST5XDT,10/2,50/2",               // days counted with it, before February's end
        "Europe/Berlin",                   // a zone name
        ":America/Sao_Paulo",
        "/usr/share/zoneinfo/Australia/Lord_Howe",
        "GMT+5", // a rule, five hours west, though ICU would read it as a zone east
        "",      // UTC
        "garbage",
    };
    for (const char* form : forms) {
        tz.set(form);
        expectTheCLibrarysClock(form);
    }
}

TEST_F(LocalZoneTest, WithoutTZTheSystemsZoneIsTaken) {
    unsetenv("TZ");
    tzset();
    expectTheCLibrarysClock("(unset)");
}

// A zone file ICU knows by no name is read by the rule it ends with, as for the times after its table.
TEST_F(LocalZoneTest, AZoneFileWithoutAKnownNameIsItsRule) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "dormio-local-zone";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "Home";
    std::filesystem::copy_file("/usr/share/zoneinfo/Europe/Paris", file,
                               std::filesystem::copy_options::overwrite_existing);
    tz.set(file.c_str());
    EXPECT_EQ(Calendar::current().zoneID(), "CET-1CEST,M3.5.0,M10.5.0/3");
    expectTheCLibrarysClock(file.c_str());
    std::filesystem::remove_all(folder);
}

// A rule that names a summer time without its days takes the United States' days, as the C library does by
// the zone file it keeps for them (New York's). The C library's own answer is not compared: it shifts the
// days by the offsets of whatever zone it read before.
TEST(LocalZone, ASummerTimeWithoutDaysTakesTheUnitedStatesDays) {
    const auto zone = LocalZone::fromRule("XST5XDT");
    ASSERT_NE(zone, nullptr);
    const Calendar newYork("America/New_York");
    for (Date d = utc(2024, 1, 1); d < utc(2027, 1, 1); d = d + 3600) {
        int32_t raw = 0, saving = 0;
        UErrorCode status = U_ZERO_ERROR;
        zone->getOffset(d.unix() * 1000, false, raw, saving, status);
        ASSERT_EQ((raw + saving) / 1000, newYork.offsetSeconds(d)) << d.unix();
    }
}

// Rules ICU's annual rules cannot hold keep standard time rather than guess a day; what is no rule at all
// is no zone.
TEST(LocalZone, ARuleOfChangesICUCannotHoldKeepsStandardTimeAndNoRuleIsNoZone) {
    for (const char* rule :
         {"XST5XDT,100/2,300/2", "XST5XDT,M2.5.0/-1,M10.5.0", "XST5XDT,M3.1.0/-26,M11.1.0"}) {
        const auto zone = LocalZone::fromRule(rule);
        ASSERT_NE(zone, nullptr) << rule;
        EXPECT_FALSE(zone->useDaylightTime()) << rule;
        EXPECT_EQ(zone->getRawOffset(), -5 * 3600 * 1000) << rule;
    }
    for (const char* text : {"", "X5", "Europe/Berlin", "<+05-5", "123"})
        EXPECT_EQ(LocalZone::fromRule(text), nullptr) << text;
}

} // namespace
