#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"

#include <gtest/gtest.h>
#include <limits>

using namespace dormio;

namespace {

constexpr double minute = 60;
constexpr double hour = 3600;
constexpr Date nightStart{731631600};
const std::string nbsp = "\u202F";
const std::string minus = "\u2212";

using S = PowerState;
using Kind = NightEvent::Kind;

// A night built from its parts: consecutive segments of the given lengths, events at the given offsets.
struct NightSpec {
    std::vector<std::pair<S, double>> segments{};
    std::vector<std::pair<Kind, std::string>> events{};
    std::vector<int64_t> charges{};
    bool hasBattery = false;
    bool pluggedIn = false;
    std::vector<std::string> keptAwake{};

    Night night() const {
        Night n;
        n.id = "2024-03-09";
        n.start = nightStart;
        Date t = nightStart;
        for (auto [state, seconds] : segments) {
            n.segments.push_back({t, t + seconds, state});
            t = t + seconds;
        }
        n.end = t;
        for (std::size_t i = 0; i < events.size(); ++i) {
            NightEvent e;
            e.date = nightStart + 40 * minute + 600.0 * static_cast<double>(i);
            e.kind = events[i].first;
            e.label = events[i].second;
            n.events.push_back(e);
        }
        for (std::size_t i = 0; i < charges.size(); ++i)
            n.battery.push_back({nightStart + hour * static_cast<double>(i), charges[i]});
        n.hasBattery = hasBattery;
        n.pluggedIn = pluggedIn;
        for (const std::string& process : keptAwake)
            n.keptAwake.push_back({process, "task", "PreventUserIdleSystemSleep", 100});
        return n;
    }
};

std::vector<std::pair<Kind, std::string>> repeated(Kind kind, int count,
                                                   const std::string& label = "Scheduled timer") {
    return std::vector<std::pair<Kind, std::string>>(static_cast<std::size_t>(count), {kind, label});
}

std::vector<std::pair<Kind, std::string>> operator+(std::vector<std::pair<Kind, std::string>> a,
                                                    const std::vector<std::pair<Kind, std::string>>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct WordsCase {
    const char* name;
    NightSpec spec;
    std::vector<std::string> figures;
    std::string sentence;
};

class SummaryWords : public testing::TestWithParam<WordsCase> {};

TEST_P(SummaryWords, FiguresLineAndSentence) {
    const WordsCase& c = GetParam();
    Night n = c.spec.night();
    EXPECT_EQ(NightSummary::figures(n), c.figures);
    std::string line;
    for (const std::string& figure : c.figures)
        line += (line.empty() ? "" : " \u00B7 ") + figure;
    EXPECT_EQ(NightSummary::line(n), line);
    EXPECT_EQ(NightSummary::sentence(n), c.sentence);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SummaryWords,
    testing::Values(
        WordsCase{"NeverSleptAtTheScreen",
                  {{{S::asleep, 59}, {S::screenOn, 4 * hour}, {S::awake, 4 * hour - 59}}},
                  {"no sleep", "0 wakes", "mains power"},
                  "Your Mac never slept \u2014 the screen was on for 4 h."},
        WordsCase{"NeverSleptAwayFromTheScreen",
                  {{{S::asleep, 59}, {S::screenOn, 4 * hour - 60}, {S::awake, 4 * hour + 1}},
                   repeated(Kind::stayedAwake, 1)},
                  {"no sleep", "1 wake", "mains power"},
                  "Your Mac never went to sleep."},
        WordsCase{"AlreadyAsleepAndStill",
                  {{{S::asleep, 6 * hour}}, {{Kind::fellAsleep, "Already asleep"}}},
                  {"6 h asleep", "0 wakes", "mains power"},
                  "Your Mac slept 6 h and never stirred."},
        WordsCase{"TwiceInTheDark",
                  {{{S::asleep, 8 * hour}}, repeated(Kind::darkWake, 2)},
                  {"8 h asleep", "2 wakes", "mains power"},
                  "Your Mac slept 8 h and stirred twice in the dark."},
        WordsCase{"FullyAwakeFiveTimes",
                  {{{S::asleep, 8 * hour}}, repeated(Kind::screenOn, 3) + repeated(Kind::stayedAwake, 2)},
                  {"8 h asleep", "5 wakes", "mains power"},
                  "Your Mac slept 8 h and came fully awake 5 times."},
        WordsCase{"OnceEachNoComma",
                  {{{S::asleep, 8 * hour}}, repeated(Kind::darkWake, 1) + repeated(Kind::screenOn, 1)},
                  {"8 h asleep", "2 wakes", "mains power"},
                  "Your Mac slept 8 h, stirred once in the dark and came fully awake once."},
        WordsCase{"OnTheCharger",
                  {{{S::asleep, 8 * hour}}, {}, {80, 80}, true, true},
                  {"8 h asleep", "0 wakes", "charging"},
                  "Your Mac slept 8 h, never stirred and stayed on the charger."},
        WordsCase{"ChargingAndStillLost",
                  {{{S::asleep, 8 * hour}}, {}, {80, 77}, true, true},
                  {"8 h asleep", "0 wakes", minus + "3" + nbsp + "%"},
                  "Your Mac slept 8 h, never stirred and used 3" + nbsp + "% of its battery."},
        WordsCase{"KeptAllOfItsCharge",
                  {{{S::asleep, 8 * hour}}, {}, {80, 81}, true, false},
                  {"8 h asleep", "0 wakes", "0" + nbsp + "%"},
                  "Your Mac slept 8 h, never stirred and kept all of its charge."},
        WordsCase{"BatteryWithoutPoints",
                  {{{S::asleep, 8 * hour}}, {}, {}, true, false},
                  {"8 h asleep", "0 wakes"},
                  "Your Mac slept 8 h and never stirred."},
        WordsCase{"ChargerWithoutPoints",
                  {{{S::asleep, 8 * hour}}, {}, {}, true, true},
                  {"8 h asleep", "0 wakes", "charging"},
                  "Your Mac slept 8 h, never stirred and stayed on the charger."},
        WordsCase{"EverythingAtOnce",
                  {{{S::asleep, 7 * hour + 12 * minute}, {S::dark, 48 * minute}},
                   repeated(Kind::fellAsleep, 1, "Already asleep") + repeated(Kind::darkWake, 3) +
                       repeated(Kind::screenOn, 1),
                   {84, 80},
                   true},
                  {"7 h 12 m asleep", "4 wakes", minus + "4" + nbsp + "%"},
                  "Your Mac slept 7 h 12 m, stirred 3 times in the dark, came fully awake once and used 4" +
                      nbsp + "% of its battery."}),
    [](const testing::TestParamInfo<WordsCase>& info) { return std::string(info.param.name); });

TEST(SummarySentence, BedtimeInWordsGivesTheClockTime) {
    NightSpec spec{{{S::screenOn, 40 * minute}, {S::asleep, 7 * hour}},
                   {{Kind::awakeAtStart, "You were still using your Mac"},
                    {Kind::fellAsleep, "Fell asleep after sitting idle"},
                    {Kind::fellAsleep, "Went to sleep"}}};
    Night n = spec.night();
    EXPECT_EQ(NightSummary::sentence(n),
              "Your Mac slept 7 h from " + Fmt::clockTime(n.events[1].date) + " and never stirred.");
}

struct NarrativeCase {
    const char* name;
    NightSpec spec;
    std::string narrative;
};

class SummaryNarrative : public testing::TestWithParam<NarrativeCase> {};

TEST_P(SummaryNarrative, TellsUpToTwoSentences) {
    EXPECT_EQ(NightSummary::narrative(GetParam().spec.night()), GetParam().narrative);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SummaryNarrative,
    testing::Values(
        NarrativeCase{
            "OnlyTheScreen", {{{S::screenOn, 8 * hour}}}, "The screen was on for 8 h of the night."},
        NarrativeCase{"TrulyNothing", {{{S::screenOn, 1799}}}, ""},
        NarrativeCase{"MostCommonReasonTiesToTheFirstLabel",
                      {{{S::asleep, 8 * hour}},
                       repeated(Kind::darkWake, 2, "B") + repeated(Kind::darkWake, 2, "A") +
                           repeated(Kind::screenOn, 3, "A")},
                      "A was the most common reason it stirred (2\u00D7). Almost no time awake in the dark."},
        NarrativeCase{
            "NoReasonWhenEachLabelIsAlone",
            {{{S::asleep, 8 * hour}}, {{Kind::darkWake, "A"}, {Kind::darkWake, "B"}, {Kind::darkWake, "C"}}},
            "Almost no time awake in the dark."},
        NarrativeCase{"AwakeTenMinutesHeldUp",
                      {{{S::asleep, 8 * hour}, {S::dark, 400}, {S::awake, 200}},
                       {},
                       {},
                       false,
                       false,
                       {"backupd", "mds"}},
                      "It spent 10 m awake with the screen off, mostly held up by Time Machine (backupd)."},
        NarrativeCase{"AwakeTenMinutesNobodyToBlame",
                      {{{S::asleep, 8 * hour}, {S::awake, 600}}},
                      "It spent 10 m awake with the screen off."},
        NarrativeCase{"JustUnderTenMinutesWithoutSleep",
                      {{{S::dark, 599}, {S::screenOn, 1800}}},
                      "The screen was on for 30 m of the night."},
        NarrativeCase{"ScreenSentenceDroppedAfterTwo",
                      {{{S::asleep, 6 * hour}, {S::screenOn, 1800}}, repeated(Kind::darkWake, 3)},
                      "Scheduled timer was the most common reason it stirred (3\u00D7). Almost no time awake "
                      "in the dark."}),
    [](const testing::TestParamInfo<NarrativeCase>& info) { return std::string(info.param.name); });

TEST(SummaryMorningLine, FollowsTheLastSegment) {
    EXPECT_EQ(NightSummary::morningLine(NightSpec{}.night()), "Morning");
    EXPECT_EQ(NightSummary::morningLine(NightSpec{{{S::screenOn, 60}, {S::asleep, 60}}}.night()),
              "Morning \u2014 still asleep");
    EXPECT_EQ(NightSummary::morningLine(NightSpec{{{S::dark, 60}}}.night()),
              "Morning \u2014 awake with the screen off");
    EXPECT_EQ(NightSummary::morningLine(NightSpec{{{S::awake, 60}}}.night()),
              "Morning \u2014 awake with the screen off");
    EXPECT_EQ(NightSummary::morningLine(NightSpec{{{S::asleep, 60}, {S::screenOn, 60}}}.night()),
              "Morning \u2014 you\u2019re at the screen");
}

TEST(SummaryAverages, RoundHalvesAwayFromZero) {
    EXPECT_EQ(NightSummary::averages({}), std::nullopt);
    // Dark time costs 80 points per night of it: 7200 s of 8 h is 20 points, 5400 s is 15.
    Night eighty = NightSpec{{{S::asleep, 8 * hour - 7200}, {S::dark, 7200}}}.night();
    Night eightyFive = NightSpec{{{S::asleep, 8 * hour - 5400}, {S::dark, 5400}}}.night();
    ASSERT_EQ(eighty.score(), 80);
    ASSERT_EQ(eightyFive.score(), 85);
    EXPECT_EQ(NightSummary::averages({eighty, eightyFive}), (NightSummary::Averages{83, 0, std::nullopt}));

    Night oneWake = NightSpec{{{S::asleep, 8 * hour}}, repeated(Kind::darkWake, 1), {80, 77}, true}.night();
    Night twoWakes = NightSpec{{{S::asleep, 8 * hour}}, repeated(Kind::screenOn, 2), {80, 76}, true}.night();
    Night noPoints = NightSpec{{{S::asleep, 8 * hour}}, {}, {}, true}.night();
    std::optional<NightSummary::Averages> a = NightSummary::averages({oneWake, twoWakes, noPoints});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->wakes, 1); // 3 wakes over 3 nights
    EXPECT_EQ(a->drain, 4); // 3.5 over the two nights with points
    EXPECT_EQ(NightSummary::averages({oneWake, twoWakes})->wakes, 2);
}

TEST(SummaryAverages, DrainAtTheEdgeOfTheRangeStaysPositive) {
    const int64_t most = std::numeric_limits<int64_t>::max();
    Night drained = NightSpec{{{S::asleep, 8 * hour}}, {}, {most, 0}, true}.night();
    ASSERT_EQ(drained.lost(), most);
    EXPECT_EQ(NightSummary::averages({drained, drained})->drain, most);
}

} // namespace
