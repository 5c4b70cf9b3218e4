#include "DormioKit/NightJson.h"
#include "TestEnvironment.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

using namespace dormio;
using namespace dormio::test;
using Json = nlohmann::json;
using Kind = NightEvent::Kind;

namespace {

// Two stored nights, as the history file holds them: the first is sampleNight(), the second has an event
// with no optional member and its members written in another order.
constexpr const char* twoNights = R"([
{"id":"2024-03-10","start":731800800,"end":731842200,
 "segments":[{"start":731800800,"end":731810000,"state":"screenOn"},{"start":731810000,"end":731842200,"state":"asleep"}],
 "events":[{"date":731810000,"kind":"fellAsleep","label":"Fell asleep","symbol":"moon.zzz","raw":"Entering Sleep","duration":1200,
            "charge":80,"scheduledBy":"com.apple.alarm","culprit":"Idle"},
           {"date":731820000,"kind":"darkWake","label":"Dark wake","symbol":"moon.haze","raw":"DarkWake from Sleep","duration":45.5}],
 "battery":[{"date":731800800,"charge":90},{"date":731842200.5,"charge":84}],
 "hasBattery":true,"pluggedIn":false,
 "keptAwake":[{"process":"backupd","detail":"Backup","type":"PreventUserIdleSystemSleep","seconds":600.5}],
 "isDemo":false,"inProgress":false},
{"inProgress":false,"isDemo":false,"keptAwake":[{"seconds":12,"type":"PreventSystemSleep","detail":"d","process":"p"}],
 "pluggedIn":true,"hasBattery":false,"battery":[{"charge":50,"date":86400.25}],
 "events":[{"duration":45.5,"raw":"DarkWake","symbol":"moon.haze","label":"Dark wake","kind":"darkWake","date":86400.25}],
 "segments":[{"state":"dark","end":86500,"start":86400}],"end":86500,"start":-3600.75,"id":"2001-01-02"}
])";

Night secondNight() {
    return Night{
        .id = "2001-01-02",
        .start = Date{-3600.75},
        .end = Date{86500},
        .segments = {{Date{86400}, Date{86500}, PowerState::dark}},
        .events = {{Date{86400.25}, Kind::darkWake, "Dark wake", "moon.haze", "DarkWake", 45.5, {}, {}, {}}},
        .battery = {{Date{86400.25}, 50}},
        .hasBattery = false,
        .pluggedIn = true,
        .keptAwake = {{"p", "d", "PreventSystemSleep", 12}},
        .isDemo = false,
        .inProgress = false,
    };
}

std::optional<std::vector<Night>> decodeMutated(const std::function<void(Json&)>& mutate) {
    Json document = Json::parse(twoNights);
    mutate(document);
    return decodeNights(document.dump());
}

struct Record {
    const char* pointer;
    std::vector<const char*> required;
};

// One object of each record inside the document, with the members it must have.
const Record records[] = {
    {"/1",
     {"id", "start", "end", "segments", "events", "battery", "hasBattery", "pluggedIn", "keptAwake", "isDemo",
      "inProgress"}},
    {"/0/segments/1", {"start", "end", "state"}},
    {"/0/battery/0", {"date", "charge"}},
    {"/1/events/0", {"date", "kind", "label", "symbol", "raw", "duration"}},
    {"/0/events/0", {"date", "kind", "label", "symbol", "raw", "duration"}},
    {"/1/keptAwake/0", {"process", "detail", "type", "seconds"}},
};

} // namespace

TEST(NightJson, ReadsTheStoredForm) {
    auto nights = decodeNights(twoNights);
    ASSERT_TRUE(nights);
    ASSERT_EQ(nights->size(), 2u);
    EXPECT_EQ((*nights)[0], sampleNight());
    EXPECT_EQ((*nights)[1], secondNight());
}

