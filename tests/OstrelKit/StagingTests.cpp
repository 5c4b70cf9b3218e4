#include "OstrelKit/Updater/Staging.h"
#include "ReleaseFixture.h"
#include "ostrel-release/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace dormio {
namespace {

using release::ZipWriter;
using test::ReleaseFixture;

class StagingTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString root = dir.filePath("caches/app/OstrelUpdate");

    // The bytes of a zip archive that `fill` writes.
    QByteArray zip(const std::function<void(ZipWriter&)>& fill) {
        const QString file = dir.filePath("made.zip");
        QFile::remove(file);
        ZipWriter writer(file);
        fill(writer);
        EXPECT_TRUE(writer.close());
        return ReleaseFixture::read(file);
    }

    static mode_t modeOf(const QString& path) {
        struct stat status {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
    }

    // Sets the type and permission bits the archive's directory records for `name`: a zip can say any.
    static QByteArray withMode(QByteArray zip, const QByteArray& name, mode_t mode) {
        for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
            const auto u16 = [&](qsizetype offset) {
                return quint16(uchar(zip[at + offset]) | uchar(zip[at + offset + 1]) << 8);
            };
            if (zip.mid(at + 46, u16(28)) != name) continue;
            zip[at + 40] = char(mode & 0xff);
            zip[at + 41] = char((mode >> 8) & 0xff);
        }
        return zip;
    }
};

TEST_F(StagingTest, UnpacksFoldersFilesAndInsideSymlinksWithNormalisedModes) {
    const QByteArray archive = zip([](ZipWriter& z) {
        z.addFolder("Dormio.app", 0777);
        z.addFile("Dormio.app/Info.json", "{}", 0666);
        z.addFile("Dormio.app/bin/dormio", "#!/bin/sh\n", 04777);
        z.addFile("Dormio.app/bin/tool", "", 02755);
        z.addFile("Dormio.app/readonly", "r", 0444);
        z.addFolder("Dormio.app/sticky", 01777);
        z.addSymlink("Dormio.app/lib/current", "../bin");
        z.addSymlink("Dormio.app/top", "Dormio.app/Info.json");
    });
    const auto staged = Staging::stage(archive, "2.1.0", root);
    ASSERT_TRUE(std::holds_alternative<QString>(staged))
        << std::get<UpdateError>(staged).message.toStdString();
    const QString app = std::get<QString>(staged);
    EXPECT_EQ(app, QFileInfo(root + "/2.1.0/Dormio.app").canonicalFilePath());

    const std::pair<const char*, mode_t> modes[] = {
        {"", S_IFDIR | 0755},
        {"/Info.json", S_IFREG | 0644},
        {"/bin/dormio", S_IFREG | 0755},
        {"/bin/tool", S_IFREG | 0755},
        {"/readonly", S_IFREG | 0644},
        {"/sticky", S_IFDIR | 0755},
        {"/lib/current", S_IFLNK | 0777},
    };
    for (const auto& [path, mode] : modes)
        EXPECT_EQ(modeOf(app + path), mode) << path;
    EXPECT_EQ(ReleaseFixture::read(app + "/bin/dormio"), "#!/bin/sh\n");
    EXPECT_EQ(QFile::symLinkTarget(app + "/lib/current"), app + "/bin");
    EXPECT_FALSE(QFile::exists(root + "/2.1.0/update.zip"));
}

TEST_F(StagingTest, RefusesEntriesThatWouldLeaveTheFolderOrAreNoPlainFiles) {
    const QString outside = dir.filePath("caches/app/outside");
    const std::pair<const char*, std::function<QByteArray()>> archives[] = {
        {"a ../ entry", [&] { return zip([](ZipWriter& z) { z.addFile("../outside", "x"); }); }},
        {"a ../ inside the path",
         [&] { return zip([](ZipWriter& z) { z.addFile("Dormio.app/../../outside", "x"); }); }},
        {"an absolute entry",
         [&] { return zip([&](ZipWriter& z) { z.addFile(QFile::encodeName(outside), "x"); }); }},
        {"an empty name in the path",
         [&] { return zip([](ZipWriter& z) { z.addFile("Dormio.app//x", "x"); }); }},
        {"a ./ name", [&] { return zip([](ZipWriter& z) { z.addFile("./Dormio.app/x", "x"); }); }},
        {"an absolute symlink",
         [&] { return zip([](ZipWriter& z) { z.addSymlink("Dormio.app/l", "/etc"); }); }},
        {"a symlink leading out",
         [&] { return zip([](ZipWriter& z) { z.addSymlink("Dormio.app/l", "../../outside"); }); }},
        {"a file written through a symlink",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addSymlink("Dormio.app/l", ".");
                 z.addFile("Dormio.app/l/x", "x");
             });
         }},
        {"an entry written twice",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFile("Dormio.app/x", "first");
                 z.addFile("Dormio.app/x", "second");
             });
         }},
        {"a character device",
         [&] {
             return withMode(zip([](ZipWriter& z) { z.addFile("Dormio.app/dev", ""); }), "Dormio.app/dev",
                             S_IFCHR | 0644);
         }},
        {"a block device",
         [&] {
             return withMode(zip([](ZipWriter& z) { z.addFile("Dormio.app/dev", ""); }), "Dormio.app/dev",
                             S_IFBLK | 0644);
         }},
        {"a socket",
         [&] {
             return withMode(zip([](ZipWriter& z) { z.addFile("Dormio.app/dev", ""); }), "Dormio.app/dev",
                             S_IFSOCK | 0644);
         }},
        {"no zip at all", [] { return QByteArray("PK\x03\x04 but nothing more"); }},
        {"nothing", [] { return QByteArray(); }},
    };
    for (const auto& [what, archive] : archives) {
        const auto staged = Staging::stage(archive(), "2.1.0", root);
        ASSERT_TRUE(std::holds_alternative<UpdateError>(staged)) << what;
        EXPECT_EQ(std::get<UpdateError>(staged).message, UpdateMessage::notUnpacked) << what;
        EXPECT_FALSE(QFileInfo::exists(outside)) << what;
        EXPECT_FALSE(QFileInfo::exists(root + "/2.1.0/Dormio.app/dev")) << what;
    }
}

