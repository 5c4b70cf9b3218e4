#include "DormioKit/ProcessNames.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace dormio;

// A system process reads in words with its own name beside it, so that a reader who knows the name still
// finds it; words that already say the name stand alone; any other name is shown as it is.
TEST(ProcessNames, AUserReadsWhatASystemProcessDoes) {
    EXPECT_EQ(ProcessNames::friendly("backupd"), "Time Machine (backupd)");
    EXPECT_EQ(ProcessNames::friendly("softwareupdated"), "Software Update");
    // Helpers of one service read as that service, each with its own name.
    EXPECT_EQ(ProcessNames::friendly("mds_stores"), "Spotlight (mds_stores)");
    EXPECT_EQ(ProcessNames::friendly("mdworker"), "Spotlight (mdworker)");
}

TEST(ProcessNames, FriendlyMatchesWholeNamesExactly) {
    for (const std::string name :
         {"powerd", "Safari", "", "mdworker_shared", "coreaudiod ", "Coreaudiod", "MDS"})
        EXPECT_EQ(ProcessNames::friendly(name), name) << '"' << name << '"';
}

// The symbol beside a holder tells its kind: an app and the daemon that serves the same thing share one, a
// name the rules do not know (or know only in another case) gets the generic one, and no known kind looks
// generic.
TEST(ProcessNames, ProcessesOfOneKindShareASymbol) {
    const std::vector<std::vector<std::string>> kinds = {
        {"Music", "Spotify", "Podcasts", "coreaudiod"},
        {"Safari", "Google Chrome", "Firefox", "Arc"},
        {"Spotlight", "mds", "mds_stores", "mdworker"},
        {"Photos", "photoanalysisd", "mediaanalysisd"},
        {"backupd", "backupd-helper"},
        {"cloudd", "bird"},
    };
    const std::string generic = ProcessNames::symbol("");
    std::vector<std::string> seen;
    for (const auto& kind : kinds) {
        const std::string symbol = ProcessNames::symbol(kind.front());
        for (const std::string& process : kind)
            EXPECT_EQ(ProcessNames::symbol(process), symbol) << process;
        EXPECT_NE(symbol, generic) << kind.front();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), symbol), 0) << kind.front();
        seen.push_back(symbol);
    }
    for (const std::string unknown : {"mdworker_shared", "safari", "MUSIC", "powerd2"})
        EXPECT_EQ(ProcessNames::symbol(unknown), generic) << unknown;
}

TEST(ProcessNames, AppBundleIsTheOutermostBundleOnThePath) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"/Applications/Mail.app/Contents/MacOS/Mail", "/Applications/Mail.app"},
        {"/Applications/Mail.app", "/Applications/Mail.app"},
        {"/Applications/Outer.app/Contents/Helpers/Inner.app/Contents/MacOS/Inner",
         "/Applications/Outer.app"},
        {"/Applications/Mail.app/", "/Applications/Mail.app"},
        {"/usr/libexec/powerd", std::nullopt},
        {"/Applications/Mail.APP/Contents/MacOS/Mail", std::nullopt},
        {"/opt/webapp/bin/server", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [path, bundle] : cases)
        EXPECT_EQ(ProcessNames::appBundle(path), bundle) << path;
}
