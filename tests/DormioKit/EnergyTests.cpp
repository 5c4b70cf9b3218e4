#include "DormioKit/Energy.h"
#include "DormioKit/EnergyJson.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

using namespace dormio;
using Json = nlohmann::json;

namespace {

const std::string nnbsp = "\u202F";

EnergyFile sampleFile() {
    return EnergyFile{
        .samples = {{Date{100}, {{"/Applications/Mail.app", 400}, {"/usr/libexec/foo", 100}}},
                    {Date{200},
                     {{"/Applications/Mail.app", 100}, {"pid-42", 250}, {"/usr/libexec/foo", 150}}},
                    {Date{300}, {{"/Applications/Mail.app", 1000}}}},
        .apps = {{"/Applications/Mail.app", {"Mail", "/Applications/Mail.app"}},
                 {"helper", {"Helper", std::nullopt}}},
    };
}

std::vector<std::string> keys(const std::vector<EnergyShare>& shares) {
    std::vector<std::string> result;
    for (const EnergyShare& share : shares)
        result.push_back(share.key);
    return result;
}

} // namespace

TEST(EnergyMath, EstimateChargesCpuTimeAtLeastPointFourWatts) {
    EXPECT_DOUBLE_EQ(EnergyMath::estimate(5'000'000, 20'000'000), 8);
    EXPECT_DOUBLE_EQ(EnergyMath::estimate(50'000'000, 1'000'000), 50);
    EXPECT_EQ(EnergyMath::estimate(0, 0), 0);
    EXPECT_TRUE(std::isfinite(EnergyMath::estimate(UINT64_MAX, UINT64_MAX)));
}

TEST(EnergyMath, DeltaNeverWraps) {
    EXPECT_EQ(EnergyMath::delta(3, 7), 0u);
    EXPECT_EQ(EnergyMath::delta(7, 3), 4u);
    EXPECT_EQ(EnergyMath::delta(5, 5), 0u);
    EXPECT_EQ(EnergyMath::delta(0, UINT64_MAX), 0u);
    EXPECT_EQ(EnergyMath::delta(UINT64_MAX, 0), UINT64_MAX);
}

TEST(EnergyFile, PruneDropsOnlyEarlierSamplesAndKeepsApps) {
    EnergyFile file = sampleFile();
    file.prune(Date{200});
    ASSERT_EQ(file.samples.size(), 2u);
    EXPECT_EQ(file.samples[0].t, Date{200});
    EXPECT_EQ(file.samples[1].t, Date{300});

    file.prune(Date{1e9});
    EXPECT_TRUE(file.samples.empty());
    EXPECT_EQ(file.apps, sampleFile().apps);
}

TEST(EnergyShares, WindowIsOpenAtItsStartAndClosedAtItsEndPlusSlack) {
    const EnergyFile file = sampleFile();
    const struct {
        const char* name;
        double from, to, slack;
        std::vector<std::string> keys;
    } cases[] = {
        {"sample at from is left out", 100, 200, 0, {"pid-42", "/usr/libexec/foo", "/Applications/Mail.app"}},
        {"sample at to plus slack counts",
         150,
         250,
         50,
         {"/Applications/Mail.app", "pid-42", "/usr/libexec/foo"}},
        {"everything", 0, 300, 0, {"/Applications/Mail.app", "/usr/libexec/foo", "pid-42"}},
        {"nothing inside", 300, 1000, 0, {}},
        {"before every sample", 0, 50, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keys(EnergyMath::shares(file, Date{c.from}, Date{c.to}, std::nullopt, c.slack)), c.keys)
            << c.name;
    EXPECT_TRUE(EnergyMath::shares(EnergyFile{}, Date{0}, Date{1e9}, 10, 0).empty());
}

TEST(EnergyShares, TotalsSharesNamesAndEstimates) {
    auto shares = EnergyMath::shares(sampleFile(), Date{0}, Date{250}, 10, 0);
    ASSERT_EQ(shares.size(), 3u);
    EXPECT_EQ(shares[0],
              (EnergyShare{"/Applications/Mail.app", "Mail", "/Applications/Mail.app", 500, 0.5, 5.0}));
    EXPECT_EQ(shares[1], (EnergyShare{"/usr/libexec/foo", "foo", std::nullopt, 250, 0.25, 2.5}));
    EXPECT_EQ(shares[2], (EnergyShare{"pid-42", "pid-42", std::nullopt, 250, 0.25, 2.5}));
    EXPECT_EQ(shares[1].label(), "≈ 2.5" + nnbsp + "%");
    EXPECT_EQ(shares[0].id(), "/Applications/Mail.app");

    for (const EnergyShare& share : EnergyMath::shares(sampleFile(), Date{0}, Date{250}, std::nullopt, 0))
        EXPECT_FALSE(share.estimatedPercent) << share.key;
}

TEST(EnergyShares, EstimatesAreNeitherRoundedNorClamped) {
    auto shares = EnergyMath::shares(sampleFile(), Date{0}, Date{250}, -8, 0);
    ASSERT_EQ(shares.size(), 3u);
    EXPECT_EQ(shares[0].estimatedPercent, -4.0);
    EXPECT_EQ(shares[1].estimatedPercent, -2.0);
}

TEST(EnergyShares, UnusableAmountsAreSkipped) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EnergyFile file{{{Date{10}, {{"a", 0}, {"b", -5}, {"c", nan}, {"d", infinity}, {"e", -infinity}}}}, {}};
    EXPECT_TRUE(EnergyMath::shares(file, Date{0}, Date{20}, 5, 0).empty());

    file.samples.push_back({Date{11}, {{"f", 2}, {"b", 3}}});
    auto shares = EnergyMath::shares(file, Date{0}, Date{20}, 5, 0);
    EXPECT_EQ(keys(shares), (std::vector<std::string>{"b", "f"}));
    EXPECT_EQ(shares[0].millijoules, 3);
    EXPECT_DOUBLE_EQ(shares[0].share + shares[1].share, 1);
}

