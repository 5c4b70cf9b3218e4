#include "OstrelKit/Updater/Manifest.h"
#include "ReleaseFixture.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormio {
namespace {

using test::ReleaseFixture;

// A small bundle with its manifest written by the release tool.
struct SampleBundle {
    QTemporaryDir dir;
    QString bundle = dir.filePath("Dormio.app");

    SampleBundle() {
        ReleaseFixture::write(at("Info.json"), "{}");
        ReleaseFixture::write(at("bin/dormio"), "#!/bin/sh\n");
        ReleaseFixture::write(at("lib/libdormio.so.1"), QByteArray(70000, 'l'));
        ReleaseFixture::write(at("share/Manifest.json"), "not the manifest"); // only the top one is left out
        ::chmod(QFile::encodeName(at("bin/dormio")).constData(), 0775);       // listed as it will be unpacked
        QFile::link("libdormio.so.1", at("lib/libdormio.so"));
        EXPECT_EQ(test::runReleaseTool({"manifest", bundle}).exitCode, 0);
    }

    QString at(const QString& relative) const { return QDir(bundle).filePath(relative); }
    // Gives the program the mode unpacking leaves it with, which the manifest lists.
    void asUnpacked() const { ::chmod(QFile::encodeName(at("bin/dormio")).constData(), 0755); }
};

class ManifestTest : public testing::Test, public SampleBundle {};

TEST_F(ManifestTest, ListsFilesWithHashAndModeAndSymlinksWithTarget) {
    const auto listed = Manifest::decode(ReleaseFixture::read(at(Manifest::fileName)));
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 5);
    EXPECT_EQ(listed->at(0).path, "Info.json");
    EXPECT_EQ(
        listed->at(1),
        (ManifestEntry{
            "bin/dormio", "a8076d3d28d21e02012b20eaf7dbf75409a6277134439025f282e368e3305abf", 0755, {}}));
    EXPECT_EQ(listed->at(2), (ManifestEntry{"lib/libdormio.so", {}, 0, "libdormio.so.1"}));
    EXPECT_EQ(listed->at(3).path, "lib/libdormio.so.1");
    EXPECT_EQ(listed->at(3).mode, mode_t(0644));
    EXPECT_EQ(listed->at(4).path, "share/Manifest.json");
}

TEST_F(ManifestTest, ABundleMatchesOnlyWhatItsManifestLists) {
    asUnpacked();
    ASSERT_TRUE(Manifest::matches(bundle));

    const std::pair<const char*, std::function<void(SampleBundle&)>> changes[] = {
        {"a changed byte", [](SampleBundle& t) { ReleaseFixture::write(t.at("bin/dormio"), "#!/bin/sh\r"); }},
        {"an extra file", [](SampleBundle& t) { ReleaseFixture::write(t.at("bin/helper"), ""); }},
        {"an extra symlink", [](SampleBundle& t) { QFile::link("dormio", t.at("bin/alias")); }},
        {"a missing file", [](SampleBundle& t) { QFile::remove(t.at("lib/libdormio.so.1")); }},
        {"another mode",
         [](SampleBundle& t) { ::chmod(QFile::encodeName(t.at("bin/dormio")).constData(), 0700); }},
        {"a setuid bit",
         [](SampleBundle& t) { ::chmod(QFile::encodeName(t.at("bin/dormio")).constData(), 04755); }},
        {"a file become a symlink",
         [](SampleBundle& t) {
             QFile::remove(t.at("bin/dormio"));
             QFile::link("../lib/libdormio.so.1", t.at("bin/dormio"));
         }},
        {"a symlink retargeted",
         [](SampleBundle& t) {
             QFile::remove(t.at("lib/libdormio.so"));
             QFile::link("../bin/dormio", t.at("lib/libdormio.so"));
         }},
        {"a symlink leading out",
         [](SampleBundle& t) {
             QFile::remove(t.at("lib/libdormio.so"));
             QFile::link("../../outside", t.at("lib/libdormio.so"));
             ReleaseFixture::write(QDir(t.bundle).filePath("../outside"), "");
         }},
        {"a pipe", [](SampleBundle& t) { ::mkfifo(QFile::encodeName(t.at("bin/pipe")).constData(), 0644); }},
        {"no manifest", [](SampleBundle& t) { QFile::remove(t.at(Manifest::fileName)); }},
        {"a manifest that is a symlink",
         [](SampleBundle& t) {
             QFile::rename(t.at(Manifest::fileName), t.at("share/listed.json"));
             QFile::link("share/listed.json", t.at(Manifest::fileName));
         }},
        {"a damaged manifest",
         [](SampleBundle& t) { ReleaseFixture::write(t.at(Manifest::fileName), "{\"files\": ["); }},
    };
    for (const auto& [what, change] : changes) {
        SampleBundle fresh;
        fresh.asUnpacked();
        change(fresh);
        EXPECT_FALSE(Manifest::matches(fresh.bundle)) << what;
    }
}

