#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ActogramRow.h"
#include "Dormio/UI/Charts/ActogramRowView.h"
#include "Dormio/UI/Charts/ChartGeometry.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "KitTest.h"

#include <QPainter>
#include <QVBoxLayout>
#include <cmath>
#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

const Date start = utc(2024, 5, 10, 22);

// An eight-hour night in a row 300 points wide that stands for twelve hours: 25 points an hour.
Night eightHours() {
    return nightOf(
        start, 480,
        {{0, 60, PowerState::screenOn},
         {60, 60, PowerState::awake},
         {60, 240, PowerState::asleep},
         {240, 252, PowerState::dark},
         {252, 480, PowerState::asleep}},
        {{60, Kind::fellAsleep}, {240, Kind::darkWake}, {300, Kind::screenOn}, {360, Kind::darkWake}});
}

} // namespace

TEST(ActogramRow, BarsStandOnTheSharedSpanFromTheNightsStart) {
    const Night night = eightHours();
    const ActogramRow::Layout row{night, 12 * 3600, {300, 10}};
    EXPECT_EQ(row.bar(night.segments[0]), QRectF(0, 0, 25, 10));
    EXPECT_EQ(row.bar(night.segments[1]), QRectF(25, 0, 0.75, 10)); // no length: 0.75 point
    EXPECT_EQ(row.bar(night.segments[2]), QRectF(25, 0, 75, 10));
    EXPECT_EQ(row.x(night.end), 200);
}

TEST(ActogramRow, MarksOnlyDarkWakes) {
    const Night night = eightHours();
    const ActogramRow::Layout row{night, 12 * 3600, {300, 10}};
    EXPECT_EQ(row.darkWakeMarks(), (std::vector<QLineF>{{100, 0, 100, 10}, {150, 0, 150, 10}}));
}

TEST(ActogramRow, EndLineOnlyWhileInProgressAndOutlineInsideTheEdge) {
    Night night = eightHours();
    const ActogramRow::Layout row{night, 12 * 3600, {300, 10}};
    EXPECT_EQ(row.endLine(), std::nullopt);
    night.inProgress = true;
    EXPECT_EQ(row.endLine(), QLineF(200, 0, 200, 10));
    EXPECT_EQ(row.outline(), QRectF(0.5, 0.5, 299, 9));
}

TEST(ActogramRow, ASpanUnderASecondCountsAsOne) {
    const Night night = nightOf(start, 1, {{0, 1, PowerState::asleep}});
    for (double span : {0.0, 0.5, -5.0, std::nan("")}) {
        const ActogramRow::Layout row{night, span, {300, 10}};
        EXPECT_EQ(row.x(start + 1), 300) << span;
        EXPECT_EQ(row.x(start + 1e9), Charts::farOutside) << span; // held within the rasteriser's reach
    }
}

namespace {

QImage drawnRow(const Night& night, bool highlighted, Appearance appearance) {
    const CanvasPalette palette(appearance);
    return onCard({300, 10}, palette, [&](QPainter& painter) {
        ActogramRow::paint(painter, {300, 10}, night, 12 * 3600, highlighted, palette);
    });
}

} // namespace

TEST(ActogramRowPainting, BarsOverTheBackgroundWithDarkWakesEndAndOutline) {
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        const CanvasPalette palette(appearance);
        const QColor background = over(faded(palette.rule, 0.6), palette.card);
        const QColor darkWake = appearance == Appearance::dark ? QColor(0xFF, 0xC2, 0xC7) : palette.rose;
        Night night = eightHours();
        const QImage plain = drawnRow(night, false, appearance);
        struct Case {
            const char* name;
            QPointF at;
            QColor color;
        };
        const Case cases[] = {
            {"asleep", {50.25, 5}, palette.indigo},
            {"screen on", {10.25, 5}, over(faded(palette.amber, 0.7), background)},
            {"a dark segment leaves the background", {102.25, 5}, background},
            {"a dark wake's mark", {150, 5}, over(darkWake, palette.indigo)},
            {"a stayed-awake moment has none", {125.25, 5}, palette.indigo},
            {"after the night", {250.25, 5}, background},
            {"no end line for a finished night", {200, 1}, background},
            {"no outline", {250.25, 0.25}, background},
        };
        for (const Case& c : cases)
            EXPECT_TRUE(near(probe(plain, c.at.x(), c.at.y()), c.color, 4))
                << nameOf(appearance) << " " << c.name << ": "
                << probe(plain, c.at.x(), c.at.y()).name().toStdString();

        night.inProgress = true;
        const QImage marked = drawnRow(night, true, appearance);
        EXPECT_TRUE(near(probe(marked, 200, 1), palette.ink, 4)) << "the end line's first dash";
        EXPECT_TRUE(near(probe(marked, 200, 3), background, 4)) << "and its first gap";
        EXPECT_TRUE(near(probe(marked, 250.25, 0.25), palette.ink, 4)) << "the outline";
    }
}

TEST(ActogramRowPainting, Gallery) {
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        AppearanceScope scope(appearance);
        QWidget actogram;
        auto* rows = new QVBoxLayout(&actogram);
        rows->setContentsMargins(8, 8, 8, 8);
        rows->setSpacing(4);
        Night tonight = ordinaryNight();
        tonight.end = tonight.start + 5 * 3600;
        tonight.inProgress = true;
        tonight.segments.resize(7);
        tonight.segments.back().end = tonight.end;
        struct Row {
            Night night;
            bool highlighted;
        };
        for (const Row& row : {Row{eightHours(), false}, Row{ordinaryNight(), true}, Row{tonight, false}}) {
            auto* view = new ActogramRowView;
            view->setNight(row.night);
            view->setSpan(9 * 3600);
            view->setHighlighted(row.highlighted);
            view->setFixedSize(400, 14);
            rows->addWidget(view);
        }
        EXPECT_TRUE(writeGallery(render(actogram, 2, CanvasPalette(appearance).card),
                                 QString("actogram-rows-%1").arg(nameOf(appearance))));
    }
}
