#include "DormioKit/NightCompactJson.h"
#include "DormioKit/NightJson.h"
#include "TestEnvironment.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

using namespace dormio;
using namespace dormio::test;

namespace {

// The sample night with each optional member of an event on its own, and texts beyond ASCII.
std::vector<Night> variedNights() {
    Night night = sampleNight();
    NightEvent onlyCulprit = night.events[0];
    onlyCulprit.charge.reset();
    onlyCulprit.scheduledBy.reset();
    NightEvent onlyScheduled = night.events[0];
    onlyScheduled.charge.reset();
    onlyScheduled.culprit.reset();
    onlyScheduled.scheduledBy = "com.apple.powermanagement.wakeschedule \u00b7 maintenance";
    NightEvent onlyCharge = night.events[0];
    onlyCharge.culprit.reset();
    onlyCharge.scheduledBy.reset();
    onlyCharge.charge = -7;
    night.events.insert(night.events.end(), {onlyCulprit, onlyScheduled, onlyCharge});
    night.keptAwake[0].process = "Caf\u00e9 \u2248 \U0001F319";
    Night bare = emptyNight(Date{-0.5}, Date{1e-7});
    bare.id = "";
    bare.inProgress = bare.isDemo = bare.pluggedIn = true;
    return {night, bare};
}

TEST(NightCompactJson, ReadsWhatTheWriterWrites) {
    for (const std::vector<Night>& nights : {std::vector<Night>{}, {sampleNight()}, variedNights()}) {
        const std::string text = *encodeNights(nights);
        EXPECT_EQ(NightCompactJson::read(text), nights) << text;
    }
}

// What the writer escapes reads back; a surrogate pair, which the writer never writes, is the general
// reader's to read.
TEST(NightCompactJson, ReadsEscapes) {
    Night night = sampleNight();
    night.events[1].raw = std::string("Quote \" backslash \\ tab \t nul ") + '\0' + " \x7f\u00e9\u2248";
    const std::string text = *encodeNights({night});
    EXPECT_EQ(NightCompactJson::read(text), std::vector<Night>{night}) << text;

    std::string escaped = text;
    escaped.replace(escaped.find("Sleep"), 5, R"(S\u006c\/\b\f\n\r\u00E9\u2248)");
    night.events[0].raw = "Entering Sl/\b\f\n\r\u00e9\u2248";
    EXPECT_EQ(NightCompactJson::read(escaped), std::vector<Night>{night}) << escaped;

    std::string paired = text;
    paired.replace(paired.find("Sleep"), 5, R"(\ud83c\udf19)");
    night.events[0].raw = "Entering \U0001F319";
    EXPECT_FALSE(NightCompactJson::read(paired));
    EXPECT_EQ(decodeNights(paired), std::vector<Night>{night});
}

// A night's text is given where writing the night again gives that very text, and only there: every number
// spelt as the writer prints it, no escape in any text.
TEST(NightCompactJson, GivesTheTextsTheWriterWouldWriteAgain) {
    Night escaped = sampleNight();
    escaped.events[1].raw = "Quote \" and tab \t";
    Night zeroCharge = sampleNight();
    zeroCharge.events[0].charge = 0;
    struct Case {
        const char* what;
        std::vector<Night> nights;
        std::string from, to; // a change to the first night's written text
        std::vector<bool> given;
    };
    const Case cases[] = {
        {"as written, exponents and text beyond ASCII too", variedNights(), "", "", {true, true}},
        {"a text the writer escapes", {escaped, sampleNight()}, "", "", {false, true}},
        {"a date spelt otherwise",
         {sampleNight(), sampleNight()},
         "\"start\":731800800.0}",
         "\"start\":7.318008E8}",
         {false, true}},
        {"a date spelt without its fraction",
         {sampleNight()},
         "\"end\":731842200.0,\"events",
         "\"end\":731842200,\"events",
         {false}},
        {"a duration with a trailing zero",
         {sampleNight()},
         "\"duration\":45.5",
         "\"duration\":45.50",
         {false}},
        {"a charge spelt otherwise",
         {zeroCharge, sampleNight()},
         "\"charge\":0,",
         "\"charge\":-0,",
         {false, true}},
        {"an escape the writer would not write",
         {sampleNight()},
         "\"Fell asleep\"",
         "\"Fell\\u0020asleep\"",
         {false}},
        {"read by the general reader", {sampleNight(), sampleNight()}, "},{", "}, {", {false, false}},
    };
    for (const Case& c : cases) {
        std::string text = *encodeNights(c.nights);
        if (!c.from.empty()) {
            const auto at = text.find(c.from);
            ASSERT_NE(at, std::string::npos) << c.what;
            text.replace(at, c.from.size(), c.to);
        }
        std::vector<std::string_view> texts;
        EXPECT_EQ(decodeNights(text, &texts), c.nights) << c.what;
        ASSERT_EQ(texts.size(), c.nights.size()) << c.what;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(!texts[i].empty(), c.given[i]) << c.what << ", night " << i;
            const std::string alone = *encodeNights({c.nights[i]});
            if (!texts[i].empty()) {
                EXPECT_EQ(texts[i], alone.substr(1, alone.size() - 2)) << c.what;
            }
        }
    }
}

