#include "ChartFixtures.h"
#include "Dormio/UI/Charts/ActogramRow.h"
#include "Dormio/UI/Charts/ChartGeometry.h"

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
