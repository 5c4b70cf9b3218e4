#include "DormioKit/Fmt.h"
#include "TestEnvironment.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <thread>
#include <vector>

using namespace dormio;
using namespace dormio::test;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Pins ICU's default locale and TZ for one test, and puts both back afterwards; the shared formatters are
// made again for each.
class FmtDates : public testing::Test {
protected:
    void pin(const char* name, const char* zone) {
        locale_.set(name);
        tz_.set(zone);
        Fmt::resetFormatters();
    }

    void TearDown() override { Fmt::resetFormatters(); }

private:
    ScopedLocale locale_;
    ScopedTZ tz_;
};

// A C++ locale that groups thousands, as a user's locale may.
struct Grouping : std::numpunct<char> {
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

} // namespace

TEST(Fmt, Duration) {
    struct Case {
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {-5, "0 s"},   {0, "0 s"},      {45, "45 s"},  {59.4, "59 s"}, {59.5, "1 m"},     {89, "1 m"},
        {90, "2 m"},   {3569, "59 m"},  {3570, "1 h"}, {3600, "1 h"},  {3660, "1 h 1 m"}, {25920, "7 h 12 m"},
        {7200, "2 h"}, {90000, "25 h"}, {0.5, "1 s"},  {-0.5, "0 s"},  {29.5, "30 s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Fmt::duration(c.seconds), c.text) << c.seconds;
        EXPECT_EQ(Fmt::duration(c.seconds, true), c.text) << c.seconds;
    }
}

TEST(Fmt, Clock) {
    struct Case {
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {29, "0:00"},     {30, "0:01"},     {3900, "1:05"},  {-100, "0:00"},
        {90000, "25:00"}, {45000, "12:30"}, {11100, "3:05"}, {359999, "100:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fmt::clock(c.seconds), c.text) << c.seconds;
}

TEST(Fmt, ValuesNotFiniteShowAsZeroAndHugeOnesStayInRange) {
    for (double seconds : {std::nan(""), infinity, -infinity}) {
        EXPECT_EQ(Fmt::duration(seconds), "0 s") << seconds;
        EXPECT_EQ(Fmt::clock(seconds), "0:00") << seconds;
    }
    // Held at 2^53 minutes rather than converted out of range.
    EXPECT_EQ(Fmt::duration(1e300), "150119987579016 h 32 m");
    EXPECT_EQ(Fmt::clock(std::numeric_limits<double>::max()), "150119987579016:32");
    EXPECT_EQ(Fmt::duration(9.2e18), "150119987579016 h 32 m");
}

TEST(Fmt, PercentAndDropUseANarrowSpaceAndATrueMinus) {
    EXPECT_EQ(Fmt::percent(87), "87\u202F%");
    EXPECT_EQ(Fmt::percent(0), "0\u202F%");
    EXPECT_EQ(Fmt::percent(100), "100\u202F%");
    EXPECT_EQ(Fmt::percent(-5), "-5\u202F%");
    EXPECT_EQ(Fmt::drop(4), "\u22124\u202F%");
    EXPECT_EQ(Fmt::drop(1), "\u22121\u202F%");
    EXPECT_EQ(Fmt::drop(0), "0\u202F%");
    EXPECT_EQ(Fmt::drop(-3), "0\u202F%");
    EXPECT_EQ(Fmt::drop(std::numeric_limits<int64_t>::min()), "0\u202F%");
    EXPECT_EQ(Fmt::drop(std::numeric_limits<int64_t>::max()), "\u22129223372036854775807\u202F%");
}

TEST_F(FmtDates, NumbersStayPlainASCIIWhateverTheLocale) {
    pin("ar_EG", "UTC");
    std::locale saved = std::locale::global(std::locale(std::locale::classic(), new Grouping));
    EXPECT_EQ(Fmt::duration(3600000), "1000 h");
    EXPECT_EQ(Fmt::clock(3600000), "1000:00");
    EXPECT_EQ(Fmt::percent(12345), "12345\u202F%");
    EXPECT_EQ(Fmt::drop(1000), "\u22121000\u202F%");
    std::locale::global(saved);
}

TEST_F(FmtDates, BritishEnglish) {
    pin("en_GB", "Europe/London");
    Date morning = utc(2020, 12, 8, 7, 12);
    EXPECT_EQ(Fmt::time(morning), "07:12");
    EXPECT_EQ(Fmt::hour(morning), "07");
    EXPECT_EQ(Fmt::clockTime(morning), "07:12");
    EXPECT_EQ(Fmt::day(morning), "Tue, 8 Dec");
    EXPECT_EQ(Fmt::longDay(morning), "Tuesday, 8 December");
    EXPECT_EQ(Fmt::dayTime(morning), "Tue, 8 Dec, 07:12");
}

TEST_F(FmtDates, AmericanEnglishUsesTheTwelveHourClock) {
    pin("en_US", "America/New_York");
    Date morning = utc(2020, 12, 8, 12, 12); // 07:12 in New York
    EXPECT_EQ(Fmt::time(morning), "7:12\u202FAM");
    EXPECT_EQ(Fmt::hour(morning), "7\u202FAM");
    EXPECT_EQ(Fmt::clockTime(morning), "7:12\u202FAM");
    EXPECT_EQ(Fmt::clockTime(morning + 12 * 3600), "7:12\u202FPM");
    EXPECT_EQ(Fmt::day(morning), "Tue, Dec 8");
    EXPECT_EQ(Fmt::longDay(morning), "Tuesday, December 8");
    EXPECT_EQ(Fmt::dayTime(morning), "Tue, Dec 8, 7:12\u202FAM");
}

TEST_F(FmtDates, GermanOrdersAndSpellsItsOwnWay) {
    pin("de_DE", "Europe/Berlin");
    Date morning = utc(2020, 12, 8, 6, 12);
    EXPECT_EQ(Fmt::clockTime(morning), "07:12");
    EXPECT_EQ(Fmt::hour(morning), "07 Uhr");
    EXPECT_EQ(Fmt::day(morning), "Di., 8. Dez.");
    EXPECT_EQ(Fmt::longDay(morning), "Dienstag, 8. Dezember");
}

TEST_F(FmtDates, FollowTheCurrentTimeZone) {
    Date lateUTC = utc(2020, 12, 8, 2, 30);
    pin("en_GB", "UTC");
    EXPECT_EQ(Fmt::dayTime(lateUTC), "Tue, 8 Dec, 02:30");
    pin("en_GB", "America/New_York");
    EXPECT_EQ(Fmt::dayTime(lateUTC), "Mon, 7 Dec, 21:30");
    pin("en_GB", "Asia/Kolkata");
    EXPECT_EQ(Fmt::clockTime(lateUTC), "08:00");
    // Summer time.
    pin("en_GB", "Europe/London");
    EXPECT_EQ(Fmt::clockTime(utc(2020, 7, 8, 6, 12)), "07:12");
}

TEST_F(FmtDates, DatesNotFiniteShowTheReferenceDate) {
    pin("en_GB", "UTC");
    for (double seconds : {std::nan(""), infinity, -infinity})
        EXPECT_EQ(Fmt::dayTime(Date{seconds}), "Mon, 1 Jan, 00:00") << seconds;
    EXPECT_FALSE(Fmt::longDay(Date{1e300}).empty());
}

TEST_F(FmtDates, SharedFormattersServeSeveralThreadsAtOnce) {
    pin("en_GB", "UTC");
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int minute = 0; minute < 300; ++minute) {
                std::string expected = (minute / 60 < 10 ? "0" : "") + std::to_string(minute / 60) +
                                       (minute % 60 < 10 ? ":0" : ":") + std::to_string(minute % 60);
                if (Fmt::clockTime(utc(2020, 12, 8, 0, minute)) != expected) ++mismatches[t];
                if (Fmt::longDay(utc(2020, 12, 8, 0, minute)) != "Tuesday, 8 December") ++mismatches[t];
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
