#include "DormioKit/RestScore.h"

#include "DormioKit/Night.h"

#include <gtest/gtest.h>

#include <limits>

using namespace dormio;
using Kind = NightEvent::Kind;

namespace {

constexpr double hour = 3600;

struct Shape {
    double length = 8 * hour;
    double dark = 0, awake = 0, screen = 0; // the rest of the night is asleep
    int darkWakes = 0, screenOns = 0;
    std::optional<int64_t> lost;
};

// A built night of the given shape: contiguous segments from start to end, and battery points that lose
// `lost` points when given.
Night night(const Shape& shape) {
    Night night{.id = "x", .start = Date{0}, .end = Date{shape.length}};
    double t = 0;
    auto add = [&](double seconds, PowerState state) {
        if (seconds <= 0) return;
        night.segments.push_back({Date{t}, Date{t + seconds}, state});
        t += seconds;
    };
    add(shape.dark, PowerState::dark);
    add(shape.awake, PowerState::awake);
    add(shape.screen, PowerState::screenOn);
    add(shape.length - shape.dark - shape.awake - shape.screen, PowerState::asleep);
    for (int i = 0; i < shape.darkWakes; ++i) night.events.push_back({Date{1.0 * i}, Kind::darkWake});
    for (int i = 0; i < shape.screenOns; ++i) night.events.push_back({Date{1.0 * i}, Kind::screenOn});
    if (shape.lost) {
        night.hasBattery = true;
        night.battery = {{Date{0}, 100}, {Date{shape.length}, 100 - *shape.lost}};
    }
    return night;
}

} // namespace

TEST(RestScore, WorkedExamples) {
    const struct {
        const char* name;
        Shape shape;
        int64_t score;
    } cases[] = {
        {"asleep throughout", {}, 100},
        {"five dark wakes, no battery", {.dark = 1200, .screen = 600, .darkWakes = 5, .screenOns = 1}, 88},
        {"five dark wakes, lost 2", {.dark = 1200, .screen = 600, .darkWakes = 5, .screenOns = 1, .lost = 2}, 88},
        {"five dark wakes, lost 10", {.dark = 1200, .screen = 600, .darkWakes = 5, .screenOns = 1, .lost = 10}, 65},
        {"half at the screen", {.screen = 4 * hour, .screenOns = 1}, 78},
        {"one hour with the two-hour floor", {.length = hour, .lost = 1}, 96},
        {"every penalty at its limit", {.dark = 8 * hour, .darkWakes = 30, .screenOns = 10, .lost = 40}, 0},
        {"never asleep, awake throughout", {.awake = 8 * hour}, 25},
        {"battery gained charge", {.lost = -20}, 100},
        {"lost exactly the allowance", {.lost = 2}, 100},
        {"lost 3 in eight hours", {.lost = 3}, 99}, // rate 0.5, penalty 1.5, s = 98.5 rounds away from zero
    };
    for (const auto& c : cases) {
        Night n = night(c.shape);
        EXPECT_EQ(RestScore::score(n), c.score) << c.name;
        EXPECT_EQ(n.score(), c.score) << c.name;
    }
}

TEST(RestScore, NightsOfNoLengthScoreZero) {
    for (double length : {0.0, -hour}) {
        Night n{.id = "x", .start = Date{hour}, .end = Date{hour + length}};
        EXPECT_EQ(RestScore::score(n), 0);
        EXPECT_EQ(n.scoreWord(), "Barely slept");
        EXPECT_EQ(RestScore::ticks(n.score()), 0);
    }
}

TEST(RestScore, NonFiniteTimesNeverReachAnIntegerConversion) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    Night notANumber{.id = "x", .start = Date{0}, .end = Date{nan}};
    EXPECT_EQ(RestScore::score(notANumber), 0);
    Night endless{.id = "x", .start = Date{0}, .end = Date{infinity}, .segments = {{Date{0}, Date{infinity}}}};
    EXPECT_GE(RestScore::score(endless), 0);
    EXPECT_LE(RestScore::score(endless), 100);
    Night nanSegment{.id = "x", .start = Date{0}, .end = Date{hour}, .segments = {{Date{0}, Date{nan}}}};
    EXPECT_GE(RestScore::score(nanSegment), 0);
    EXPECT_LE(RestScore::score(nanSegment), 100);
}

TEST(RestScore, WordsAtTheirBoundaries) {
    const std::pair<int64_t, const char*> cases[] = {
        {100, "Sound"},    {85, "Sound"},    {84, "Light"},         {65, "Light"},        {64, "Restless"},
        {40, "Restless"},  {39, "Barely slept"}, {0, "Barely slept"}, {-5, "Barely slept"},
    };
    for (const auto& [score, word] : cases) EXPECT_EQ(RestScore::word(score), word) << score;
}

TEST(RestScore, TicksTruncateAndClamp) {
    const std::pair<int64_t, int64_t> cases[] = {{100, 10}, {99, 9}, {10, 1}, {9, 0}, {0, 0},
                                                 {-15, 0},  {250, 10}};
    for (const auto& [score, ticks] : cases) EXPECT_EQ(RestScore::ticks(score), ticks) << score;
}
