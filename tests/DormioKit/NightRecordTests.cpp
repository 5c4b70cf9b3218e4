#include "DormioKit/Night.h"
#include "TestEnvironment.h"

#include <charconv>
#include <gtest/gtest.h>
#include <unordered_set>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

NightEvent event(Date date, Kind kind, std::string label = {}) {
    return NightEvent{date, kind, std::move(label), "", "", 0, std::nullopt, std::nullopt, std::nullopt};
}

} // namespace

TEST(NightEventKind, TextValuesAreExactAndCaseSensitive) {
    const std::pair<Kind, std::string_view> cases[] = {{Kind::awakeAtStart, "awakeAtStart"},
                                                       {Kind::fellAsleep, "fellAsleep"},
                                                       {Kind::darkWake, "darkWake"},
                                                       {Kind::stayedAwake, "stayedAwake"},
                                                       {Kind::screenOn, "screenOn"}};
    for (const auto& [kind, text] : cases) {
        EXPECT_EQ(rawValue(kind), text);
        EXPECT_EQ(nightEventKindFromRaw(text), kind);
    }
    for (std::string_view text : {"sleep", "DarkWake", "darkwake", "screenOn ", "", "asleep"})
        EXPECT_EQ(nightEventKindFromRaw(text), std::nullopt) << text;
}

TEST(NightEventId, SecondsSince1970InShortestFormWithAFraction) {
    const struct {
        double unixSeconds;
        Kind kind;
        std::string expected;
    } cases[] = {
        {86400, Kind::darkWake, "86400.0-darkWake"},
        {1710000000, Kind::screenOn, "1710000000.0-screenOn"},
        {86400.25, Kind::fellAsleep, "86400.25-fellAsleep"},
        {0, Kind::awakeAtStart, "0.0-awakeAtStart"},
        {-1.5, Kind::stayedAwake, "-1.5-stayedAwake"},
        {1e16, Kind::darkWake, "10000000000000000.0-darkWake"},
        {1e21, Kind::darkWake, "1000000000000000000000.0-darkWake"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(event(Date::fromUnix(c.unixSeconds), c.kind).id(), c.expected) << c.unixSeconds;
    }
}

TEST(NightEventId, NumberReadsBackToTheSameInstant) {
    for (double seconds : {731800800.123, 0.1, 1e-3, 123456789.987654321}) {
        const NightEvent darkWake = event(Date{seconds}, Kind::darkWake);
        std::string id = darkWake.id();
        std::string number = id.substr(0, id.rfind('-'));
        EXPECT_EQ(number.find('e'), std::string::npos) << id;
        double read = 0;
        std::from_chars(number.data(), number.data() + number.size(), read);
        EXPECT_EQ(read, darkWake.date.unix()) << id;
    }
}

TEST(NightEventId, SameInstantDiffersByKindAndSameKindShares) {
    NightEvent dark = event(Date{1000}, Kind::darkWake, "Dark wake");
    NightEvent screen = event(Date{1000}, Kind::screenOn, "Screen on");
    NightEvent otherDark{Date{1000}, Kind::darkWake, "Another label", "sym", "raw", 99, 5, "x", "y"};
    EXPECT_NE(dark.id(), screen.id());
    EXPECT_EQ(dark.id(), otherDark.id());
}

TEST(NightRecords, SegmentSecondsAreNotClamped) {
    EXPECT_EQ((Segment{Date{100}, Date{160}, PowerState::dark}.seconds()), 60);
    EXPECT_EQ((Segment{Date{160}, Date{100}, PowerState::dark}.seconds()), -60);
}

TEST(NightRecords, KeptAwakeIsIdentifiedByProcess) {
    KeptAwake kept{"backupd", "Backup", "PreventSystemSleep", 5};
    EXPECT_EQ(kept.id(), "backupd");
}

TEST(NightRecords, CopiesAreIndependentValues) {
    Night night = sampleNight();
    Night copy = night;
    copy.events[0].label = "changed";
    copy.keptAwake.clear();
    EXPECT_EQ(night.events[0].label, "Fell asleep");
    EXPECT_EQ(night.keptAwake.size(), 1u);
}

TEST(NightEquality, AnyFieldDifferenceMakesNightsUnequal) {
    const Night base = sampleNight();
    const struct {
        const char* name;
        void (*change)(Night&);
    } changes[] = {
        {"id", [](Night& n) { n.id = "2024-03-11"; }},
        {"start", [](Night& n) { n.start = n.start + 1; }},
        {"segment state", [](Night& n) { n.segments[0].state = PowerState::awake; }},
        {"segment order", [](Night& n) { std::swap(n.segments[0], n.segments[1]); }},
        {"event charge absent", [](Night& n) { n.events[0].charge.reset(); }},
        {"event culprit empty", [](Night& n) { n.events[1].culprit = ""; }},
        {"battery charge", [](Night& n) { n.battery[1].charge = 83; }},
        {"hasBattery", [](Night& n) { n.hasBattery = false; }},
        {"kept-awake seconds", [](Night& n) { n.keptAwake[0].seconds = 601; }},
        {"isDemo", [](Night& n) { n.isDemo = true; }},
        {"inProgress", [](Night& n) { n.inProgress = true; }},
        {"extra event", [](Night& n) { n.events.push_back(n.events.back()); }},
    };
    for (const auto& c : changes) {
        Night changed = base;
        c.change(changed);
        EXPECT_NE(changed, base) << c.name;
        EXPECT_NE(std::hash<Night>{}(changed), std::hash<Night>{}(base)) << c.name;
    }
}

TEST(NightHashing, EqualRecordsHashEqualIncludingSignedZero) {
    Night a = sampleNight();
    Night b = sampleNight();
    a.events[1].duration = 0.0;
    b.events[1].duration = -0.0;
    a.keptAwake[0].seconds = 0.0;
    b.keptAwake[0].seconds = -0.0;
    a.segments[0].start = Date{0.0};
    b.segments[0].start = Date{-0.0};
    ASSERT_EQ(a, b);
    EXPECT_EQ(std::hash<Night>{}(a), std::hash<Night>{}(b));
    EXPECT_EQ(std::hash<NightEvent>{}(a.events[1]), std::hash<NightEvent>{}(b.events[1]));
    EXPECT_EQ(std::hash<KeptAwake>{}(a.keptAwake[0]), std::hash<KeptAwake>{}(b.keptAwake[0]));
    EXPECT_EQ(std::hash<Segment>{}(a.segments[0]), std::hash<Segment>{}(b.segments[0]));
    EXPECT_EQ((std::hash<BatteryPoint>{}({Date{-0.0}, 5})), (std::hash<BatteryPoint>{}({Date{0.0}, 5})));
}

TEST(NightHashing, AnAbsentOptionalDiffersFromAPresentZero) {
    NightEvent absent = event(Date{1}, Kind::darkWake);
    NightEvent zero = absent;
    zero.charge = 0;
    NightEvent empty = absent;
    empty.culprit = "";
    EXPECT_NE(std::hash<NightEvent>{}(absent), std::hash<NightEvent>{}(zero));
    EXPECT_NE(std::hash<NightEvent>{}(absent), std::hash<NightEvent>{}(empty));
}

TEST(NightHashing, NightsWorkAsSetMembers) {
    std::unordered_set<Night> nights{sampleNight(), sampleNight()};
    EXPECT_EQ(nights.size(), 1u);
    Night other = sampleNight();
    other.id = "2024-03-11";
    nights.insert(other);
    EXPECT_EQ(nights.size(), 2u);
    EXPECT_TRUE(nights.contains(sampleNight()));
}