TEST(NightJson, RoundTripKeepsEveryValue) {
    Night extreme = secondNight();
    extreme.isDemo = true;
    extreme.inProgress = true;
    extreme.events[0].charge = std::numeric_limits<int64_t>::min();
    extreme.battery = {{Date{0.1}, std::numeric_limits<int64_t>::max()}, {Date{-0.0}, -5}};
    extreme.keptAwake[0].seconds = std::numeric_limits<double>::max();
    extreme.events[0].duration = std::numeric_limits<double>::denorm_min();
    extreme.events[0].label = "Quote \" backslash \\ tab \t nul " + std::string(1, '\0') + " ünïcødé ≈";
    Night empty = emptyNight(Date{0}, Date{0});
    empty.id = "";

    for (const std::vector<Night>& nights :
         std::vector<std::vector<Night>>{{sampleNight(), secondNight()}, {extreme}, {empty}, {}}) {
        auto text = encodeNights(nights);
        ASSERT_TRUE(text);
        EXPECT_EQ(decodeNights(*text), nights) << *text;
    }
}

TEST(NightJson, WritesCompactTextWithEveryRequiredMember) {
    auto text = encodeNights({sampleNight(), secondNight()});
    ASSERT_TRUE(text);
    EXPECT_EQ(text->find('\n'), std::string::npos);
    EXPECT_EQ(text->find(": "), std::string::npos);
    EXPECT_EQ(text->find(", "), std::string::npos);

    Json document = Json::parse(*text);
    ASSERT_TRUE(document.is_array());
    EXPECT_EQ(document[1]["isDemo"], false);
    EXPECT_EQ(document[1]["inProgress"], false);
    EXPECT_EQ(document[0]["segments"][1]["state"], "asleep");
    EXPECT_EQ(document[1]["events"][0]["kind"], "darkWake");
    EXPECT_EQ(document[1]["start"], -3600.75);
    EXPECT_TRUE(document[0]["events"][0]["charge"].is_number_integer());
    for (const Record& record : records)
        for (const char* name : record.required)
            EXPECT_TRUE(document.at(Json::json_pointer(record.pointer)).contains(name))
                << record.pointer << name;

    Night bare = emptyNight(Date{0}, Date{1});
    Json written = Json::parse(*encodeNights({bare}));
    EXPECT_EQ(written[0]["segments"], Json::array());
    EXPECT_EQ(written[0]["keptAwake"], Json::array());
}

TEST(NightJson, WrittenNightByNightAsTheWholeArraysCompactText) {
    for (const std::vector<Night>& nights : std::vector<std::vector<Night>>{
             {}, {secondNight()}, {sampleNight(), secondNight(), sampleNight()}}) {
        const auto text = encodeNights(nights);
        ASSERT_TRUE(text);
        EXPECT_EQ(*text, Json::parse(*text).dump()) << nights.size();
    }
}

