// The actogram's own rules: the shared span of the rows, the four figures of a row, the date and tooltip,
// the ruler over no nights, nights of no length, and the legend.
#include "ChartProbe.h"
#include "Dormio/Core/Clock.h"
#include "Dormio/UI/Charts/ActogramRow.h"
#include "Dormio/UI/Charts/ChartCanvas.h"
#include "Dormio/UI/Charts/HourRuler.h"
#include "Dormio/UI/Pages/Actogram.h"
#include "DormioKit/NightSummary.h"
#include "FakePlatform.h"
#include "HistoryFixtures.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <cmath>

namespace dormio::testing {
namespace {

using test::historyNight;

class ActogramTest : public StoreTest {
protected:
    FakePlatform fake;
    test::InstantClock instant;
};

TEST(ActogramSpan, TheLongestNightSetsTheSpanOfEveryRow) {
    struct Case {
        const char* what;
        std::vector<double> hours;
        double span;
    };
    for (const Case& c :
         {Case{"no nights: eight hours", {}, 8 * 3600.0}, Case{"one night", {6}, 6 * 3600.0},
          Case{"the longest of several", {6, 9.5, 7}, 9.5 * 3600}, Case{"nights of no length", {0, 0}, 0}}) {
        SCOPED_TRACE(c.what);
        std::vector<Night> nights;
        for (std::size_t i = 0; i < c.hours.size(); ++i) {
            Night night = historyNight(int(i));
            night.end = night.start + c.hours[i] * 3600;
            nights.push_back(night);
        }
        EXPECT_EQ(Actogram::span(nights), c.span);
    }
    // A shorter night's bar ends before the right edge of its row.
    Night shorter = historyNight(0);
    shorter.end = shorter.start + 6 * 3600;
    const ActogramRow::Layout row{shorter, 8 * 3600, QSizeF(400, 22)};
    EXPECT_DOUBLE_EQ(row.x(shorter.end), 300);
}

TEST(ActogramFigures, AsleepWakesDrainAndRest) {
    Night quiet = historyNight(0);
    quiet.segments = {{quiet.start, quiet.end, PowerState::asleep}};
    quiet.events.clear();
    quiet.hasBattery = false;
    quiet.battery.clear();
    Night level = historyNight(1);
    for (BatteryPoint& point : level.battery)
        point.charge = 80;
    const Night ordinary = historyNight(2);

    struct Case {
        const char* what;
        Night night;
        std::array<ActogramFigure, 4> figures;
    };
    const std::vector<Case> cases{
        {"no wakes and no battery: a plain 0 and a dash",
         quiet,
         {{{"8:00"}, {"0"}, {"\u2014"}, {QString::number(quiet.score())}}}},
        {"wakes in rose and the battery's loss",
         ordinary,
         {{{"6:23"},
           {QString::number(ordinary.wakeCount()), true},
           {"\u221211\u202F%"},
           {QString::number(ordinary.score())}}}},
        {"a battery that lost nothing shows its no-drop",
         level,
         {{{"6:23"},
           {QString::number(level.wakeCount()), true},
           {"0\u202F%"},
           {QString::number(level.score())}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Actogram::figures(c.night), c.figures);
    }
}

TEST(ActogramFigures, TitlesAndValuesShareTheColumnBoxes) {
    const auto boxes = Actogram::figureColumns(QRectF(0, 0, 700, 20));
    EXPECT_EQ(Actogram::figuresWidth(), 202);
    const std::array<QRectF, 4> expected{QRectF(498, 0, 50, 20), QRectF(556, 0, 42, 20),
                                         QRectF(606, 0, 52, 20), QRectF(666, 0, 34, 20)};
    EXPECT_EQ(boxes, expected);
}

TEST_F(ActogramTest, TheDateTheTooltipAndTheRowsClock) {
    Store& s = makeStore(fake.platform());
    const Night night = historyNight(0);
    const ActogramLine line(s, night, night.duration(), 22, false);
    EXPECT_EQ(line.toolTip(),
              QString::fromStdString(Fmt::longDay(night.start)) + QStringLiteral(" night \u2014 ") +
                  QString::fromStdString(NightSummary::line(night)) + QStringLiteral(". Click to open."));
    EXPECT_EQ(ActogramLine::label(night, false), QString::fromStdString(Fmt::day(night.start)).toUpper());
    EXPECT_EQ(ActogramLine::label(night, true),
              QString::fromStdString(Fmt::day(night.start)).toUpper() + QStringLiteral(" \u25C2"));
}

// The ruler stands over the newest night from its start for the longest night's span, or over the eight
// hours from now without nights; in the user's zone, on a day the clock changes or half an hour off UTC.
TEST_F(ActogramTest, TheRulerStartsAtTheNewestNightOrNow) {
    Store& s = makeStore(fake.platform());
    struct Case {
        const char* what;
        const char* zone;
        const char* newest; // the newest night's start on the zone's wall clock; none: no nights
        double hours;
    };
    for (const Case& c :
         {Case{"no nights: now, eight hours", "UTC", nullptr, 8},
          Case{"the clock springs forward in the night", "Europe/Berlin", "2024-03-30 23:00", 8},
          Case{"the clock falls back in the night", "Europe/Berlin", "2024-10-26 23:20", 9},
          Case{"half an hour off UTC", "Asia/Kolkata", "2024-05-10 23:10", 7.5}}) {
        SCOPED_TRACE(c.what);
        test::ScopedTZ zone(c.zone);
        test::ScopedLocale locale("en_GB");
        Fmt::resetFormatters();
        const Calendar calendar = Calendar::current();
        const Date now = test::utc(2024, 5, 11, 23, 0);
        std::vector<Night> nights;
        if (c.newest) {
            // An older, shorter night first: the span is the longest night's, the start the newest's.
            Night older = historyNight(0);
            older.end = older.start + 3600;
            Night newest = historyNight(1);
            newest.start = test::wall(calendar, c.newest);
            newest.end = newest.start + c.hours * 3600;
            nights = {older, newest};
        }
        Clock::shared().fix(now);
        Actogram actogram(s, nights, 22);
        Clock::shared().useSystemTime();
        actogram.resize(700, actogram.sizeHint().height());
        actogram.show();
        ChartCanvas* ruler = actogram.ruler();
        const Date start = nights.empty() ? now : nights.back().start;
        test::AppearanceScope light(Appearance::light);
        const QImage expected = test::drawChart(
            [&](QPainter& p, QSizeF size, const CanvasPalette& palette) {
                HourRuler::paint(p, size, start, c.hours * 3600, palette);
            },
            QSizeF(ruler->size()), Appearance::light);
        EXPECT_EQ(test::render(*ruler, 2), expected);
        EXPECT_FALSE(HourRuler::ticks(start, c.hours * 3600, QSizeF(ruler->size()), calendar).empty());
    }
    Fmt::resetFormatters();
}

TEST_F(ActogramTest, NightsOfNoLengthDrawWithoutDividingByZero) {
    Store& s = makeStore(fake.platform());
    std::vector<Night> nights{historyNight(0), historyNight(1)};
    for (Night& night : nights)
        night.end = night.start;
    test::AppearanceScope light(Appearance::light);
    Actogram actogram(s, nights, 22);
    actogram.resize(700, actogram.sizeHint().height());
    const QImage image = test::render(actogram, 2, Qt::white);
    EXPECT_FALSE(image.isNull());
    for (const ActogramLine* line : actogram.rows())
        EXPECT_TRUE(
            std::isfinite(ActogramRow::Layout{line->night(), 0, QSizeF(400, 22)}.x(line->night().end)));
}

TEST(ActogramLegend, FourSwatchesInTheBarsColours) {
    test::AppearanceScope light(Appearance::light);
    const auto items = ActogramLegend::items();
    ASSERT_EQ(items.size(), 4u);
    struct Expected {
        const char* text;
        QColor swatch;
        qreal width;
    };
    const Expected expected[] = {{"Asleep", Theme::indigo, 10},
                                 {"Dark wake", Theme::rose, 2},
                                 {"Awake, screen off", Theme::rose.opacity(0.38), 10},
                                 {"Screen on", Theme::amber.opacity(0.7), 10}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, QString::fromUtf8(expected[i].text));
        EXPECT_EQ(items[i].swatch, expected[i].swatch);
        EXPECT_EQ(items[i].width, expected[i].width);
    }
}

} // namespace
} // namespace dormio::testing
