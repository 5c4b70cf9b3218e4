#include "DormioKit/Story.h"

#include <gtest/gtest.h>

using namespace dormio;

namespace {

using Kind = NightEvent::Kind;

struct Moment {
    Kind kind;
    const char* label;
};

// Events a minute apart, each lasting one more second than the last, so groups show in the totals.
Night nightOf(const std::vector<Moment>& moments) {
    Night night;
    for (std::size_t i = 0; i < moments.size(); ++i) {
        NightEvent e;
        e.date = Date{86400.0 * 365 + 60.0 * static_cast<double>(i)};
        e.kind = moments[i].kind;
        e.label = moments[i].label;
        e.duration = 10.0 + static_cast<double>(i);
        night.events.push_back(e);
    }
    return night;
}

struct StoryCase {
    const char* name;
    std::vector<Moment> moments;
    std::vector<std::size_t> sizes; // events per item, in order
};

class StoryItems : public testing::TestWithParam<StoryCase> {};

TEST_P(StoryItems, GroupsRunsOfDarkWakesWithTheSameWords) {
    const StoryCase& c = GetParam();
    Night night = nightOf(c.moments);
    std::vector<StoryItem> items = Story::items(night);
    ASSERT_EQ(items.size(), c.sizes.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_EQ(items[i].events.size(), c.sizes[i]) << "item " << i;
        for (const NightEvent& e : items[i].events)
            EXPECT_EQ(e, night.events[next++]);
        EXPECT_EQ(items[i].isGroup(), c.sizes[i] > 1);
    }
    EXPECT_EQ(next, night.events.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoryItems,
    testing::Values(
        StoryCase{"NoEvents", {}, {}},
        StoryCase{"RunOfThreeBetweenOthers",
                  {{Kind::fellAsleep, "Already asleep"},
                   {Kind::darkWake, "A"},
                   {Kind::darkWake, "A"},
                   {Kind::darkWake, "A"},
                   {Kind::screenOn, "You used your Mac"}},
                  {1, 3, 1}},
        StoryCase{"DifferentLabelEndsARun",
                  {{Kind::darkWake, "A"}, {Kind::darkWake, "B"}, {Kind::darkWake, "A"}},
                  {1, 1, 1}},
        StoryCase{"AnotherKindEndsARun",
                  {{Kind::darkWake, "A"}, {Kind::stayedAwake, "A"}, {Kind::darkWake, "A"}},
                  {1, 1, 1}},
        StoryCase{
            "DarkWakeNeverJoinsAnotherKind",
            {{Kind::screenOn, "A"}, {Kind::darkWake, "A"}, {Kind::awakeAtStart, "A"}, {Kind::darkWake, "A"}},
            {1, 1, 1, 1}},
        StoryCase{"OtherKindsStandAloneEvenWithEqualWords",
                  {{Kind::stayedAwake, "A"},
                   {Kind::stayedAwake, "A"},
                   {Kind::fellAsleep, "B"},
                   {Kind::fellAsleep, "B"}},
                  {1, 1, 1, 1}},
        StoryCase{"SingleDarkWake", {{Kind::darkWake, "A"}}, {1}}),
    [](const testing::TestParamInfo<StoryCase>& info) { return std::string(info.param.name); });

TEST(StoryItem, GroupTakesItsIdentityFromTheFirstEventAndSumsDurations) {
    Night night = nightOf({{Kind::darkWake, "Scheduled timer"},
                           {Kind::darkWake, "Scheduled timer"},
                           {Kind::darkWake, "Scheduled timer"}});
    std::vector<StoryItem> items = Story::items(night);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0].isGroup());
    EXPECT_EQ(&items[0].first(), &items[0].events.front());
    EXPECT_EQ(items[0].id(), night.events[0].id());
    EXPECT_EQ(items[0].id(), std::to_string(978307200 + 86400 * 365) + ".0-darkWake");
    EXPECT_DOUBLE_EQ(items[0].totalDuration(), 10 + 11 + 12);
    EXPECT_EQ(StoryItem{}.totalDuration(), 0);
}

TEST(StoryItem, EqualityAndHashingCompareEveryEventField) {
    Night night = nightOf({{Kind::darkWake, "A"}, {Kind::darkWake, "A"}});
    StoryItem item = Story::items(night).front();
    StoryItem other = item;
    EXPECT_EQ(item, other);
    EXPECT_EQ(std::hash<StoryItem>{}(item), std::hash<StoryItem>{}(other));
    other.events[1].culprit = "mds";
    EXPECT_NE(item, other);
}

} // namespace