TEST(NightJson, WritingStopsAtTheFirstPieceRefused) {
    int pieces = 0;
    const Night first = sampleNight(), second = secondNight();
    EXPECT_FALSE(writeNights({&first, &second}, [&](std::string_view) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
}

// A text can name a member twice, which a tree cannot show; as in the whole document's tree, the last value
// is the one read.
TEST(NightJson, ARepeatedMemberReadsAsItsLastValue) {
    const std::string good = twoNights;
    const auto withFirstNight = [&](const std::string& members) {
        return std::string(good).insert(good.find("\"id\":\"2024-03-10\""), members);
    };
    const auto read = decodeNights(withFirstNight(R"("id":5,"segments":[1],"start":"x",)"));
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[0], sampleNight());

    const std::string chargeThenNull =
        std::string(good).replace(good.find("\"charge\":80"), 11, R"("charge":80,"charge":null)");
    const auto absent = decodeNights(chargeThenNull);
    ASSERT_TRUE(absent);
    EXPECT_FALSE((*absent)[0].events[0].charge);

    const std::string idThenNull =
        std::string(good).replace(good.rfind("\"id\":\"2001-01-02\""), 17, R"("id":"2001-01-02","id":null)");
    EXPECT_FALSE(decodeNights(idThenNull));
}

TEST(NightJson, AbsentEventMembersAreLeftOutAndNullReadsAsAbsent) {
    Json written = Json::parse(*encodeNights({secondNight()}));
    const Json& event = written[0]["events"][0];
    EXPECT_EQ(event.size(), 6u);
    for (const char* name : {"charge", "scheduledBy", "culprit"})
        EXPECT_FALSE(event.contains(name)) << name;

    auto nights = decodeMutated([](Json& d) {
        for (const char* name : {"charge", "scheduledBy", "culprit"})
            d[0]["events"][0][name] = nullptr;
    });
    ASSERT_TRUE(nights);
    const NightEvent& read = (*nights)[0].events[0];
    EXPECT_FALSE(read.charge);
    EXPECT_FALSE(read.scheduledBy);
    EXPECT_FALSE(read.culprit);
}

TEST(NightJson, UnknownMembersAreIgnored) {
    auto nights = decodeMutated([](Json& d) {
        d[0]["note"] = "hello";
        d[0]["segments"][0]["colour"] = {1, 2};
        d[1]["events"][0]["extra"] = nullptr;
    });
    ASSERT_TRUE(nights);
    EXPECT_EQ((*nights)[0], sampleNight());
}

TEST(NightJson, ChargeWithZeroFractionReadsAsWholeNumber) {
    auto nights = decodeNights(R"([{"id":"a","start":0,"end":1,"segments":[],"events":[
        {"date":0,"kind":"darkWake","label":"","symbol":"","raw":"","duration":0,"charge":80.0}],
        "battery":[{"date":0,"charge":-0.0},{"date":1,"charge":1e2}],"hasBattery":true,"pluggedIn":false,
        "keptAwake":[],"isDemo":false,"inProgress":false}])");
    ASSERT_TRUE(nights);
    EXPECT_EQ((*nights)[0].events[0].charge, 80);
    EXPECT_EQ((*nights)[0].battery[0].charge, 0);
    EXPECT_EQ((*nights)[0].battery[1].charge, 100);
}

TEST(NightJson, MissingNullOrWronglyTypedRequiredMemberFailsTheWholeDocument) {
    const Json wrongValues[] = {true, 1, 1.5, "1", Json::array(), Json::object()};
    for (const Record& record : records) {
        Json::json_pointer pointer(record.pointer);
        for (const char* name : record.required) {
            EXPECT_FALSE(decodeMutated([&](Json& d) { d.at(pointer).erase(name); }))
                << record.pointer << " -" << name;
            EXPECT_FALSE(decodeMutated([&](Json& d) { d.at(pointer)[name] = nullptr; }))
                << record.pointer << " " << name << " null";
            const Json original = Json::parse(twoNights).at(pointer)[name];
            for (const Json& wrong : wrongValues) {
                if (wrong.type() == original.type() || (wrong.is_number() && original.is_number())) continue;
                EXPECT_FALSE(decodeMutated([&](Json& d) { d.at(pointer)[name] = wrong; }))
                    << record.pointer << " " << name << " = " << wrong.dump();
            }
        }
    }
}

