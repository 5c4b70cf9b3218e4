#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/HypnogramLayout.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace dormio;
using namespace dormio::test;
using Charts::Anchor;
using Kind = NightEvent::Kind;

namespace {

const Date start = utc(2024, 5, 10, 21);

Date minutes(double m) {
    return start + m * 60;
}

// A view 742 points wide gives a battery night a plot 600 points wide: one point per minute of this
// ten-hour night. Its wake moments lie at 100, 300, 303 and 590 minutes.
const QSizeF view(742, 214);
const QRectF plot(96, 28, 600, 160);

Night tenHours() {
    return nightOf(
        start, 600, {{0, 600, PowerState::asleep}},
        {{100, Kind::darkWake}, {300, Kind::screenOn}, {303, Kind::stayedAwake}, {590, Kind::darkWake}});
}

class HypnogramLayout : public testing::Test {
    BritishUtcClock clock_;
};

} // namespace

TEST_F(HypnogramLayout, PlotKeepsItsMarginsAndAMinimumSize) {
    struct Case {
        QSizeF view;
        bool battery;
        QRectF plot;
    };
    const Case cases[] = {
        {{742, 214}, true, {96, 28, 600, 160}},  // the night page's 214 points make a plot 160 high
        {{710, 214}, false, {96, 28, 600, 160}}, // without a battery only 14 points on the right
        {{60, 214}, false, {96, 28, 10, 160}},   // too narrow: still 10 wide
        {{800, 80}, true, {96, 28, 658, 40}},    // too low: still 40 high
        {{0, 0}, true, {96, 28, 10, 40}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hypnogram::plotRect(c.view, c.battery), c.plot) << c.view.width();
}

TEST_F(HypnogramLayout, LanesStackFromAsleepAtTheBottom) {
    EXPECT_EQ(Hypnogram::laneHeight(plot), 40);
    EXPECT_EQ(Hypnogram::laneY(plot, PowerState::asleep), 168);
    EXPECT_EQ(Hypnogram::laneY(plot, PowerState::dark), 128);
    EXPECT_EQ(Hypnogram::laneY(plot, PowerState::awake), 88);
    EXPECT_EQ(Hypnogram::laneY(plot, PowerState::screenOn), 48);
    EXPECT_EQ(Hypnogram::axisY(plot), 189);
}

TEST_F(HypnogramLayout, TheHoverZoneReachesBesideAboveAndBelowThePlot) {
    struct Case {
        QPointF point;
        bool inside;
    };
    const Case cases[] = {
        {{94, 0}, true},        {{93.9, 100}, false}, // 2 points left of the plot, and no further
        {{697.9, 215.9}, true}, {{698, 100}, false},  // 2 points right of it
        {{300, -0.1}, false},   {{300, 216}, false},  // 28 points above and below
        {{400, 100}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hypnogram::inHoverZone(plot, c.point), c.inside) << c.point.x() << ", " << c.point.y();
}

TEST_F(HypnogramLayout, CursorFollowsThePointerAndSnapsToWakeMoments) {
    struct Case {
        const char* name;
        std::optional<double> hoverX;
        std::optional<double> scrub;  // minutes
        std::optional<double> cursor; // minutes
    };
    const Case cases[] = {
        {"left of the plot reads the start", 94, {}, 0},
        {"right of the plot reads the end", 698, {}, 600},
        {"in the plot", 96 + 200.5, {}, 200.5},
        {"4 points before a moment snaps one second after it", 96 + 96, {}, 100 + 1.0 / 60},
        {"4 points after it too", 96 + 104, {}, 100 + 1.0 / 60},
        {"4.5 points stays put", 96 + 95.5, {}, 95.5},
        {"between two moments equally near: the earlier", 96 + 301.5, {}, 300 + 1.0 / 60},
        {"the pointer wins over the scrub date", 96 + 200, 50, 200},
        {"a scrub date is shown as it is, never snapped", {}, 100.02, 100.02},
        {"neither: no cursor", {}, {}, {}},
    };
    const Night night = tenHours();
    const NightScale scale{night, plot};
    for (const Case& c : cases) {
        const std::optional<Date> scrub = c.scrub ? std::optional(minutes(*c.scrub)) : std::nullopt;
        const std::optional<Date> cursor = Hypnogram::cursorDate(c.hoverX, scrub, scale);
        ASSERT_EQ(cursor.has_value(), c.cursor.has_value()) << c.name;
        if (c.cursor) {
            EXPECT_NEAR(*cursor - start, *c.cursor * 60, 1e-3) << c.name;
        }
    }
}

TEST_F(HypnogramLayout, HourLabelsThinOutAsHoursCrowd) {
    struct Case {
        double spacing;
        int stride;
    };
    for (Case c :
         {Case{100, 1}, Case{64, 1}, Case{63.9, 2}, Case{50, 2}, Case{46, 2}, Case{45.9, 3}, Case{40, 3}})
        EXPECT_EQ(Hypnogram::labelStride(c.spacing), c.stride) << c.spacing;

    // Six whole hours: every one has its line, every first, second or third one its label.
    struct Marks {
        double plotWidth; // six hours across: the hours' spacing is a sixth of it
        std::vector<std::size_t> labelled;
    };
    const Night night = nightOf(utc(2024, 5, 10, 23, 30), 360);
    for (const Marks& m : {Marks{384, {0, 1, 2, 3, 4, 5}}, Marks{300, {0, 2, 4}}, Marks{240, {0, 3}}}) {
        const NightScale scale{night, QRectF(96, 28, m.plotWidth, 160)};
        const std::vector<Hypnogram::HourMark> marks = Hypnogram::hourMarks(scale, scale.hours(), 2000);
        ASSERT_EQ(marks.size(), 6u) << m.plotWidth;
        std::vector<std::size_t> labelled;
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (marks[i].label) labelled.push_back(i);
        EXPECT_EQ(labelled, m.labelled) << m.plotWidth;
        EXPECT_EQ(marks[1].label.value_or(Charts::ChartLabel{}).text, m.labelled[1] == 1 ? "01:00" : "");
    }
}

TEST_F(HypnogramLayout, HourLabelsSitUnderTheirLineOrEndAtTheRightEdge) {
    struct Case {
        const char* name;
        double minutesLong; // from 23:30
        double canvasWidth;
        std::vector<Charts::ChartLabel> labels;
    };
    const Case cases[] = {
        {"one hour only: labelled", 45, 742, {{"00:00", {96 + 600 * 30 / 45.0, 198}, Anchor::topCentre}}},
        {"an hour at the plot's end would pass the edge: it ends there",
         90,
         710,
         {{"00:00", {296, 198}, Anchor::topCentre}, {"01:00", {696, 198}, Anchor::topTrailing}}},
        {"a view narrower than its plot: the label ends a point inside the canvas",
         90,
         60,
         {{"00:00", {59, 198}, Anchor::topTrailing}, {"01:00", {59, 198}, Anchor::topTrailing}}},
    };
    for (const Case& c : cases) {
        const Night night = nightOf(utc(2024, 5, 10, 23, 30), c.minutesLong);
        const NightScale scale{night, plot};
        std::vector<Charts::ChartLabel> labels;
        for (const Hypnogram::HourMark& mark : Hypnogram::hourMarks(scale, scale.hours(), c.canvasWidth))
            if (mark.label) labels.push_back(*mark.label);
        EXPECT_EQ(labels, c.labels) << c.name;
    }
}

TEST_F(HypnogramLayout, NoWholeHourMeansNoHourMarksAndTicksFromTheStart) {
    const Night night = nightOf(utc(2024, 5, 10, 22, 10), 40);
    const NightScale scale{night, plot};
    EXPECT_TRUE(Hypnogram::hourMarks(scale, scale.hours(), 742).empty());
    EXPECT_EQ(Hypnogram::quarterTicks(scale, scale.hours()),
              (std::vector<double>{96, 96 + 600 * 15 / 40.0, 96 + 600 * 30 / 40.0}));
}

TEST_F(HypnogramLayout, WakeLabelsGiveWayToTheirNeighbourAndTheEdge) {
    struct Case {
        double canvasWidth;
        std::vector<std::optional<QString>> labels; // per moment, in order
    };
    const Case cases[] = {
        // The moment 3 points after another only gets its tick.
        {742, {"22:40", "02:00", std::nullopt, "06:50"}},
        // Its label would pass the right edge by a point: only the tick.
        {700, {"22:40", "02:00", std::nullopt, std::nullopt}},
    };
    const Night night = tenHours();
    const NightScale scale{night, plot};
    for (const Case& c : cases) {
        const std::vector<Hypnogram::WakeMark> marks = Hypnogram::wakeMarks(scale, c.canvasWidth);
        ASSERT_EQ(marks.size(), c.labels.size());
        for (std::size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(marks[i].x, scale.x(night.wakeMoments()[i].date));
            ASSERT_EQ(marks[i].label.has_value(), c.labels[i].has_value()) << c.canvasWidth << " #" << i;
            if (!marks[i].label) continue;
            EXPECT_EQ(marks[i].label->text, *c.labels[i]);
            EXPECT_EQ(marks[i].label->at, QPointF(marks[i].x, 16));
            EXPECT_EQ(marks[i].label->anchor, Anchor::bottomCentre);
        }
    }
}

TEST_F(HypnogramLayout, BatteryScaleInStepsOfFiveAtLeastTenTall) {
    struct Case {
        std::vector<int64_t> charges;
        int64_t lo, hi;
    };
    const Case cases[] = {
        {{50, 50, 50}, 40, 50}, // 45 to 50 is under 10 tall: lo goes down to 40
        {{97, 3, 60}, 0, 100},
        {{100, 98, 99}, 90, 100},
        {{4, 0, 2}, 0, 10},
        {{80, 71}, 65, 80},
        {{-7, 20}, -5, 20},     // a damaged reading below zero keeps its step
        {{120, 150}, 115, 100}, // above 100: the top stays at 100
        {{std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()}, -1'000'000, 100},
    };
    for (const Case& c : cases) {
        Night night = nightOf(start, 60);
        night.hasBattery = true;
        for (std::size_t i = 0; i < c.charges.size(); ++i)
            night.battery.push_back({minutes(double(i)), c.charges[i]});
        const std::optional<Hypnogram::BatteryScale> scale = Hypnogram::batteryScale(night);
        ASSERT_TRUE(scale) << c.charges.front();
        EXPECT_EQ(scale->lo, c.lo) << c.charges.front();
        EXPECT_EQ(scale->hi, c.hi) << c.charges.front();
    }
}

TEST_F(HypnogramLayout, BatteryNeedsTwoReadingsOfABatteryMac) {
    Night night = nightOf(start, 60);
    night.battery = {{minutes(0), 80}, {minutes(30), 70}};
    EXPECT_FALSE(Hypnogram::batteryScale(night)) << "no battery";
    night.hasBattery = true;
    EXPECT_TRUE(Hypnogram::batteryScale(night));
    night.battery.pop_back();
    EXPECT_FALSE(Hypnogram::batteryScale(night)) << "a single reading";
}

TEST_F(HypnogramLayout, BatteryLineSpansThePlotInsideAFifthOfALane) {
    Night night = nightOf(start, 600);
    night.hasBattery = true;
    night.battery = {{minutes(0), 90}, {minutes(300), 80}, {minutes(600), 70}};
    const NightScale scale{night, plot};
    const Hypnogram::BatteryScale battery = *Hypnogram::batteryScale(night); // 65 to 90
    EXPECT_EQ(battery.y(90, plot), 28 + 8);  // 5 % of the height below the top
    EXPECT_EQ(battery.y(65, plot), 188 - 8); // 5 % above the bottom
    const Hypnogram::BatteryMarks marks = Hypnogram::batteryMarks(scale, battery);
    EXPECT_EQ(marks.line,
              (std::vector<QPointF>{
                  {96, 36 + 144 * 0 / 25.0}, {396, 36 + 144 * 10 / 25.0}, {696, 36 + 144 * 20 / 25.0}}));
    EXPECT_EQ(marks.bar, QLineF(702, 36, 702, 180));
    EXPECT_EQ(marks.scaleLabels,
              (std::vector<Charts::ChartLabel>{{"90%", {706, 36}, Anchor::leadingCentre},
                                               {"65%", {706, 180}, Anchor::leadingCentre}}));
    EXPECT_EQ(marks.caption, (Charts::ChartLabel{"BATT", {706, 16}, Anchor::bottomLeading}));
}

TEST_F(HypnogramLayout, EverySegmentShowsHoweverShort) {
    const Night night = nightOf(start, 600);
    const NightScale scale{night, plot};
    const Segment instant{minutes(100), minutes(100), PowerState::awake};
    EXPECT_EQ(Hypnogram::areaRect(instant, scale), QRectF(196, 88, 0.75, 100));
    EXPECT_EQ(Hypnogram::stateLine(instant, scale), QLineF(196, 88, 197.5, 88));
    const Segment hour{minutes(100), minutes(160), PowerState::screenOn};
    EXPECT_EQ(Hypnogram::areaRect(hour, scale), QRectF(196, 48, 60, 140));
    EXPECT_EQ(Hypnogram::stateLine(hour, scale), QLineF(196, 48, 256, 48));
    EXPECT_EQ(Hypnogram::connector(instant, hour, scale), QLineF(196, 88, 196, 48));
    EXPECT_EQ(Hypnogram::darkMark(hour, scale), QLineF(196, 168, 196, 128));
}

TEST_F(HypnogramLayout, CursorMarksTheReadStatesLane) {
    const Night night = tenHours();
    const NightScale scale{night, plot};
    // Asleep, but a minute and a second after a dark wake: the dot sits on the dark lane.
    const Hypnogram::CursorMarks marks = Hypnogram::cursorMarks(scale, ScrubReading(night, minutes(101)));
    EXPECT_EQ(marks.line, QLineF(197, 26, 197, 195));
    EXPECT_EQ(marks.dot, QPointF(197, 128));
}

TEST_F(HypnogramLayout, ReadoutSitsBesideTheCursorWithinTheView) {
    struct Case {
        const char* name;
        double cursorX;
        double boxWidth;
        double left;
    };
    const Case cases[] = {
        {"right of the cursor", 300, 150, 310},
        {"flipped left near the plot's right end", 600, 150, 440},
        {"flipped, but never left of the plot", 200, 500, 96},
        {"never past the view's right edge, even over the cursor", 96, 650, 92},
        {"at the right end of the plot", 696, 100, 586},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hypnogram::readoutOrigin(plot, 742, c.cursorX, c.boxWidth), QPointF(c.left, 34)) << c.name;
}

// Whatever the dates and charges, every coordinate the painter gets is a finite number within its reach.
TEST_F(HypnogramLayout, DamagedNightsStillGiveFiniteCoordinates) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    struct Case {
        const char* name;
        Night night;
    };
    auto withBattery = [](Night night, std::vector<BatteryPoint> points) {
        night.hasBattery = true;
        night.battery = std::move(points);
        return night;
    };
    const Night zeroLength = nightOf(start, 0, {{0, 0, PowerState::dark}}, {{0, Kind::darkWake}});
    const Case cases[] = {
        {"zero length", withBattery(zeroLength, {{start, 50}, {start, 50}})},
        {"one battery point", withBattery(tenHours(), {{minutes(5), 50}})},
        {"all charges equal",
         withBattery(tenHours(), {{minutes(5), 50}, {minutes(50), 50}, {minutes(500), 50}})},
        {"charges at the ends of the range",
         withBattery(tenHours(), {{minutes(5), std::numeric_limits<int64_t>::max()},
                                  {minutes(6), std::numeric_limits<int64_t>::min()}})},
        {"dates at the ends of the range",
         withBattery(nightOf(Date{-1e300}, 0, {{0, 0, PowerState::awake}}, {{0, Kind::screenOn}}),
                     {{Date{-1e300}, 40}, {Date{1e300}, 60}})},
        {"no end",
         [] {
             Night night = tenHours();
             night.end = Date{infinity};
             night.segments.push_back({minutes(600), Date{infinity}, PowerState::screenOn});
             return night;
         }()},
        {"dates that are no numbers",
         [&] {
             Night night = nightOf(Date{nan}, 0, {{0, 10, PowerState::awake}}, {{5, Kind::darkWake}});
             return withBattery(night, {{Date{nan}, 30}, {Date{nan}, 40}});
         }()},
    };
    auto finite = [](double v) { return std::isfinite(v) && std::abs(v) <= Charts::farOutside; };
    auto finitePoint = [&](QPointF p) { return finite(p.x()) && finite(p.y()); };
    auto finiteLine = [&](QLineF l) { return finitePoint(l.p1()) && finitePoint(l.p2()); };
    auto finiteRect = [&](QRectF r) { return finitePoint(r.topLeft()) && finitePoint(r.bottomRight()); };
    for (const Case& c : cases) {
        const Night& night = c.night;
        const QRectF plot = Hypnogram::plotRect(view, night.hasBattery);
        const NightScale scale{night, plot};
        const std::vector<Date> hours = scale.hours();
        for (const Hypnogram::HourMark& mark : Hypnogram::hourMarks(scale, hours, view.width()))
            EXPECT_TRUE(finite(mark.x)) << c.name;
        for (double tick : Hypnogram::quarterTicks(scale, hours))
            EXPECT_TRUE(finite(tick)) << c.name;
        for (const Hypnogram::WakeMark& mark : Hypnogram::wakeMarks(scale, view.width()))
            EXPECT_TRUE(finite(mark.x)) << c.name;
        for (std::size_t i = 0; i < night.segments.size(); ++i) {
            EXPECT_TRUE(finiteRect(Hypnogram::areaRect(night.segments[i], scale))) << c.name;
            EXPECT_TRUE(finiteLine(Hypnogram::stateLine(night.segments[i], scale))) << c.name;
            EXPECT_TRUE(finiteLine(Hypnogram::darkMark(night.segments[i], scale))) << c.name;
            if (i > 0) {
                EXPECT_TRUE(finiteLine(Hypnogram::connector(night.segments[i - 1], night.segments[i], scale)))
                    << c.name;
            }
        }
        if (const auto battery = Hypnogram::batteryScale(night)) {
            const Hypnogram::BatteryMarks marks = Hypnogram::batteryMarks(scale, *battery);
            for (QPointF point : marks.line)
                EXPECT_TRUE(finitePoint(point)) << c.name;
            EXPECT_TRUE(finiteLine(marks.bar)) << c.name;
        }
        for (double hoverX : {0.0, 300.0, 2000.0, nan}) {
            const std::optional<Date> cursor = Hypnogram::cursorDate(hoverX, std::nullopt, scale);
            ASSERT_TRUE(cursor) << c.name;
            const Hypnogram::CursorMarks marks = Hypnogram::cursorMarks(scale, ScrubReading(night, *cursor));
            EXPECT_TRUE(finiteLine(marks.line) && finitePoint(marks.dot)) << c.name << " at " << hoverX;
            EXPECT_TRUE(finitePoint(Hypnogram::readoutOrigin(plot, view.width(), marks.line.x1(), 180)))
                << c.name;
        }
    }
}
