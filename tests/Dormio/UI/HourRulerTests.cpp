// The hour ruler over the actogram: whole hours of the user's wall clock, in every zone and across
// changes of the clock, labels that fit, and no division by a span of nothing.
#include "ChartFixtures.h"
#include "ChartProbe.h"
#include "Dormio/UI/Charts/ClockMarks.h"
#include "Dormio/UI/Charts/HourRuler.h"
#include "DormioKit/Fmt.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace dormio {
namespace {

using Charts::Anchor;
using test::wall;
using test::wallClock;

// Clock labels as "23:00", whatever the machine's language.
class HourRulerTest : public ::testing::Test {
protected:
    HourRulerTest() { Fmt::resetFormatters(); }
    ~HourRulerTest() override { Fmt::resetFormatters(); }
    test::ScopedLocale locale_{"en_GB"};
    test::ScopedTZ zone_;
};

struct Label {
    std::size_t tick;
    std::string text;
    Anchor anchor;
};

struct RulerCase {
    const char* what;
    const char* zone;
    const char* start;
    double spanHours;
    double width;
    std::vector<std::string> hours; // the ticks on the wall clock
    double firstX;
    std::vector<Label> labels;
};

TEST_F(HourRulerTest, TicksAtWholeHoursAndLabelsEverySecondTick) {
    const std::vector<RulerCase> cases{
        {"on the hour: both ends, labels at the edges against them",
         "Europe/Berlin",
         "2024-05-10 23:00",
         8,
         480,
         {"23:00", "00:00", "01:00", "02:00", "03:00", "04:00", "05:00", "06:00", "07:00"},
         0,
         {{0, "23:00", Anchor::bottomLeading},
          {2, "01:00", Anchor::bottomCentre},
          {4, "03:00", Anchor::bottomCentre},
          {6, "05:00", Anchor::bottomCentre},
          {8, "07:00", Anchor::bottomTrailing}}},
        {"twenty past: the first tick at midnight",
         "Europe/Berlin",
         "2024-05-10 23:20",
         8,
         480,
         {"00:00", "01:00", "02:00", "03:00", "04:00", "05:00", "06:00", "07:00"},
         40,
         {{0, "00:00", Anchor::bottomCentre},
          {2, "02:00", Anchor::bottomCentre},
          {4, "04:00", Anchor::bottomCentre},
          {6, "06:00", Anchor::bottomCentre}}},
        {"the clock springs forward at two",
         "Europe/Berlin",
         "2024-03-30 23:00",
         6,
         360,
         {"23:00", "00:00", "01:00", "03:00", "04:00", "05:00", "06:00"},
         0,
         {{0, "23:00", Anchor::bottomLeading},
          {2, "01:00", Anchor::bottomCentre},
          {4, "04:00", Anchor::bottomCentre},
          {6, "06:00", Anchor::bottomTrailing}}},
        {"the clock falls back at three",
         "Europe/Berlin",
         "2024-10-26 23:00",
         6,
         360,
         {"23:00", "00:00", "01:00", "02:00", "02:00", "03:00", "04:00"},
         0,
         {{0, "23:00", Anchor::bottomLeading},
          {2, "01:00", Anchor::bottomCentre},
          {4, "02:00", Anchor::bottomCentre},
          {6, "04:00", Anchor::bottomTrailing}}},
        {"half an hour off UTC",
         "Asia/Kolkata",
         "2024-05-10 23:10",
         2,
         120,
         {"00:00", "01:00"},
         50,
         {{0, "00:00", Anchor::bottomCentre}}},
        {"three quarters off UTC",
         "Asia/Kathmandu",
         "2024-05-10 22:45",
         1,
         60,
         {"23:00"},
         15,
         {{0, "23:00", Anchor::bottomCentre}}},
        {"a half-hour zone with its own clock change",
         "Australia/Adelaide",
         "2024-04-06 23:30",
         5,
         300,
         {"00:00", "01:00", "02:00", "02:00", "03:00"},
         30,
         {{0, "00:00", Anchor::bottomCentre},
          {2, "02:00", Anchor::bottomCentre},
          {4, "03:00", Anchor::bottomCentre}}},
        {"a label that fits neither centred nor at an edge is left out",
         "Europe/Berlin",
         "2024-05-10 23:00",
         4,
         24,
         {"23:00", "00:00", "01:00", "02:00", "03:00"},
         0,
         {{0, "23:00", Anchor::bottomLeading}, {4, "03:00", Anchor::bottomTrailing}}},
    };
    for (const RulerCase& c : cases) {
        SCOPED_TRACE(c.what);
        zone_.set(c.zone);
        Fmt::resetFormatters();
        const Calendar calendar = Calendar::current();
        const Date start = wall(calendar, c.start);
        const QSizeF size(c.width, 18);
        const auto ticks = HourRuler::ticks(start, c.spanHours * 3600, size, calendar);

        ASSERT_EQ(ticks.size(), c.hours.size());
        const double perHour = c.width / c.spanHours;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            // Evenly spaced whatever the wall clock does, and read on the wall clock where they stand.
            const double x = c.firstX + perHour * double(i);
            EXPECT_NEAR(ticks[i].line.x1(), x, 1e-6) << i;
            EXPECT_EQ(ticks[i].line, QLineF(ticks[i].line.x1(), 14, ticks[i].line.x1(), 18)) << i;
            EXPECT_EQ(ticks[i].at - ticks[0].at, 3600.0 * double(i)) << i;
            EXPECT_EQ(wallClock(calendar, ticks[i].at), c.hours[i]) << i;
        }
        std::vector<Label> labels;
        for (std::size_t i = 0; i < ticks.size(); ++i)
            if (ticks[i].label) {
                EXPECT_EQ(ticks[i].label->at, QPointF(ticks[i].line.x1(), 12));
                labels.push_back({i, ticks[i].label->text.toStdString(), ticks[i].label->anchor});
            }
        ASSERT_EQ(labels.size(), c.labels.size());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labels[i].tick, c.labels[i].tick);
            EXPECT_EQ(labels[i].text, c.labels[i].text);
            EXPECT_EQ(labels[i].anchor, c.labels[i].anchor) << labels[i].text;
        }
    }
}