TEST(NightJson, InvalidValuesFailTheWholeDocument) {
    const struct {
        const char* name;
        std::function<void(Json&)> mutate;
    } cases[] = {
        {"state in capitals", [](Json& d) { d[0]["segments"][0]["state"] = "Asleep"; }},
        {"state unknown", [](Json& d) { d[1]["segments"][0]["state"] = "darkWake"; }},
        {"kind from the log", [](Json& d) { d[0]["events"][0]["kind"] = "sleep"; }},
        {"kind in capitals", [](Json& d) { d[1]["events"][0]["kind"] = "DarkWake"; }},
        {"kind empty", [](Json& d) { d[1]["events"][0]["kind"] = ""; }},
        {"charge with a fraction", [](Json& d) { d[0]["events"][0]["charge"] = 80.5; }},
        {"battery charge with a fraction", [](Json& d) { d[0]["battery"][1]["charge"] = 84.25; }},
        {"charge as text", [](Json& d) { d[0]["events"][0]["charge"] = "80"; }},
        {"charge as bool", [](Json& d) { d[0]["events"][0]["charge"] = true; }},
        {"charge above int64", [](Json& d) { d[0]["battery"][0]["charge"] = 1e19; }},
        {"charge below int64", [](Json& d) { d[0]["battery"][0]["charge"] = -1e19; }},
        {"charge 2^63 as float", [](Json& d) { d[0]["battery"][0]["charge"] = 9223372036854775808.0; }},
        {"charge 2^63 as unsigned", [](Json& d) { d[0]["battery"][0]["charge"] = 9223372036854775808ULL; }},
        {"charge max unsigned", [](Json& d) { d[0]["events"][0]["charge"] = 18446744073709551615ULL; }},
        {"scheduledBy as number", [](Json& d) { d[0]["events"][0]["scheduledBy"] = 5; }},
        {"culprit as object", [](Json& d) { d[0]["events"][0]["culprit"] = Json::object(); }},
        {"date as text", [](Json& d) { d[0]["start"] = "2024-03-10T00:00:00Z"; }},
        {"segments holding a number", [](Json& d) { d[0]["segments"].push_back(1); }},
        {"events holding null", [](Json& d) { d[1]["events"].push_back(nullptr); }},
        {"battery holding an array", [](Json& d) { d[1]["battery"].push_back(Json::array()); }},
        {"kept awake as object", [](Json& d) { d[1]["keptAwake"] = d[1]["keptAwake"][0]; }},
        {"night as array", [](Json& d) { d[1] = Json::array(); }},
        {"night as null", [](Json& d) { d.push_back(nullptr); }},
        {"document as object",
         [](Json& d) {
             d = Json{{"nights", d}};
         }},
        {"document as one night", [](Json& d) { d = d[0]; }},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(decodeMutated(c.mutate)) << c.name;
}

TEST(NightJson, MalformedTextFailsWithoutThrowing) {
    const std::string good = twoNights;
    const std::string cases[] = {
        "",
        "[",
        "null",
        "{}",
        "[1]",
        "[{}]",
        good.substr(0, good.size() / 2),
        good + "x",
        R"([{"id":"a","start":1e400}])",
        std::string(twoNights).replace(good.find("731842200,"), 9, "1e400"),
        std::string(twoNights).replace(good.find("600.5"), 5, "-1e999"),
        std::string(twoNights).replace(good.find("45.5"), 4, "NaN"),
        std::string(twoNights).replace(good.find("Backup"), 6, "Back\xff\xfe"),
        std::string(100000, '['),
    };
    for (const std::string& text : cases)
        EXPECT_FALSE(decodeNights(text)) << text.substr(0, 200);
    EXPECT_EQ(decodeNights("[]"), std::vector<Night>{});
    EXPECT_EQ(decodeNights(" [ ] "), std::vector<Night>{});
}

TEST(NightJson, NonFiniteFloatsMakeTheDocumentUnwritable) {
    const double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::function<void(Night&)> change;
    } cases[] = {
        {"start", [&](Night& n) { n.start = Date{nan}; }},
        {"end", [&](Night& n) { n.end = Date{infinity}; }},
        {"segment start", [&](Night& n) { n.segments[0].start = Date{-infinity}; }},
        {"segment end", [&](Night& n) { n.segments[1].end = Date{nan}; }},
        {"event date", [&](Night& n) { n.events[0].date = Date{infinity}; }},
        {"event duration", [&](Night& n) { n.events[0].duration = nan; }},
        {"battery date", [&](Night& n) { n.battery[1].date = Date{infinity}; }},
        {"kept-awake seconds", [&](Night& n) { n.keptAwake[0].seconds = infinity; }},
    };
    for (const auto& c : cases) {
        Night night = sampleNight();
        c.change(night);
        EXPECT_FALSE(encodeNights({secondNight(), night})) << c.name;
    }
}

TEST(NightJson, TextThatIsNotUtf8IsWrittenAsReplacementCharacters) {
    Night night = secondNight();
    night.events[0].raw = "Wake from \xff\xfe";
    auto text = encodeNights({night});
    ASSERT_TRUE(text);
    auto read = decodeNights(*text);
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[0].events[0].raw, "Wake from \uFFFD\uFFFD");
}