TEST(EnergyShares, LargerTotalFirstThenKeyAscending) {
    EnergyFile file{{{Date{1}, {{"zeta", 5}, {"alpha", 5}, {"Mid", 5}, {"big", 6}, {"/b/a", 1}}}}, {}};
    EXPECT_EQ(keys(EnergyMath::shares(file, Date{0}, Date{1}, std::nullopt, 0)),
              (std::vector<std::string>{"big", "Mid", "alpha", "zeta", "/b/a"}));
}

TEST(EnergyShares, NameOfAKeyWithoutAppInformation) {
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/libexec/foo", "foo"}, {"pid-42", "pid-42"}, {"/Applications/Foo.app/", "Foo.app"}, {"/", "/"},
        {"relative/tool", "tool"},
    };
    for (const auto& [key, name] : cases) {
        EnergyFile file{{{Date{1}, {{key, 1}}}}, {}};
        auto shares = EnergyMath::shares(file, Date{0}, Date{1}, std::nullopt, 0);
        ASSERT_EQ(shares.size(), 1u);
        EXPECT_EQ(shares[0].name, name) << key;
        EXPECT_FALSE(shares[0].path);
    }
}

TEST(EnergyShareLabel, WholePercentOrEstimateWithOneDecimal) {
    const struct {
        double share;
        std::optional<double> estimate;
        std::string label;
    } cases[] = {
        {0.125, std::nullopt, "13" + nnbsp + "%"}, {0.124, std::nullopt, "12" + nnbsp + "%"},
        {1, std::nullopt, "100" + nnbsp + "%"},    {0, std::nullopt, "0" + nnbsp + "%"},
        {-0.001, std::nullopt, "0" + nnbsp + "%"}, {0.25, 2.5, "≈ 2.5" + nnbsp + "%"},
        {0.1, 0.0, "≈ 0.0" + nnbsp + "%"},         {0.5, 12.345, "≈ 12.3" + nnbsp + "%"},
        {0.5, -3.25, "≈ -3.2" + nnbsp + "%"},      {0.5, 99.96, "≈ 100.0" + nnbsp + "%"},
    };
    for (const auto& c : cases) {
        EnergyShare share{"k", "n", std::nullopt, 1, c.share, c.estimate};
        EXPECT_EQ(share.label(), c.label) << c.share;
    }
}

TEST(EnergyShareLabel, NonFiniteValuesShowAsZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (double value : {nan, infinity, -infinity}) {
        EXPECT_EQ((EnergyShare{"k", "n", std::nullopt, 1, value, std::nullopt}.label()), "0" + nnbsp + "%")
            << value;
        EXPECT_EQ((EnergyShare{"k", "n", std::nullopt, 1, 0.5, value}.label()), "≈ 0.0" + nnbsp + "%")
            << value;
    }
    // Written from the double itself, never converted to an integer type it does not fit.
    const std::string huge = EnergyShare{"k", "n", std::nullopt, 1, 1e300, std::nullopt}.label();
    EXPECT_EQ(huge.substr(0, 4), "1000");
    EXPECT_EQ(huge.size(), 303 + nnbsp.size() + 1);
    EXPECT_FALSE((EnergyShare{"k", "n", std::nullopt, 1, 0.5, 1e300}.label().empty()));
}

TEST(EnergyShares, TotalsBeyondTheRangeOfADoubleStillGiveReadableLabels) {
    EnergyFile file{{{Date{1}, {{"a", 1e308}, {"b", 1e308}}}, {Date{2}, {{"a", 1e308}, {"b", 1e308}}}}, {}};
    for (const EnergyShare& share : EnergyMath::shares(file, Date{0}, Date{2}, 10, 0))
        EXPECT_EQ(share.label(), "≈ 0.0" + nnbsp + "%") << share.key;
}

