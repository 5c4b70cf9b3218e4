#include "OrdinaryUser.h"
#include "OstrelKit/Updater/Staging.h"
#include "ReleaseFixture.h"
#include "ostrel-release/ZipWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormio {
namespace {

using release::ZipWriter;
using test::ReleaseFixture;

class StagingTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString root = dir.filePath("caches/app/OstrelUpdate");
    std::shared_ptr<StagingFolder> folder;

    // Unpacks `archive` as the updater does, into a fresh folder for `version`.
    std::variant<QString, UpdateError> stage(const QByteArray& archive, const QString& version = "2.1.0",
                                             const Staging::Limits& limits = {}) {
        auto made = StagingFolder::make(root, version);
        if (const auto* error = std::get_if<UpdateError>(&made)) return *error;
        folder = std::get<std::shared_ptr<StagingFolder>>(made);
        return Staging::unpack(archive, *folder, limits);
    }

    // Sets the unpacked size the archive's directory records for `name`.
    static QByteArray withDeclaredSize(QByteArray zip, const QByteArray& name, quint32 size) {
        for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
            const qsizetype nameSize = uchar(zip[at + 28]) | uchar(zip[at + 29]) << 8;
            if (zip.mid(at + 46, nameSize) != name) continue;
            for (int i = 0; i < 4; ++i)
                zip[at + 24 + i] = char((size >> (8 * i)) & 0xff);
        }
        return zip;
    }

    // The bytes of every file under `path`.
    static qint64 bytesUnder(const QString& path) {
        qint64 total = 0;
        QDirIterator files(path, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (files.hasNext())
            total += QFileInfo(files.next()).size();
        return total;
    }

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
    const auto staged = stage(archive, "2.1.0");
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
        {"a folder named again as a file",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFile("Dormio.app/Contents/run", "x");
                 z.addFile("Dormio.app", "", 0600);
             });
         }},
        {"a folder named again as a file with data",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFile("Dormio.app/Contents/run", "x");
                 z.addFile("Dormio.app", "data", 0641);
             });
         }},
        {"a file named again as a folder",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFile("Dormio.app/x", "x");
                 z.addFolder("Dormio.app/x");
             });
         }},
        {"a file holding a file",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFile("Dormio.app/f", "x");
                 z.addFile("Dormio.app/f/g", "x");
             });
         }},
        {"a folder named twice",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFolder("Dormio.app", 0755);
                 z.addFolder("Dormio.app", 0700);
             });
         }},
        {"a path longer than the system takes",
         [&] {
             return zip([](ZipWriter& z) {
                 z.addFile("Dormio.app/" + QByteArray("folder/").repeated(600) + "x", "x");
             });
         }},
        {"a name longer than the system takes",
         [&] { return zip([](ZipWriter& z) { z.addFile("Dormio.app/" + QByteArray(256, 'n'), "x"); }); }},
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
        const auto staged = stage(archive());
        ASSERT_TRUE(std::holds_alternative<UpdateError>(staged)) << what;
        EXPECT_EQ(std::get<UpdateError>(staged).message, UpdateMessage::notUnpacked) << what;
        EXPECT_FALSE(QFileInfo::exists(outside)) << what;
        // Refused before anything was written.
        EXPECT_TRUE(QDir(root + "/2.1.0")
                        .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            << what;
    }
}

TEST_F(StagingTest, CapsTheUnpackedSizeAndTheNumberOfEntries) {
    // A megabyte of zeros packs into a few kilobytes.
    const QByteArray bomb =
        zip([](ZipWriter& z) { z.addFile("Dormio.app/zeros", QByteArray(1 << 20, '\0')); });
    ASSERT_LT(bomb.size(), 10000);
    const auto tooBig =
        stage(bomb, "2.1.0", {.maxBytes = (1 << 20) - 1, .maxEntries = 100, .maxRatio = 1000});
    ASSERT_TRUE(std::holds_alternative<UpdateError>(tooBig));
    EXPECT_EQ(std::get<UpdateError>(tooBig).message, UpdateMessage::notUnpacked);
    EXPECT_TRUE(
        std::holds_alternative<QString>(stage(bomb, "2.1.0", {.maxBytes = 1 << 20, .maxRatio = 1000})));

    const QByteArray many = zip([](ZipWriter& z) {
        z.addFolder("Dormio.app");
        for (int i = 0; i < 10; ++i)
            z.addFile("Dormio.app/f" + QByteArray::number(i), "x");
    });
    EXPECT_TRUE(std::holds_alternative<UpdateError>(stage(many, "2.1.0", {.maxEntries = 10})));
    EXPECT_TRUE(std::holds_alternative<QString>(stage(many, "2.1.0", {.maxEntries = 11})));
}

