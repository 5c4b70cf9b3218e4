#include "Dormio/Core/RunMode.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

using dormio::chooseRunMode;
using dormio::RunMode;
using Kind = dormio::RunMode::Kind;

namespace {

// Each variable is absent, set to the empty string, or set to a folder.
const std::optional<std::string> settings[] = {std::nullopt, std::string(), std::string("/tmp/out")};

RunMode choose(const std::optional<std::string>& snapshot, const std::optional<std::string>& selfTest,
               const std::optional<std::string>& demo) {
    std::map<std::string, std::optional<std::string>> env{
        {"DORMIO_SNAPSHOT_DIR", snapshot}, {"DORMIO_SELFTEST", selfTest}, {"DORMIO_DEMO_DIR", demo}};
    return chooseRunMode([&](const char* name) {
        auto found = env.find(name);
        return found == env.end() ? std::nullopt : found->second;
    });
}

TEST(RunModeChoice, EveryCombinationOfTheThreeVariables) {
    for (const auto& snapshot : settings)
        for (const auto& selfTest : settings)
            for (const auto& demo : settings) {
                SCOPED_TRACE(testing::Message()
                             << "snapshot " << snapshot.value_or("<absent>") << ", selftest "
                             << selfTest.value_or("<absent>") << ", demo " << demo.value_or("<absent>"));
                const RunMode mode = choose(snapshot, selfTest, demo);
                if (snapshot) {
                    EXPECT_EQ(mode, (RunMode{Kind::snapshot, *snapshot}));
                } else if (selfTest) {
                    EXPECT_EQ(mode, (RunMode{Kind::selfTest, {}}));
                } else if (demo) {
                    EXPECT_EQ(mode, (RunMode{Kind::demo, {}}));
                } else {
                    EXPECT_EQ(mode, (RunMode{Kind::normal, {}}));
                }
            }
}

TEST(RunModeChoice, NamedCases) {
    EXPECT_EQ(choose("/shots", "1", std::nullopt).kind, Kind::snapshot);
    EXPECT_EQ(choose("/shots", "1", std::nullopt).snapshotDir, "/shots");
    EXPECT_EQ(choose(std::nullopt, "1", "/demo").kind, Kind::selfTest);
    EXPECT_EQ(choose(std::nullopt, "", std::nullopt).kind, Kind::selfTest);
    EXPECT_EQ(choose("", std::nullopt, std::nullopt), (RunMode{Kind::snapshot, ""}));
    EXPECT_EQ(choose(std::nullopt, std::nullopt, "").kind, Kind::demo);
    EXPECT_EQ(choose(std::nullopt, std::nullopt, std::nullopt).kind, Kind::normal);
}

TEST(RunModeChoice, ReadsTheProcessEnvironmentAfresh) {
    unsetenv("DORMIO_SNAPSHOT_DIR");
    unsetenv("DORMIO_DEMO_DIR");
    unsetenv("DORMIO_SELFTEST");
    EXPECT_EQ(chooseRunMode(dormio::processEnvironment).kind, Kind::normal);
    setenv("DORMIO_SELFTEST", "", 1);
    EXPECT_EQ(chooseRunMode(dormio::processEnvironment).kind, Kind::selfTest);
    unsetenv("DORMIO_SELFTEST");
}

} // namespace
