#include "DormioKit/ProcessNames.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace dormio;

namespace {

struct NameCase {
    std::string process;
    std::string expected;
};

} // namespace

TEST(ProcessNames, FriendlyNamesOfKnownDaemons) {
    const std::vector<NameCase> cases = {
        {"coreaudiod", "Audio (coreaudiod)"},
        {"runningboardd", "App manager (runningboardd)"},
        {"backupd", "Time Machine (backupd)"},
        {"backupd-helper", "Time Machine (backupd-helper)"},
        {"dasd", "Background tasks (dasd)"},
        {"mds", "Spotlight (mds)"},
        {"mds_stores", "Spotlight (mds_stores)"},
        {"mdworker", "Spotlight (mdworker)"},
        {"sharingd", "AirDrop & Handoff (sharingd)"},
        {"cloudd", "iCloud (cloudd)"},
        {"bird", "iCloud (bird)"},
        {"softwareupdated", "Software Update"},
        {"AddressBookSourceSync", "Contacts sync"},
        {"routined", "Location history (routined)"},
        {"photoanalysisd", "Photos analysis (photoanalysisd)"},
        {"mediaanalysisd", "Photos analysis (mediaanalysisd)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProcessNames::friendly(c.process), c.expected) << c.process;
}

TEST(ProcessNames, FriendlyMatchesWholeNamesExactly) {
    for (const std::string name :
         {"powerd", "Safari", "", "mdworker_shared", "coreaudiod ", "Coreaudiod", "MDS"})
        EXPECT_EQ(ProcessNames::friendly(name), name) << '"' << name << '"';
}

TEST(ProcessNames, Symbols) {
    const std::vector<NameCase> cases = {
        {"coreaudiod", "music.note"},
        {"Music", "music.note"},
        {"Spotify", "music.note"},
        {"Podcasts", "music.note"},
        {"backupd", "clock.arrow.circlepath"},
        {"backupd-helper", "clock.arrow.circlepath"},
        {"dasd", "calendar.badge.clock"},
        {"mds", "magnifyingglass"},
        {"mds_stores", "magnifyingglass"},
        {"mdworker", "magnifyingglass"},
        {"Spotlight", "magnifyingglass"},
        {"sharingd", "dot.radiowaves.left.and.right"},
        {"cloudd", "icloud"},
        {"bird", "icloud"},
        {"softwareupdated", "arrow.down.circle"},
        {"powerd", "bolt"},
        {"runningboardd", "square.stack.3d.up"},
        {"Mail", "envelope"},
        {"Safari", "globe"},
        {"Google Chrome", "globe"},
        {"Firefox", "globe"},
        {"Arc", "globe"},
        {"photoanalysisd", "photo"},
        {"mediaanalysisd", "photo"},
        {"Photos", "photo"},
        {"routined", "location"},
        {"", "gearshape"},
        {"mdworker_shared", "gearshape"},
        {"safari", "gearshape"},
        {"AddressBookSourceSync", "gearshape"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProcessNames::symbol(c.process), c.expected) << c.process;
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