TEST_F(StagingTest, CapsTheUnpackedSizeAndTheNumberOfEntries) {
    // A megabyte of zeros packs into a few kilobytes.
    const QByteArray bomb =
        zip([](ZipWriter& z) { z.addFile("Dormio.app/zeros", QByteArray(1 << 20, '\0')); });
    ASSERT_LT(bomb.size(), 10000);
    const auto tooBig = Staging::stage(bomb, "2.1.0", root, {.maxBytes = (1 << 20) - 1, .maxEntries = 100});
    ASSERT_TRUE(std::holds_alternative<UpdateError>(tooBig));
    EXPECT_EQ(std::get<UpdateError>(tooBig).message, UpdateMessage::notUnpacked);
    EXPECT_TRUE(std::holds_alternative<QString>(Staging::stage(bomb, "2.1.0", root, {.maxBytes = 1 << 20})));

    const QByteArray many = zip([](ZipWriter& z) {
        z.addFolder("Dormio.app");
        for (int i = 0; i < 10; ++i)
            z.addFile("Dormio.app/f" + QByteArray::number(i), "x");
    });
    EXPECT_TRUE(std::holds_alternative<UpdateError>(Staging::stage(many, "2.1.0", root, {.maxEntries = 10})));
    EXPECT_TRUE(std::holds_alternative<QString>(Staging::stage(many, "2.1.0", root, {.maxEntries = 11})));
}

TEST_F(StagingTest, TheAppIsTheFirstRealAppFolderAtTheTop) {
    const QByteArray archive = zip([](ZipWriter& z) {
        z.addFile("A.app", "a file");
        z.addSymlink("B.app", "D.app");
        z.addFolder("D.app");
        z.addFolder("C.app");
        z.addFolder(".app");
    });
    const auto staged = Staging::stage(archive, "2.1.0", root);
    ASSERT_TRUE(std::holds_alternative<QString>(staged));
    EXPECT_EQ(QFileInfo(std::get<QString>(staged)).fileName(), "C.app");

    for (const auto& fill : std::initializer_list<std::function<void(ZipWriter&)>>{
             [](ZipWriter& z) { z.addFolder("Payload/Dormio.app"); }, // only the top is searched
             [](ZipWriter& z) { z.addFile("Dormio.app", "not a folder"); },
             [](ZipWriter& z) { z.addFile("readme.txt", "hello"); }}) {
        const auto none = Staging::stage(zip(fill), "2.1.0", root);
        ASSERT_TRUE(std::holds_alternative<UpdateError>(none));
        EXPECT_EQ(std::get<UpdateError>(none).message, UpdateMessage::noApp);
    }
}

TEST_F(StagingTest, OnlyOneVersionIsEverStaged) {
    const QByteArray archive = zip([](ZipWriter& z) { z.addFolder("Dormio.app"); });
    ASSERT_TRUE(std::holds_alternative<QString>(Staging::stage(archive, "2.1.0", root)));
    ReleaseFixture::write(root + "/leftover", "x");
    ASSERT_TRUE(std::holds_alternative<QString>(Staging::stage(archive, "2.2.0", root)));
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"2.2.0"});
}

TEST_F(StagingTest, ClearingTheFolderNeverFollowsASymlinkOut) {
    ReleaseFixture::write(dir.filePath("precious/file"), "keep");
    QDir().mkpath(root);
    QFile::link(dir.filePath("precious"), root + "/2.0.0");
    const QByteArray archive = zip([](ZipWriter& z) { z.addFolder("Dormio.app"); });
    ASSERT_TRUE(std::holds_alternative<QString>(Staging::stage(archive, "2.1.0", root)));
    EXPECT_EQ(ReleaseFixture::read(dir.filePath("precious/file")), "keep");
}

TEST(StagingRoot, LivesInTheUsersCachesUnderThePlainIdentifier) {
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    EXPECT_TRUE(caches.startsWith(qEnvironmentVariable("XDG_CACHE_HOME")));
    EXPECT_EQ(Staging::root("app.dormio"), caches + "/app.dormio/OstrelUpdate");
    EXPECT_EQ(Staging::root(std::nullopt), caches + "/dev.ostrel.app/OstrelUpdate");
    EXPECT_EQ(Staging::root("../../etc"), caches + "/dev.ostrel.app/OstrelUpdate");
}

} // namespace
} // namespace dormio
