#include "DormioKit/DateLookup.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace dormio;
using NightBuilder::firstIndex;
using NightBuilder::lastIndex;

namespace {

std::vector<PowerEvent> eventsAt(std::initializer_list<double> seconds) {
    std::vector<PowerEvent> events;
    for (double s : seconds) {
        PowerEvent event;
        event.date = Date{s};
        events.push_back(event);
    }
    return events;
}

} // namespace

TEST(DateLookup, EmptyListGivesZeroAndNone) {
    EXPECT_EQ(firstIndex(Date{100}, std::vector<PowerEvent>{}), 0u);
    EXPECT_EQ(lastIndex(Date{100}, std::vector<PowerEvent>{}), std::nullopt);
}

TEST(DateLookup, BisectsAroundTheGivenDate) {
    // Three elements share the date 20: they count as at or before it.
    const auto events = eventsAt({10, 20, 20, 20, 30, 40});
    struct Case {
        double date;
        std::size_t first;
        std::optional<std::size_t> last;
    };
    const Case cases[] = {
        {5, 0, std::nullopt}, // before every element
        {10, 1, 0},           {15, 1, 0},
        {20, 4, 3}, // the last of the equal ones, and the one after them
        {19.999, 1, 0},       {20.001, 4, 3},
        {40, 6, 5},           {99, 6, 5}, // after every element: the last index and the count
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstIndex(Date{c.date}, events), c.first) << c.date;
        EXPECT_EQ(lastIndex(Date{c.date}, events), c.last) << c.date;
    }
}

TEST(DateLookup, EachListUsesItsOwnDate) {
    std::vector<DisplayChange> display{{Date{10}, true}, {Date{20}, false}};
    EXPECT_EQ(firstIndex(Date{10}, display), 1u);
    EXPECT_EQ(lastIndex(Date{19}, display), 0u);

    std::vector<WakeRequest> requests(2);
    requests[0].logged = Date{10};
    requests[0].wakeAt = Date{500}; // the time it asks for plays no part
    requests[1].logged = Date{20};
    EXPECT_EQ(firstIndex(Date{15}, requests), 1u);
    EXPECT_EQ(lastIndex(Date{20}, requests), 1u);
}

TEST(DateLookup, MatchesALinearScanOnEveryDate) {
    const auto events = eventsAt({1, 1, 2, 3, 5, 8, 8, 8, 13});
    for (double date = 0; date <= 14; date += 0.5) {
        auto after = std::find_if(events.begin(), events.end(),
                                  [&](const PowerEvent& e) { return e.date.seconds > date; });
        auto expected = static_cast<std::size_t>(after - events.begin());
        EXPECT_EQ(firstIndex(Date{date}, events), expected) << date;
        EXPECT_EQ(lastIndex(Date{date}, events), expected == 0 ? std::nullopt : std::optional{expected - 1})
            << date;
    }
}

TEST(DateLookup, StaysWithinBoundsOnAnUnsortedList) {
    const auto events = eventsAt({30, 10, 40, 20, 0});
    for (double date : {-1.0, 0.0, 15.0, 25.0, 50.0}) {
        EXPECT_LE(firstIndex(Date{date}, events), events.size()) << date;
        auto last = lastIndex(Date{date}, events);
        EXPECT_LT(last.value_or(0), events.size()) << date;
    }
}

TEST(DateLookup, AWalkAnswersAsBisectionDoesWhateverTheOrderOfItsDates) {
    const auto events = eventsAt({1, 1, 2, 3, 5, 8, 8, 8, 13});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<double> dates;
    };
    const Case cases[] = {
        {"rising, with repeats and equal dates", {0, 1, 1, 1.5, 8, 8, 9, 13, 14, 99}},
        {"starting past the end", {99, 100}},
        {"stepping back", {8, 2, 0.5, 13, 3}},
        {"a date that does not compare", {5, nan, 1, nan, nan, 9}},
    };
    for (const Case& c : cases) {
        NightBuilder::LastIndexWalk<PowerEvent> walk(events);
        for (double date : c.dates)
            EXPECT_EQ(walk.at(Date{date}), lastIndex(Date{date}, events)) << c.name << ": " << date;
    }
    const std::vector<PowerEvent> none;
    NightBuilder::LastIndexWalk<PowerEvent> empty(none);
    EXPECT_EQ(empty.at(Date{1}), std::nullopt);
}
