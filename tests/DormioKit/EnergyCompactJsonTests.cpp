#include "DormioKit/Energy.h"
#include "DormioKit/EnergyCompactJson.h"
#include "DormioKit/EnergyJson.h"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace dormio;

namespace {

EnergyFile twoApps() {
    return EnergyFile{
        .samples = {{Date{100.5}, {{"/Applications/Mail.app", 400}, {"/usr/libexec/foo", 1e-7}}},
                    {Date{-3}, {{"pid-42", 12345678901234567890.0}}},
                    {Date{200}, {}}},
        .apps = {{"/Applications/Mail.app", {"Mail", "/Applications/Mail.app"}},
                 {"pid-42", {"Process 42", {}}}},
    };
}

TEST(EnergyCompactJson, ReadsWhatTheEncoderWrites) {
    for (const EnergyFile& file : {EnergyFile{}, twoApps()}) {
        const std::string json = *encodeEnergyFile(file);
        EXPECT_EQ(EnergyCompactJson::read(json), file) << json;
    }
}

struct Document {
    const char* what;
    std::string json;
    bool compact;                    // the fast reader takes it
    std::optional<EnergyFile> value; // what decoding the file gives
};

EnergyFile oneAmount(double millijoules) {
    return EnergyFile{.samples = {{Date{1}, {{"a", millijoules}}}}};
}

class EnergyDocuments : public testing::TestWithParam<Document> {};

// Whichever reader takes a document, the file reads the same.
TEST_P(EnergyDocuments, BothReadersAgree) {
    const Document& d = GetParam();
    EXPECT_EQ(EnergyCompactJson::read(d.json).has_value(), d.compact);
    EXPECT_EQ(decodeEnergyFile(d.json), d.value);
}

std::string withAmount(const std::string& amount) {
    return R"({"apps":{},"samples":[{"apps":{"a":)" + amount + R"(},"t":1}]})";
}

INSTANTIATE_TEST_SUITE_P(Numbers, EnergyDocuments,
                         testing::Values(Document{"integer", withAmount("7"), true, oneAmount(7)},
                                         Document{"exponent", withAmount("2.5E+2"), true, oneAmount(250)},
                                         Document{"negative zero", withAmount("-0"), true, oneAmount(-0.0)},
                                         Document{"leading zero", withAmount("07"), false, std::nullopt},
                                         Document{"bare fraction", withAmount(".5"), false, std::nullopt},
                                         Document{"trailing point", withAmount("1."), false, std::nullopt},
                                         Document{"plus sign", withAmount("+1"), false, std::nullopt},
                                         Document{"infinity", withAmount("1e999"), false, std::nullopt},
                                         Document{"not a number", withAmount("NaN"), false, std::nullopt}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (c == ' ') c = '_';
                             return name;
                         });

INSTANTIATE_TEST_SUITE_P(
    OtherForms, EnergyDocuments,
    testing::Values(
        Document{"spaces", R"({ "apps": {}, "samples": [] })", false, EnergyFile{}},
        Document{"trailing newline", "{\"apps\":{},\"samples\":[]}\n", false, EnergyFile{}},
        Document{"members swapped", R"({"samples":[],"apps":{}})", false, EnergyFile{}},
        Document{"keys unsorted", R"({"apps":{},"samples":[{"apps":{"b":1,"a":2},"t":1}]})", false,
                 EnergyFile{.samples = {{Date{1}, {{"a", 2}, {"b", 1}}}}}},
        Document{"key twice", R"({"apps":{},"samples":[{"apps":{"a":1,"a":2},"t":1}]})", false, oneAmount(2)},
        Document{"null path", R"({"apps":{"a":{"name":"A","path":null}},"samples":[]})", false,
                 EnergyFile{.apps = {{"a", {"A", std::nullopt}}}}},
        Document{"escaped key", R"({"apps":{},"samples":[{"apps":{"a\/b":1},"t":1}]})", true,
                 EnergyFile{.samples = {{Date{1}, {{"a/b", 1}}}}}},
        Document{"non-ASCII key", "{\"apps\":{},\"samples\":[{\"apps\":{\"Caf\xC3\xA9\":1},\"t\":1}]}", true,
                 EnergyFile{.samples = {{Date{1}, {{"Caf\xC3\xA9", 1}}}}}},
        Document{"key not UTF-8", "{\"apps\":{},\"samples\":[{\"apps\":{\"Caf\xE9\":1},\"t\":1}]}", false,
                 std::nullopt},
        Document{"unknown member", R"({"apps":{},"samples":[],"v":2})", false, EnergyFile{}},
        Document{"missing apps", R"({"samples":[]})", false, std::nullopt},
        Document{"text after", R"({"apps":{},"samples":[]}x)", false, std::nullopt},
        Document{"cut short", R"({"apps":{},"samples":[{"apps":{"a":1},"t":1})", false, std::nullopt}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ' || c == '-') c = '_';
        return name;
    });

// The same document read by the fast reader and, with a leading space that it refuses, by the general one:
// every number reads to the same bits, the sign of a zero included.
TEST(EnergyCompactJson, NumbersReadToTheSameBitsAsTheGeneralReader) {
    const char* numbers[] = {"-0",
                             "-0.0",
                             "0",
                             "-0e0",
                             "0.1",
                             "4.9e-324",
                             "9007199254740993",
                             "-9223372036854775809",
                             "18446744073709551616",
                             "123456789012345678901234567890",
                             "1.7976931348623157e308"};
    for (const char* number : numbers) {
        const std::string compact =
            R"({"apps":{},"samples":[{"apps":{"a":)" + std::string(number) + R"(},"t":)" + number + "}]}";
        const auto fast = EnergyCompactJson::read(compact);
        const auto general = decodeEnergyFile(" " + compact);
        ASSERT_TRUE(fast && general) << number;
        EXPECT_EQ(std::bit_cast<uint64_t>(fast->samples[0].t.seconds),
                  std::bit_cast<uint64_t>(general->samples[0].t.seconds))
            << number;
        EXPECT_EQ(std::bit_cast<uint64_t>(fast->samples[0].apps.at("a")),
                  std::bit_cast<uint64_t>(general->samples[0].apps.at("a")))
            << number;
    }
}

} // namespace
