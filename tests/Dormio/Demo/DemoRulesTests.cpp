// The demo's choices: the window's place, the moments and nights it points at, and the scrub's easing.

#include "Dormio/DevModes/DemoRules.h"

#include <gtest/gtest.h>

namespace dormio::testing {
namespace {

using namespace DemoRules;

const QSize leastSize(1020, 680);

TEST(DemoFrame, StandsFortyPointsShortOfTheScreenAtMostSixteenHundredByAThousandCentred) {
    struct Case {
        QRect available;
        QRect frame;
    };
    const Case cases[] = {
        {{0, 0, 1440, 875}, {20, 20, 1400, 835}},
        {{0, 25, 2560, 1415}, {480, 232, 1600, 1000}},
        {{100, 30, 1920, 1170}, {260, 115, 1600, 1000}},
        // Half a point off centre goes to the top left: the frame stays whole.
        {{0, 0, 1921, 1041}, {160, 20, 1600, 1000}},
        {{0, 0, 2561, 1501}, {480, 250, 1600, 1000}},
        // Smaller than the window can be: its least size, centred, off the screen's edges.
        {{0, 0, 800, 600}, {-110, -40, 1020, 680}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.available.width()) + "x" +
                     ::testing::PrintToString(c.available.height()));
        EXPECT_EQ(demoFrame(c.available, leastSize), c.frame);
    }
}

constexpr double hour = 3600;

Night nightWith(std::vector<std::pair<double, NightEvent::Kind>> events) {
    Night night;
    night.id = "2026-03-02";
    night.start = Date{1000};
    night.end = night.start + 10 * hour;
    for (const auto& [at, kind] : events) {
        NightEvent event;
        event.date = night.start + at;
        event.kind = kind;
        night.events.push_back(event);
    }
    return night;
}

TEST(WakeFraction, TakesTheFirstDarkWakeStrictlyAfterFortyTwoPercent) {
    using Kind = NightEvent::Kind;
    struct Case {
        const char* what;
        std::vector<std::pair<double, Kind>> events;
        std::optional<double> fraction;
    };
    const Case cases[] = {
        {"none", {}, std::nullopt},
        {"only before 42 %", {{1 * hour, Kind::darkWake}, {4 * hour, Kind::darkWake}}, std::nullopt},
        {"exactly at 42 %", {{4.2 * hour, Kind::darkWake}}, std::nullopt},
        {"just after 42 %", {{4.2 * hour + 1, Kind::darkWake}}, (4.2 * hour + 1) / (10 * hour) + 0.0005},
        {"the first of two", {{5 * hour, Kind::darkWake}, {7 * hour, Kind::darkWake}}, 0.5005},
        {"not a screen wake", {{5 * hour, Kind::screenOn}, {8 * hour, Kind::darkWake}}, 0.8005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<double> fraction = wakeFraction(nightWith(c.events));
        ASSERT_EQ(fraction.has_value(), c.fraction.has_value());
        if (fraction) {
            EXPECT_DOUBLE_EQ(*fraction, *c.fraction);
        }
    }
}

TEST(WakeFraction, ANightWithoutLengthHasNone) {
    Night night = nightWith({{0, NightEvent::Kind::darkWake}});
    night.end = night.start;
    EXPECT_EQ(wakeFraction(night), std::nullopt);
}

TEST(DarkWakeItem, TheFirstStoryLineThatOpensWithADarkWake) {
    using Kind = NightEvent::Kind;
    const Night night =
        nightWith({{1 * hour, Kind::screenOn}, {5 * hour, Kind::darkWake}, {8 * hour, Kind::darkWake}});
    EXPECT_EQ(darkWakeItem(night), QString::fromStdString(night.events[1].id()));
    EXPECT_EQ(darkWakeItem(nightWith({{1 * hour, Kind::screenOn}})), std::nullopt);
}

// Nights "n0", "n1", … oldest first, each with that many dark wakes.
std::vector<Night> nightsWithWakes(std::vector<int> wakes) {
    std::vector<Night> nights;
    for (std::size_t i = 0; i < wakes.size(); ++i) {
        Night night = nightWith({});
        night.id = "n" + std::to_string(i);
        for (int w = 0; w < wakes[i]; ++w)
            night.events.push_back(NightEvent{night.start + w * 60, NightEvent::Kind::darkWake});
        nights.push_back(night);
    }
    return nights;
}

TEST(BusiestRecentNight, TheMostWakesAmongTheEightFinishedNightsBeforeTheNewest) {
    struct Case {
        const char* what;
        std::vector<int> wakes;
        std::optional<std::string> pick;
    };
    const Case cases[] = {
        {"no nights", {}, std::nullopt},
        {"one finished night", {9}, std::nullopt},
        {"two nights", {3, 9}, "n0"},
        {"the newest finished night never counts", {1, 2, 9}, "n1"},
        // n0 lies ninth before the newest: out of reach, however busy.
        {"eight candidates", {20, 1, 1, 1, 1, 2, 1, 1, 1, 30}, "n5"},
        {"ties to the more recent", {1, 4, 2, 4, 1, 0}, "n3"},
        {"all alike", {2, 2, 2, 2}, "n2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(busiestRecentNight(nightsWithWakes(c.wakes)), c.pick);
    }
}

TEST(BusiestRecentNight, NightsInProgressAreNotFinished) {
    std::vector<Night> nights = nightsWithWakes({1, 5, 2, 7});
    nights[1].inProgress = true;
    nights[3].inProgress = true;
    // Finished: n0, n2; the newest of them, n2, is dropped.
    EXPECT_EQ(busiestRecentNight(nights), "n0");
    nights[0].inProgress = true;
    EXPECT_EQ(busiestRecentNight(nights), std::nullopt);
}

LiveRow rowOf(std::string name, std::string assertion) {
    LiveRow row;
    row.identity.name = std::move(name);
    row.assertion.name = std::move(assertion);
    return row;
}

TEST(MusicRow, TheFirstRowWhoseOwnerIsCalledMusicExactly) {
    const std::vector<LiveRow> live = {rowOf("music", "a"), rowOf("Music Helper", "b"), rowOf("Music", "c"),
                                       rowOf("Music", "d")};
    ASSERT_NE(musicRow(live), nullptr);
    EXPECT_EQ(musicRow(live)->assertion.name, "c");
    EXPECT_EQ(musicRow({live.begin(), live.begin() + 2}), nullptr);
    EXPECT_EQ(musicRow({}), nullptr);
}

TEST(ScrubFraction, EasesInAndOutAndEndsExactlyOnItsTarget) {
    EXPECT_DOUBLE_EQ(scrubFraction(0.3, 0.55, 0, 1.2), 0.3);
    EXPECT_DOUBLE_EQ(scrubFraction(0.3, 0.55, 0.3, 1.2), 0.3 + 0.25 * 0.125);
    EXPECT_DOUBLE_EQ(scrubFraction(0.3, 0.55, 0.6, 1.2), 0.425);
    EXPECT_DOUBLE_EQ(scrubFraction(0.3, 0.55, 0.9, 1.2), 0.3 + 0.25 * 0.875);
    EXPECT_EQ(scrubFraction(0.3, 0.55, 1.2, 1.2), 0.55);
    EXPECT_EQ(scrubFraction(0.08, 0.3, 1.2, 1.2), 0.3);
    EXPECT_EQ(scrubFraction(0.3, 0.55, 5, 1.2), 0.55);
    EXPECT_EQ(scrubFraction(0.3, 0.55, 0, 0), 0.55);
}

TEST(ScrubDate, HoldsTheCursorToTheNight) {
    const Night night = nightWith({});
    EXPECT_EQ(scrubDate(night, -0.2), night.start);
    EXPECT_EQ(scrubDate(night, 0.5), night.start + 5 * hour);
    EXPECT_EQ(scrubDate(night, 1.3), night.end);
}

} // namespace
} // namespace dormio::testing