TEST(EnergyShareLabel, IgnoresTheProcessLocale) {
    // The app sets the C library's locale from the user's; build a comma-decimal one here, since the
    // machine may have none installed.
    std::string pattern = (std::filesystem::path(testing::TempDir()) / "dormio-locales-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path folder = pattern;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    [[maybe_unused]] int status = std::system(command.c_str()); // warnings give a non-zero status
    setenv("LOCPATH", folder.c_str(), 1);
    const bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 2.5);

    EnergyShare share{"k", "n", std::nullopt, 1, 0.25, 2.5};
    EXPECT_EQ(share.label(), "≈ 2.5" + nnbsp + "%");
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    std::filesystem::remove_all(folder);
    if (!switched) GTEST_SKIP() << "localedef could not build a comma-decimal locale";
    EXPECT_STREQ(printed, "2,5"); // the locale really was in force
}

TEST(EnergyShareHashing, AllSixFieldsCount) {
    const EnergyShare base{"k", "n", "/p", 10, 0.5, 1.5};
    std::hash<EnergyShare> hash;
    EnergyShare same = base;
    EXPECT_EQ(hash(same), hash(base));

    EnergyShare zero{"k", "n", std::nullopt, 0.0, 0.0, std::nullopt};
    EnergyShare negativeZero{"k", "n", std::nullopt, -0.0, -0.0, std::nullopt};
    EXPECT_EQ(zero, negativeZero);
    EXPECT_EQ(hash(zero), hash(negativeZero));

    EnergyShare absent = base;
    absent.estimatedPercent.reset();
    EnergyShare presentZero = base;
    presentZero.estimatedPercent = 0.0;
    EXPECT_NE(absent, presentZero);
    EXPECT_NE(hash(absent), hash(presentZero));
    EnergyShare noPath = base;
    noPath.path.reset();
    EXPECT_NE(hash(noPath), hash(base));
}

TEST(EnergyJson, RoundTrip) {
    EnergyFile file = sampleFile();
    file.samples.push_back({Date{-0.5}, {}});
    file.samples.push_back({Date{1e-9}, {{"ünïcødé key", 0.1}, {"", 1e300}}});
    for (const EnergyFile& f : {file, EnergyFile{}}) {
        auto text = encodeEnergyFile(f);
        ASSERT_TRUE(text);
        EXPECT_EQ(text->find('\n'), std::string::npos);
        EXPECT_EQ(decodeEnergyFile(*text), f) << *text;
    }
}

TEST(EnergyJson, StoredForm) {
    Json written = Json::parse(*encodeEnergyFile(sampleFile()));
    EXPECT_EQ(written["samples"][0]["t"], 100);
    EXPECT_EQ(written["samples"][1]["apps"]["pid-42"], 250);
    EXPECT_EQ(written["apps"]["/Applications/Mail.app"]["path"], "/Applications/Mail.app");
    EXPECT_FALSE(written["apps"]["helper"].contains("path"));
    EXPECT_EQ(Json::parse(*encodeEnergyFile(EnergyFile{})), Json::parse(R"({"samples":[],"apps":{}})"));

    auto read = decodeEnergyFile(R"({"apps":{"a":{"name":"A","path":null,"extra":1},"b":{"name":"B"}},
        "samples":[{"t":5.25,"apps":{"a":1.5},"note":"x"}],"version":3})");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (EnergyFile{{{Date{5.25}, {{"a", 1.5}}}},
                                 {{"a", {"A", std::nullopt}}, {"b", {"B", std::nullopt}}}}));
}

TEST(EnergyJson, AnyErrorFailsTheWholeDocument) {
    const char* cases[] = {
        R"({"samples":[]})",
        R"({"apps":{}})",
        R"({"samples":[{"apps":{}}],"apps":{}})",
        R"({"samples":[{"t":1}],"apps":{}})",
        R"({"samples":[{"t":null,"apps":{}}],"apps":{}})",
        R"({"samples":[{"t":"2024-03-10","apps":{}}],"apps":{}})",
        R"({"samples":[{"t":1,"apps":[]}],"apps":{}})",
        R"({"samples":[{"t":1,"apps":{"a":"5"}}],"apps":{}})",
        R"({"samples":[{"t":1,"apps":{"a":null}}],"apps":{}})",
        R"({"samples":[{"t":1,"apps":{"a":1e400}}],"apps":{}})",
        R"({"samples":[{"t":1e400,"apps":{}}],"apps":{}})",
        R"({"samples":{},"apps":{}})",
        R"({"samples":[1],"apps":{}})",
        R"({"samples":[],"apps":[]})",
        R"({"samples":[],"apps":{"a":{}}})",
        R"({"samples":[],"apps":{"a":{"name":5}}})",
        R"({"samples":[],"apps":{"a":{"name":"A","path":5}}})",
        R"({"samples":[],"apps":{"a":"A"}})",
        R"([])",
        "null",
        "",
        R"({"samples":[],"apps":{})",
    };
    for (const char* text : cases)
        EXPECT_FALSE(decodeEnergyFile(text)) << text;
}

TEST(EnergyJson, NonFiniteValuesMakeTheFileUnwritable) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EnergyFile amount = sampleFile();
    amount.samples[1].apps["pid-42"] = nan;
    EnergyFile date = sampleFile();
    date.samples[2].t = Date{infinity};
    EXPECT_FALSE(encodeEnergyFile(amount));
    EXPECT_FALSE(encodeEnergyFile(date));
}
