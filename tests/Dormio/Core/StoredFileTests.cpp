#include "DamagedCopies.h"
#include "Dormio/Core/StoredFile.h"
#include "FixedClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace dormio::testing {
namespace {

using namespace std::chrono_literals;
using State = StoredFile::Contents::State;

class StoredFileTest : public ::testing::Test {
protected:
    QTemporaryDir folder;

    QString path(const QString& name) const { return folder.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray contents(const QString& file) const {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(unreadable)");
    }
};

TEST_F(StoredFileTest, ReadsWholeFilesAndTellsMissingFromDamaged) {
    struct Case {
        const char* name;
        std::function<void()> make;
        State state;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {"missing.json", [] {}, State::missing, {}},
        {"file.json", [&] { write("file.json", "[1,2]"); }, State::present, "[1,2]"},
        {"empty.json", [&] { write("empty.json", ""); }, State::present, {}},
        {"linked.json", [&] { QFile::link(path("file.json"), path("linked.json")); }, State::present,
         "[1,2]"},
        {"folder.json", [&] { QDir().mkpath(path("folder.json")); }, State::damaged, {}},
        // A pipe would never end: it is damaged, not waited on.
        {"pipe.json", [&] { mkfifo(path("pipe.json").toUtf8().constData(), 0600); }, State::damaged, {}},
        {"dangling.json",
         [&] { QFile::link(path("nowhere.json"), path("dangling.json")); },
         State::damaged,
         {}},
    };
    for (const Case& c : cases) {
        c.make();
        const StoredFile::Contents read = StoredFile::read(path(c.name));
        EXPECT_EQ(read.state, c.state) << c.name;
        EXPECT_EQ(read.bytes, c.bytes) << c.name;
    }
}

TEST_F(StoredFileTest, EveryCopySetAsideKeepsANameOfItsOwn) {
    FixedClock clock(Date::fromUnix(1'700'000'000)); // 2023-11-14 22:13:20 in the tests' zone, UTC
    write("nights.json.damaged", "a copy an earlier version kept aside");
    const QString stamp = path("nights.json.damaged-20231114-221320");
    std::vector<QString> asides;
    for (const QByteArray& text : {QByteArray("first"), QByteArray("second"), QByteArray("third")}) {
        write("nights.json", text);
        const auto aside = StoredFile::setAside(path("nights.json"));
        ASSERT_TRUE(aside) << text.toStdString();
        asides.push_back(*aside);
    }
    EXPECT_EQ(asides, (std::vector<QString>{stamp, stamp + "-2", stamp + "-3"}));
    EXPECT_EQ(contents(stamp), "first");
    EXPECT_EQ(contents(stamp + "-2"), "second");
    EXPECT_EQ(contents(stamp + "-3"), "third");
    EXPECT_EQ(contents(path("nights.json.damaged")), "a copy an earlier version kept aside");
    EXPECT_FALSE(QFile::exists(path("nights.json")));

    // A second later the copy is named by its own time; a link is moved itself, not its target.
    clock.step(1s);
    QFile::link(path("nowhere.json"), path("nights.json"));
    EXPECT_EQ(StoredFile::setAside(path("nights.json")), path("nights.json.damaged-20231114-221321"));
    EXPECT_TRUE(QFileInfo(path("nights.json.damaged-20231114-221321")).isSymLink());
    EXPECT_EQ(damagedCopies(path("nights.json")).size(), 4);

    // Nothing to set aside.
    EXPECT_FALSE(StoredFile::setAside(path("nights.json")));
}

TEST_F(StoredFileTest, WritesAtomicallyAndSaysWhatFailed) {
    write("energy.json", "{damaged");
    EXPECT_EQ(StoredFile::write(path("energy.json"), "{\"apps\":{}}", true), std::nullopt);
    EXPECT_EQ(contents(path("energy.json")), "{\"apps\":{}}");
    ASSERT_EQ(damagedCopies(path("energy.json")).size(), 1);
    EXPECT_EQ(contents(damagedCopies(path("energy.json"))[0]), "{damaged");

    // A damaged file that has gone meanwhile leaves nothing to keep: the write goes ahead.
    EXPECT_EQ(StoredFile::write(path("gone.json"), "[]", true), std::nullopt);
    EXPECT_EQ(contents(path("gone.json")), "[]");

    write("blocker", "a file where the folder should be");
    const auto failure = StoredFile::write(path("blocker/nights.json"), "[]");
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith("couldn’t write “" + path("blocker/nights.json") + "”: "))
        << failure->toStdString();
    // No temporary file is left behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 4);
}

TEST_F(StoredFileTest, WritesPieceByPieceOrLeavesTheFileAsItWas) {
    write("nights.json", "[old]");
    const QString refused = QStringLiteral("refused");
    const auto pieces = [](std::initializer_list<std::string_view> parts, bool fill) {
        return [=](const StoredFile::Put& put) {
            for (std::string_view part : parts)
                if (!put(part)) return false;
            return fill;
        };
    };
    EXPECT_EQ(StoredFile::write(path("nights.json"), pieces({"[1,", "2]"}, false), false, refused), refused);
    EXPECT_EQ(contents(path("nights.json")), "[old]");
    EXPECT_EQ(StoredFile::write(path("nights.json"), pieces({"[1,", "2]"}, true), false, refused),
              std::nullopt);
    EXPECT_EQ(contents(path("nights.json")), "[1,2]");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"nights.json"});
}

} // namespace
} // namespace dormio::testing
