#include "OstrelKit/Updater/InstallPlace.h"
#include "ReleaseFixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using test::ReleaseFixture;

class InstallPlaceTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString at(const QString& relative) const { return dir.filePath(relative); }

    AppBundle bundle(const QString& relative, const char* identifier = "app.dormio.tests") {
        ReleaseFixture::write(at(relative + "/Info.json"),
                              QByteArray(R"({"CFBundleIdentifier": ")") + identifier + "\"}");
        return *AppBundle::open(at(relative));
    }
};

TEST_F(InstallPlaceTest, ABundleOnAnOrdinaryDiskCanBeReplaced) {
    EXPECT_TRUE(InstallPlace::canReplace(bundle("Apps/Dormio.app"), InstallRules{}));
    EXPECT_TRUE(InstallPlace::canReplace(bundle("With space/My Dormio.app"), InstallRules{}));
    EXPECT_FALSE(InstallRules::onReadOnlyMedia(at("Apps/Dormio.app")));
    EXPECT_FALSE(InstallRules::onRemovableMedia(at("Apps/Dormio.app")));
}

TEST_F(InstallPlaceTest, AFolderThatIsNoLongerThisAppIsNeverReplaced) {
    const AppBundle running = bundle("Apps/Dormio.app");
    bundle("Apps/Dormio.app", "org.example.other");
    EXPECT_FALSE(InstallPlace::canReplace(running, InstallRules{}));
    ReleaseFixture::write(at("Apps/Dormio.app/Info.json"), "not json");
    EXPECT_FALSE(InstallPlace::canReplace(running, InstallRules{}));
    QDir(at("Apps/Dormio.app")).removeRecursively();
    EXPECT_FALSE(InstallPlace::canReplace(running, InstallRules{}));
    // A symlink where the folder was leads elsewhere, so it is no bundle to replace either.
    bundle("Real/Dormio.app");
    QFile::link(at("Real/Dormio.app"), at("Apps/Dormio.app"));
    EXPECT_FALSE(InstallPlace::canReplace(running, InstallRules{}));

    EXPECT_FALSE(InstallPlace::canReplace(AppBundle::loose(), InstallRules{}));
}

TEST_F(InstallPlaceTest, WhatTheMachineSaysOfThePlaceDecides) {
    const AppBundle running = bundle("Apps/Dormio.app");
    const QString holder = at("Apps");
    const std::pair<const char*, std::function<void(InstallRules&)>> cases[] = {
        {"a read-only disk", [](InstallRules& r) { r.readOnlyMedia = [](const QString&) { return true; }; }},
        {"a removable disk", [](InstallRules& r) { r.removableMedia = [](const QString&) { return true; }; }},
        {"a holding folder the user cannot write",
         [&](InstallRules& r) { r.writable = [&](const QString& path) { return path != holder; }; }},
        {"a bundle the user cannot write",
         [&](InstallRules& r) { r.writable = [&](const QString& path) { return path == holder; }; }},
        {"the home folder itself", [&](InstallRules& r) { r.home = [&] { return running.path(); }; }},
    };
    for (const auto& [what, change] : cases) {
        InstallRules rules;
        change(rules);
        EXPECT_FALSE(InstallPlace::canReplace(running, rules)) << what;
    }
}

TEST_F(InstallPlaceTest, AFolderThatCannotBeReadCountsAsNeitherFixedNorWritable) {
    EXPECT_TRUE(InstallRules::onReadOnlyMedia(at("missing")));
    EXPECT_TRUE(InstallRules::onRemovableMedia(at("missing")));
    EXPECT_FALSE(InstallRules::userCanWrite(at("missing")));
}

} // namespace
} // namespace dormio
