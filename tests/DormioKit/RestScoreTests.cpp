#include "DormioKit/Night.h"
#include "DormioKit/RestScore.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <limits>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

constexpr double hour = 3600;

struct Shape {
    double length;
    double dark, awake, screen; // the rest of the night is asleep
    int darkWakes, screenOns;
    std::optional<int64_t> lost;
};

// A built night of the given shape: contiguous segments from start to end, and battery points that lose
// `lost` points when given.
Night night(const Shape& shape) {
    Night night = emptyNight(Date{0}, Date{shape.length});
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
    auto addEvents = [&](int count, Kind kind) {
        for (int i = 0; i < count; ++i)
            night.events.push_back({Date{1.0 * i}, kind, "", "", "", 0, {}, {}, {}});
    };
    addEvents(shape.darkWakes, Kind::darkWake);
    addEvents(shape.screenOns, Kind::screenOn);
    if (shape.lost) {
        night.hasBattery = true;
        night.battery = {{Date{0}, 100}, {Date{shape.length}, 100 - *shape.lost}};
    }
    return night;
}

} // namespace

TEST(RestScore, WorkedExamples) {
    const double night8 = 8 * hour;
    const auto none = std::nullopt;
    const struct {
        const char* name;
        Shape shape; // length, dark, awake, screen on, dark wakes, screen-ons, lost
        int64_t score;
    } cases[] = {
        {"asleep throughout", {night8, 0, 0, 0, 0, 0, none}, 100},
        {"five dark wakes, no battery", {night8, 1200, 0, 600, 5, 1, none}, 88},
        {"five dark wakes, lost 2", {night8, 1200, 0, 600, 5, 1, 2}, 88},
        {"five dark wakes, lost 10", {night8, 1200, 0, 600, 5, 1, 10}, 65},
        {"half at the screen", {night8, 0, 0, 4 * hour, 0, 1, none}, 78},
        {"one hour with the two-hour floor", {hour, 0, 0, 0, 0, 0, 1}, 96},
        // Each penalty well past its cap, alone where the asleep-time cap allows it; screen time past half
        // the night lowers that cap below 80, so dark wakes and a lost battery bring the score under it.
        {"dark wakes past their cap of 30", {night8, 0, 0, 0, 100, 0, none}, 70},
        {"screen-ons past their cap of 10", {night8, 0, 0, 0, 0, 50, none}, 90},
        {"time up past its cap of 40", {night8, 0.6 * night8, 0, 0, 0, 0, none}, 60},
        {"screen time past its cap of 20", {night8, 0, 0, 0.75 * night8, 20, 0, 10}, 34}, // 33.5 rounds up
        {"battery loss past its cap of 25", {night8, 0, 0, 0, 0, 0, 40}, 75},
        {"every penalty past its cap clamps to 0", {night8, night8, 0, 0, 30, 10, 40}, 0},
        {"never asleep, awake throughout", {night8, 0, night8, 0, 0, 0, none}, 25},
        {"battery gained charge", {night8, 0, 0, 0, 0, 0, -20}, 100},
        {"lost exactly the allowance", {night8, 0, 0, 0, 0, 0, 2}, 100},
        {"lost 3 in eight hours", {night8, 0, 0, 0, 0, 0, 3}, 99}, // s = 98.5 rounds away from zero
    };
    for (const auto& c : cases) {
        Night n = night(c.shape);
        EXPECT_EQ(RestScore::score(n), c.score) << c.name;
        EXPECT_EQ(n.score(), c.score) << c.name;
    }
}

TEST(RestScore, NightsOfNoLengthScoreZero) {
    for (double length : {0.0, -hour}) {
        Night n = emptyNight(Date{hour}, Date{hour + length});
        EXPECT_EQ(RestScore::score(n), 0);
        EXPECT_EQ(n.scoreWord(), "Barely slept");
        EXPECT_EQ(RestScore::ticks(n.score()), 0);
    }
}

TEST(RestScore, NonFiniteTimesNeverReachAnIntegerConversion) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    Night notANumber = emptyNight(Date{0}, Date{nan});
    EXPECT_EQ(RestScore::score(notANumber), 0);
    Night endless = emptyNight(Date{0}, Date{infinity}, {{Date{0}, Date{infinity}}});
    EXPECT_GE(RestScore::score(endless), 0);
    EXPECT_LE(RestScore::score(endless), 100);
    Night nanSegment = emptyNight(Date{0}, Date{hour}, {{Date{0}, Date{nan}}});
    EXPECT_GE(RestScore::score(nanSegment), 0);
    EXPECT_LE(RestScore::score(nanSegment), 100);
}

TEST(RestScore, WordsAtTheirBoundaries) {
    const std::pair<int64_t, const char*> cases[] = {
        {100, "Sound"},   {85, "Sound"},        {84, "Light"},       {65, "Light"},        {64, "Restless"},
        {40, "Restless"}, {39, "Barely slept"}, {0, "Barely slept"}, {-5, "Barely slept"},
    };
    for (const auto& [score, word] : cases)
        EXPECT_EQ(RestScore::word(score), word) << score;
}

TEST(RestScore, TicksTruncateAndClamp) {
    const std::pair<int64_t, int64_t> cases[] = {{100, 10}, {99, 9},  {10, 1},  {9, 0},
                                                 {0, 0},    {-15, 0}, {250, 10}};
    for (const auto& [score, ticks] : cases)
        EXPECT_EQ(RestScore::ticks(score), ticks) << score;
}
