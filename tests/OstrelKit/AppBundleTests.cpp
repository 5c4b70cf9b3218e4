#include "OstrelKit/Updater/AppBundle.h"
#include "ReleaseFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using test::ReleaseFixture;

class AppBundleTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString at(const QString& relative) const { return dir.filePath(relative); }
};

TEST_F(AppBundleTest, ABundleIsAnAppFolderWithAJsonObjectInInfoJson) {
    ReleaseFixture::write(at("Good.app/Info.json"), R"({"CFBundleIdentifier": "a.b", "CFBundleName": 7})");
    const auto bundle = AppBundle::open(at("Good.app"));
    ASSERT_TRUE(bundle);
    EXPECT_TRUE(bundle->isBundle());
    EXPECT_EQ(bundle->path(), at("Good.app"));
    EXPECT_EQ(bundle->identifier(), "a.b");
    EXPECT_EQ(bundle->name(), std::nullopt); // a number where a string belongs counts as absent
    EXPECT_EQ(bundle->shortVersion(), std::nullopt);
}

TEST_F(AppBundleTest, AnythingElseIsNoBundle) {
    ReleaseFixture::write(at("NoSuffix/Info.json"), "{}");
    ReleaseFixture::write(at("Array.app/Info.json"), "[]");
    ReleaseFixture::write(at("Broken.app/Info.json"), "{");
    QDir().mkpath(at("Empty.app"));
    ReleaseFixture::write(at("File.app"), "{}");
    ReleaseFixture::write(at("Elsewhere/Info.json"), "{}");
    QDir().mkpath(at("Linked.app"));
    QFile::link(at("Elsewhere/Info.json"), at("Linked.app/Info.json"));
    QFile::link(at("NoSuffix"), at("FolderLink.app"));
    ReleaseFixture::write(at(".app/Info.json"), "{}");
    QFile big(at("Huge.app/Info.json"));
    QDir().mkpath(at("Huge.app"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("{\"a\": \"" + QByteArray(2 << 20, 'x') + "\"}");
    big.close();

    for (const char* name : {"NoSuffix", "Array.app", "Broken.app", "Empty.app", "File.app", "Linked.app",
                             "FolderLink.app", ".app", "Huge.app", "Missing.app"})
        EXPECT_FALSE(AppBundle::open(at(name))) << name;
}

TEST_F(AppBundleTest, AProgramOutsideABundleRunsAsALooseCopy) {
    // The test binary lives in the build tree: the folder above its own is no bundle.
    const AppBundle running = AppBundle::running();
    EXPECT_FALSE(running.isBundle());
    EXPECT_EQ(running.name(), QCoreApplication::applicationName());
    EXPECT_EQ(running.shortVersion(), QCoreApplication::applicationVersion());
    EXPECT_EQ(running.string("OstrelUpdateFeedURL"), std::nullopt);
}

} // namespace
} // namespace dormio