// Every link is followed to its end: one that loops, leads nowhere or leads out cannot be listed.
TEST_F(ManifestTest, ALinkThatLoopsLeadsNowhereOrLeadsOutCannotBeDescribed) {
    const std::pair<const char*, std::function<void(SampleBundle&)>> links[] = {
        {"a link to itself", [](SampleBundle& t) { QFile::link("self", t.at("lib/self")); }},
        {"two links in a loop",
         [](SampleBundle& t) {
             QFile::link("b", t.at("lib/a"));
             QFile::link("a", t.at("lib/b"));
         }},
        {"a link that leads nowhere", [](SampleBundle& t) { QFile::link("missing", t.at("lib/gone")); }},
        {"a link through a link out of the bundle",
         [](SampleBundle& t) {
             QFile::link("..", t.at("lib/up"));
             QFile::link("up/..", t.at("bin/out"));
         }},
    };
    for (const auto& [what, add] : links) {
        SampleBundle fresh;
        add(fresh);
        const auto described = Manifest::describe(fresh.bundle);
        EXPECT_TRUE(std::holds_alternative<QString>(described)) << what;
    }
    const auto self = [] {
        SampleBundle fresh;
        QFile::link("self", fresh.at("lib/self"));
        return Manifest::describe(fresh.bundle);
    }();
    ASSERT_TRUE(std::holds_alternative<QString>(self));
    EXPECT_EQ(std::get<QString>(self), "The symlink “lib/self” leads round in a loop.");
}

TEST(Manifest, DecodingRefusesEntriesThatNameAnythingOutside) {
    const QString hash(64, u'a');
    const auto file = [&](const QString& path, const QString& mode = "0644") {
        return QString(R"({"path": "%1", "sha256": "%2", "mode": "%3"})").arg(path, hash, mode);
    };
    const QString bad[] = {
        file("/etc/passwd"),
        file("../outside"),
        file("a/../../outside"),
        file("a//b"),
        file("./a"),
        file(""),
        file("a", "755"),
        file("a", "0855"),
        file("a", "07555"),
        R"({"path": "a", "sha256": "ABC", "mode": "0644"})",
        QString(R"({"path": "a", "sha256": "%1", "mode": "0644"})").arg(QString(64, u'A')),
        R"({"path": "a", "symlink": ""})",
        QString(R"({"path": "a", "symlink": "b", "sha256": "%1", "mode": "0644"})").arg(hash),
        R"({"path": "a"})",
        R"("a")",
        file("a") + ", " + file("a"), // listed twice
    };
    for (const QString& entries : bad)
        EXPECT_FALSE(Manifest::decode(("{\"files\": [" + entries + "]}").toUtf8())) << entries.toStdString();
    EXPECT_FALSE(Manifest::decode(R"({"files": {}})"));
    EXPECT_FALSE(Manifest::decode("[]"));
    EXPECT_TRUE(Manifest::decode(
        ("{\"files\": [" + file("a/b") + R"(, {"path": "c", "symlink": "a/b"}]})").toUtf8()));
}

TEST(Manifest, NormalisedModesDropSpecialBitsAndOthersWriting) {
    struct Case {
        mode_t mode;
        bool folder;
        mode_t normalised;
    };
    const Case cases[] = {
        {0755, false, 0755}, {04755, false, 0755}, {02755, false, 0755}, {01777, true, 0755},
        {0777, false, 0755}, {0666, false, 0644},  {0444, false, 0644},  {0000, true, 0700},
        {0500, true, 0700},  {0640, false, 0640},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Manifest::normalisedMode(c.mode, c.folder), c.normalised) << std::oct << c.mode;
}

} // namespace
} // namespace dormio