TEST_F(StagingTest, TheAppIsTheFirstRealAppFolderAtTheTop) {
    const QByteArray archive = zip([](ZipWriter& z) {
        z.addFile("A.app", "a file");
        z.addSymlink("B.app", "D.app");
        z.addFolder("D.app");
        z.addFolder("C.app");
        z.addFolder(".app");
    });
    const auto staged = stage(archive, "2.1.0");
    ASSERT_TRUE(std::holds_alternative<QString>(staged));
    EXPECT_EQ(QFileInfo(std::get<QString>(staged)).fileName(), "C.app");

    for (const auto& fill : std::initializer_list<std::function<void(ZipWriter&)>>{
             [](ZipWriter& z) { z.addFolder("Payload/Dormio.app"); }, // only the top is searched
             [](ZipWriter& z) { z.addFile("Dormio.app", "not a folder"); },
             [](ZipWriter& z) { z.addFile("readme.txt", "hello"); }}) {
        const auto none = stage(zip(fill));
        ASSERT_TRUE(std::holds_alternative<UpdateError>(none));
        EXPECT_EQ(std::get<UpdateError>(none).message, UpdateMessage::noApp);
    }
}

TEST_F(StagingTest, OnlyOneVersionIsEverStaged) {
    const QByteArray archive = zip([](ZipWriter& z) { z.addFolder("Dormio.app"); });
    ASSERT_TRUE(std::holds_alternative<QString>(stage(archive, "2.1.0")));
    ReleaseFixture::write(root + "/leftover", "x");
    ASSERT_TRUE(std::holds_alternative<QString>(stage(archive, "2.2.0")));
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"2.2.0"});
}

// A link anywhere on the way to the staging folder is never followed: the kit's own folders are cleared as
// links, and a link in place of the app's folder in the caches stops the staging.
TEST_F(StagingTest, ASymlinkedStagingFolderLeavesItsTargetUntouched) {
    const QByteArray archive = zip([](ZipWriter& z) { z.addFolder("Dormio.app"); });
    const QString precious = dir.filePath("precious");
    struct Case {
        const char* what;
        QString link;
        bool staged;
    };
    const Case cases[] = {
        {"an earlier version's folder", root + "/2.0.0", true},
        {"the version's own folder", root + "/2.1.0", true},
        {"the kit's folder", root, true},
        {"the app's folder", dir.filePath("caches/app"), false},
    };
    for (const Case& c : cases) {
        QDir(dir.filePath("caches")).removeRecursively();
        ReleaseFixture::write(precious + "/file", "keep");
        QDir().mkpath(QFileInfo(c.link).path());
        ASSERT_TRUE(QFile::link(precious, c.link)) << c.what;
        const auto staged = stage(archive);
        if (c.staged) {
            ASSERT_TRUE(std::holds_alternative<QString>(staged)) << c.what;
            EXPECT_TRUE(std::get<QString>(staged).startsWith(dir.filePath("caches/app/OstrelUpdate/2.1.0/")))
                << c.what;
            folder->discard();
            EXPECT_FALSE(QFileInfo::exists(root)) << c.what;
        } else {
            ASSERT_TRUE(std::holds_alternative<UpdateError>(staged)) << c.what;
            EXPECT_EQ(std::get<UpdateError>(staged).message, UpdateMessage::stagingNotMade) << c.what;
        }
        EXPECT_EQ(QDir(precious).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"file"})
            << c.what;
        EXPECT_EQ(ReleaseFixture::read(precious + "/file"), "keep") << c.what;
    }
}

// An earlier staging may have left folders that only their owner's bits stand in the way of, and trees
// deeper than any path the system takes; the next staging clears them all.
TEST_F(StagingTest, ClearingRemovesWhateverWasLeftWhateverTheModesAndDepth) {
    const QByteArray archive = zip([](ZipWriter& z) { z.addFolder("Dormio.app"); });
    for (const mode_t mode : {0000, 0100, 0500, 0600, 0641}) {
        ReleaseFixture::write(root + "/2.0.0/A.app/Contents/run", "data");
        ::chmod(QFile::encodeName(root + "/2.0.0/A.app/Contents").constData(), 0);
        ::chmod(QFile::encodeName(root + "/2.0.0/A.app").constData(), mode);
        std::variant<QString, UpdateError> staged;
        test::asOrdinaryUser([&] { staged = stage(archive); });
        EXPECT_TRUE(std::holds_alternative<QString>(staged)) << std::oct << mode;
        EXPECT_FALSE(QFileInfo::exists(root + "/2.0.0")) << std::oct << mode;
    }

    QDir().mkpath(root + "/2.0.0");
    int folder = ::open(QFile::encodeName(root + "/2.0.0").constData(), O_RDONLY | O_DIRECTORY);
    const QByteArray name(200, 'd');
    for (int depth = 0; depth < 40; ++depth) { // 8000 bytes of path below the version folder
        ASSERT_EQ(::mkdirat(folder, name.constData(), 0700), 0);
        const int below = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = below;
    }
    ::close(::openat(folder, "file", O_WRONLY | O_CREAT, 0600));
    ::close(folder);
    EXPECT_TRUE(std::holds_alternative<QString>(stage(archive)));
    EXPECT_FALSE(QFileInfo::exists(root + "/2.0.0"));
}