TEST_F(HourRulerTest, ASpanOfNothingNeverDividesByZero) {
    zone_.set("Europe/Berlin");
    const Calendar calendar = Calendar::current();
    const QSizeF size(480, 18);
    struct Case {
        const char* what;
        const char* start;
        double span;
        std::size_t ticks;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c : {Case{"zero span on the hour: one tick at the left edge", "2024-05-10 23:00", 0, 1},
                          Case{"zero span off the hour: none", "2024-05-10 23:20", 0, 0},
                          Case{"half a second", "2024-05-10 23:00", 0.5, 1},
                          Case{"a negative span", "2024-05-10 23:00", -3600, 0},
                          Case{"not a number", "2024-05-10 23:00", nan, 0}}) {
        SCOPED_TRACE(c.what);
        const auto ticks = HourRuler::ticks(wall(calendar, c.start), c.span, size, calendar);
        ASSERT_EQ(ticks.size(), c.ticks);
        for (const auto& tick : ticks) {
            EXPECT_TRUE(std::isfinite(tick.line.x1()));
            EXPECT_EQ(tick.line.x1(), 0);
        }
    }
    // An endless span stops at the axes' bound instead of looping.
    EXPECT_LE(HourRuler::ticks(wall(calendar, "2024-05-10 23:00"), inf, size, calendar).size(),
              Charts::maxMarks);
}

TEST_F(HourRulerTest, NoStartOnTheCalendarDrawsNothing) {
    const double far = 1e300;
    EXPECT_TRUE(HourRuler::ticks(Date{far}, 3600, QSizeF(480, 18)).empty());
    EXPECT_TRUE(
        HourRuler::ticks(Date{std::numeric_limits<double>::quiet_NaN()}, 3600, QSizeF(480, 18)).empty());
}

TEST_F(HourRulerTest, TicksInTheStrongRuleOfEachAppearanceAndNoBaseline) {
    zone_.set("UTC");
    const Date start = test::utc(2024, 5, 10, 23);
    const QSizeF size(480, 18);
    for (Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        const CanvasPalette palette(appearance);
        const QImage image =
            test::drawChart([&](QPainter& p, QSizeF s,
                                const CanvasPalette& pal) { HourRuler::paint(p, s, start, 8 * 3600, pal); },
                            size, appearance);
        EXPECT_TRUE(test::near(test::probe(image, 60.25, 16), palette.ruleStrong, 4));
        // Between ticks, under the labels' baseline, nothing: the ruler has no baseline.
        EXPECT_EQ(test::probe(image, 90, 17.5).alpha(), 0);
        // The first label is in the tertiary ink, somewhere in its box at the left edge.
        EXPECT_TRUE(test::inkedIn(image, QRectF(0, 0, 30, 12), palette.ink3));
    }
}

} // namespace
} // namespace dormio