struct Document {
    const char* what;
    std::string from, to;                         // the change made to the sample night's written text
    bool compact;                                 // the fast reader takes it
    std::function<void(Night&)> change = nullptr; // what the night then reads as; none: the same night
    bool fails = false;                           // the document reads as nothing at all
};

void PrintTo(const Document& d, std::ostream* out) {
    *out << d.what;
}

class NightDocuments : public testing::TestWithParam<Document> {};

// Whichever reader takes a document, the file reads the same.
TEST_P(NightDocuments, BothReadersAgree) {
    const Document& d = GetParam();
    std::string text = *encodeNights({sampleNight()});
    const auto at = text.find(d.from);
    ASSERT_NE(at, std::string::npos) << d.from;
    text.replace(at, d.from.size(), d.to);
    std::optional<std::vector<Night>> expected;
    if (!d.fails) {
        Night night = sampleNight();
        if (d.change) d.change(night);
        expected = std::vector<Night>{night};
    }
    EXPECT_EQ(NightCompactJson::read(text).has_value(), d.compact) << text;
    EXPECT_EQ(decodeNights(text), expected) << text;
}

constexpr int64_t int64Min = std::numeric_limits<int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Forms, NightDocuments,
    testing::Values(
        Document{"as written", "[", "[", true},
        Document{"date with exponent", "\"start\":731800800.0}", "\"start\":7.318008E8}", true},
        Document{"charge negative zero", "\"charge\":80", "\"charge\":-0", true,
                 [](Night& n) { n.events[0].charge = 0; }},
        Document{"charge at the 64-bit floor", "\"charge\":80", "\"charge\":-9223372036854775808", true,
                 [](Night& n) { n.events[0].charge = int64Min; }},
        Document{"charge below the 64-bit floor", "\"charge\":80", "\"charge\":-9223372036854775809", false,
                 [](Night& n) { n.events[0].charge = int64Min; }},
        Document{"charge above the 64-bit ceiling", "\"charge\":90", "\"charge\":9223372036854775808", false,
                 nullptr, true},
        Document{"charge with a zero fraction", "\"charge\":80", "\"charge\":80.0", false},
        Document{"charge with a fraction", "\"charge\":80", "\"charge\":80.5", false, nullptr, true},
        Document{"charge null", "\"charge\":80,", "\"charge\":null,", false,
                 [](Night& n) { n.events[0].charge.reset(); }},
        Document{"space", "[{", "[ {", false},
        Document{"escaped text", "\"raw\":\"Entering Sleep\"", "\"raw\":\"Entering\\u0020Sleep\"", true},
        Document{"lone low surrogate", "\"raw\":\"Entering Sleep\"", "\"raw\":\"Entering\\udf19Sleep\"",
                 false, nullptr, true},
        Document{"lone high surrogate", "\"raw\":\"Entering Sleep\"", "\"raw\":\"Entering\\ud83cSleep\"",
                 false, nullptr, true},
        Document{"unknown escape", "\"raw\":\"Entering Sleep\"", "\"raw\":\"Entering\\xSleep\"", false,
                 nullptr, true},
        Document{"short escape", "\"raw\":\"Entering Sleep\"", "\"raw\":\"Entering\\u00eSleep\"", false,
                 nullptr, true},
        Document{"members in another order", "{\"end\":731810000.0,\"start\":731800800.0,",
                 "{\"start\":731800800.0,\"end\":731810000.0,", false},
        Document{"unknown member", "\"start\":731800800.0}", "\"start\":731800800.0,\"note\":1}", false},
        Document{"leading zero", "\"duration\":45.5", "\"duration\":045.5", false, nullptr, true},
        Document{"state unknown", "\"state\":\"asleep\"", "\"state\":\"Asleep\"", false, nullptr, true},
        Document{"text not UTF-8", "\"label\":\"Dark wake\"", "\"label\":\"Dark \xE9wake\"", false, nullptr,
                 true},
        Document{"text with a control byte", "\"label\":\"Dark wake\"", "\"label\":\"Dark\twake\"", false,
                 nullptr, true},
        Document{"cut short", "}]", "}", false, nullptr, true},
        Document{"text after", "}]", "}]x", false, nullptr, true}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ' || c == '-') c = '_';
        return name;
    });

} // namespace