// Each link is followed, link by link, to where it really leads; a bundle's links must end inside it.
TEST_F(StagingTest, SymlinksAreJudgedByWhereTheirChainsEnd) {
    struct Case {
        const char* what;
        std::function<void(ZipWriter&)> links;
        bool staged;
    };
    const Case cases[] = {
        {"a chain that stays inside",
         [](ZipWriter& z) {
             z.addSymlink("Dormio.app/x", "y");
             z.addSymlink("Dormio.app/y", "bin");
         },
         true},
        {"a link to something missing inside", [](ZipWriter& z) { z.addSymlink("Dormio.app/l", "gone"); },
         true},
        {"a link through a link that climbs out of the app",
         [](ZipWriter& z) {
             z.addSymlink("Dormio.app/bin/up", "..");
             z.addSymlink("Dormio.app/z", "bin/up/..");
         },
         false},
        {"a link through a link that climbs out of the folder",
         [](ZipWriter& z) {
             z.addSymlink("Dormio.app/bin/up", "..");
             z.addSymlink("Dormio.app/z", "bin/up/../..");
         },
         false},
        {"a link to the folder above the app", [](ZipWriter& z) { z.addSymlink("Dormio.app/up", ".."); },
         false},
        {"a link to itself", [](ZipWriter& z) { z.addSymlink("Dormio.app/l", "l"); }, false},
        {"two links in a loop",
         [](ZipWriter& z) {
             z.addSymlink("Dormio.app/a", "b");
             z.addSymlink("Dormio.app/b", "a");
         },
         false},
    };
    for (const Case& c : cases) {
        const auto staged = stage(zip([&](ZipWriter& z) {
            z.addFile("Dormio.app/bin/dormio", "program");
            c.links(z);
        }));
        if (c.staged) {
            EXPECT_TRUE(std::holds_alternative<QString>(staged)) << c.what;
        } else {
            ASSERT_TRUE(std::holds_alternative<UpdateError>(staged)) << c.what;
            EXPECT_EQ(std::get<UpdateError>(staged).message, UpdateMessage::notUnpacked) << c.what;
        }
    }
}

// A gibibyte of zeros packs into about a megabyte. Told truly in the archive's directory, it is refused
// before anything is written; hidden there, while unpacking, before more than the ratio allows is written.
TEST_F(StagingTest, ABombIsRefusedBeforeItWritesMoreThanTheRatioAllows) {
    const qint64 gibibyte = qint64(1) << 30;
    const QByteArray bomb = zip([&](ZipWriter& z) { z.addZeros("Dormio.app/zeros", gibibyte); });
    ASSERT_LT(bomb.size(), 2 << 20);
    const Staging::Limits limits;
    const qint64 allowed = limits.maxRatio * bomb.size();
    struct Case {
        const char* what;
        QByteArray archive;
        qint64 mostWritten;
    };
    const Case cases[] = {
        {"told truly", bomb, 0},
        {"hidden", withDeclaredSize(bomb, "Dormio.app/zeros", 1000), allowed},
    };
    for (const Case& c : cases) {
        const auto staged = stage(c.archive);
        ASSERT_TRUE(std::holds_alternative<UpdateError>(staged)) << c.what;
        EXPECT_EQ(std::get<UpdateError>(staged).message, UpdateMessage::notUnpacked) << c.what;
        EXPECT_LE(bytesUnder(root), c.mostWritten) << c.what;
    }
}

// Half the free space where it is staged is the most an update may take, since the install copies it once
// more.
TEST_F(StagingTest, AnUpdateTakesAtMostHalfTheFreeSpace) {
    const QByteArray archive = zip([](ZipWriter& z) { z.addFile("Dormio.app/data", QByteArray(1000, 'd')); });
    Staging::Limits limits;
    limits.freeBytes = [](int) { return qint64(1999); };
    EXPECT_TRUE(std::holds_alternative<UpdateError>(stage(archive, "2.1.0", limits)));
    limits.freeBytes = [](int) { return qint64(2000); };
    EXPECT_TRUE(std::holds_alternative<QString>(stage(archive, "2.1.0", limits)));
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
