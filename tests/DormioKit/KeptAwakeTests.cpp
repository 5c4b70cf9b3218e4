#include "DormioKit/KeptAwakeAttribution.h"

#include <gtest/gtest.h>

using namespace dormio;

namespace {

constexpr Date midnight{700000000};
constexpr double minute = 60;
constexpr double hour = 3600;
constexpr const char* idle = "PreventUserIdleSystemSleep";

Date at(double seconds) {
    return midnight + seconds;
}

// A release held from `from` to `to`, seconds after midnight.
AssertionRelease held(const char* process, double from, double to, const char* name = "task",
                      const char* type = idle) {
    return AssertionRelease{at(to), to - from, 1, process, type, name};
}

using S = PowerState;

// Asleep until 02:00, the given state until 03:00, asleep until 07:00.
std::vector<Segment> nightWith(S middle) {
    return {{at(-hour), at(2 * hour), S::asleep},
            {at(2 * hour), at(3 * hour), middle},
            {at(3 * hour), at(7 * hour), S::asleep}};
}

struct KeptAwakeCase {
    const char* name;
    std::vector<Segment> segments;
    std::vector<AssertionRelease> releases;
    std::vector<KeptAwake> expected;
};

class KeptAwakeAttribution : public testing::TestWithParam<KeptAwakeCase> {};

TEST_P(KeptAwakeAttribution, CountsTheUnionInsideDarkAndAwakeTime) {
    const KeptAwakeCase& c = GetParam();
    EXPECT_EQ(NightBuilder::keptAwake(c.releases, c.segments), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeptAwakeAttribution,
    testing::Values(
        KeptAwakeCase{"NothingWithoutDarkOrAwakeTime",
                      {{at(0), at(hour), S::asleep}, {at(hour), at(2 * hour), S::screenOn}},
                      {held("backupd", 0, 2 * hour)},
                      {}},
        KeptAwakeCase{
            "OnlyThePartInsideADarkSegmentCounts",
            {{at(0), at(hour), S::asleep},
             {at(hour), at(hour + 10 * minute), S::dark},
             {at(hour + 10 * minute), at(5 * hour), S::asleep}},
            {held("backupd", hour + 5 * minute - hour, hour + 5 * minute, "Backup", "PreventSystemSleep")},
            {{"backupd", "Backup", "PreventSystemSleep", 5 * minute}}},
        KeptAwakeCase{"OverlapsCountOnce",
                      nightWith(S::awake),
                      {held("mds", 2 * hour + 10 * minute, 2 * hour + 20 * minute),
                       held("mds", 2 * hour, 2 * hour + 30 * minute)},
                      {{"mds", "task", idle, 30 * minute}}},
        KeptAwakeCase{"TouchingSpansMerge",
                      nightWith(S::awake),
                      {held("mds", 2 * hour, 2 * hour + 10 * minute),
                       held("mds", 2 * hour + 10 * minute, 2 * hour + 20 * minute)},
                      {{"mds", "task", idle, 20 * minute}}},
        KeptAwakeCase{"TwentySecondsIsEnoughAndLessIsNot",
                      nightWith(S::dark),
                      {held("short", 2 * hour, 2 * hour + 19.9), held("enough", 2 * hour, 2 * hour + 20)},
                      {{"enough", "task", idle, 20}}},
        KeptAwakeCase{"OnlyPowerdItselfIsLeftOut",
                      nightWith(S::dark),
                      {held("powerd", 2 * hour, 2 * hour + 60), held("Powerd", 2 * hour, 2 * hour + 60),
                       held("powerd ", 2 * hour, 2 * hour + 60)},
                      {{"Powerd", "task", idle, 60}, {"powerd ", "task", idle, 60}}},
        KeptAwakeCase{"LongestFirstThenByName",
                      nightWith(S::dark),
                      {held("zeta", 2 * hour, 2 * hour + 60), held("alpha", 2 * hour, 2 * hour + 60),
                       held("mid", 2 * hour, 2 * hour + 600)},
                      {{"mid", "task", idle, 600}, {"alpha", "task", idle, 60}, {"zeta", "task", idle, 60}}},
        KeptAwakeCase{"DetailFromTheFirstLongestRelease",
                      nightWith(S::awake),
                      {held("Mail", 2 * hour, 2 * hour + 60, "fetch", "PreventSystemSleep"),
                       held("Mail", 2 * hour + 100, 2 * hour + 400, "sync", idle),
                       held("Mail", 2 * hour + 500, 2 * hour + 800, "index", "NoIdleSleepAssertion")},
                      {{"Mail", "sync", idle, 660}}},
        KeptAwakeCase{"ReleasesTouchingTheUpSpanFromOutsideCountNothing",
                      nightWith(S::awake),
                      {held("before", hour, 2 * hour), held("after", 3 * hour, 4 * hour)},
                      {}},
        // Releases as the log lists them, by end: the longest started before a shorter one that ended
        // first; two spans fall in one dark segment, and one span reaches across a sleep into the next.
        KeptAwakeCase{"SpansAcrossManyUpSegments",
                      {{at(0), at(10 * minute), S::dark},
                       {at(10 * minute), at(20 * minute), S::asleep},
                       {at(20 * minute), at(30 * minute), S::dark},
                       {at(30 * minute), at(40 * minute), S::asleep},
                       {at(40 * minute), at(50 * minute), S::awake},
                       {at(50 * minute), at(60 * minute), S::asleep}},
                      {held("mds", 1 * minute, 3 * minute, "a"), held("mds", 5 * minute, 12 * minute, "b"),
                       held("mds", 18 * minute, 25 * minute, "c"), held("mds", 16 * minute, 28 * minute, "d"),
                       held("mds", 42 * minute, 48 * minute, "e")},
                      {{"mds", "d", idle, 21 * minute}}},
        KeptAwakeCase{"TimeOverScreenOnBetweenUpSegmentsIsNotCounted",
                      {{at(0), at(hour), S::dark},
                       {at(hour), at(2 * hour), S::screenOn},
                       {at(2 * hour), at(3 * hour), S::awake}},
                      {held("cloudd", 30 * minute, 2 * hour + 30 * minute, "")},
                      {{"cloudd", "", idle, hour}}}),
    [](const testing::TestParamInfo<KeptAwakeCase>& info) { return std::string(info.param.name); });

} // namespace
