#include "Dormio/Core/System/KnownExecutables.h"
#include "SystemHome.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace dormio {
namespace {

constexpr int pid = 42;

// A stat line with only the fields the table reads: the parent, the flags, the times and the start.
QByteArray statLine(uint64_t startTicks) {
    return QByteArray::number(pid) + " (player) S 1 5 5 0 -1 4194560 10 0 0 0 1 1 0 0 20 0 1 0 " +
           QByteArray::number(startTicks) + " 8192 100\n";
}

class KnownExecutablesTest : public testing::Test {
protected:
    SystemHome home;

    // Process 42 of a fake /proc of its own, started `startTicks` after boot, running `exe`.
    QString process(const QString& root, uint64_t startTicks, const QString& exe) const {
        return home.fakeProcess(root, pid, statLine(startTicks), "player", exe);
    }

    static std::optional<std::string> executableIn(KnownExecutables& known, const QString& root) {
        const auto read = known.read(ProcessTable::entries(root.toStdString()));
        const auto found = read.constFind(pid);
        return found == read.cend() ? std::nullopt : std::optional(found->toStdString());
    }
};

// Read twice with a change in between: a settled process is not read again, so a link changed in place is
// not seen, but the same id taken by a new process, a young process and an ended one are.
TEST_F(KnownExecutablesTest, ReadsAgainOnlyWhatMayHaveChanged) {
    const uint64_t settled = 1;
    const uint64_t young = ProcessTable::ticksSinceBoot();
    const QString first = QStringLiteral("/opt/player/bin/player");
    const QString second = QStringLiteral("/usr/bin/other");
    struct Case {
        const char* what;
        uint64_t start;
        std::function<void(const QString& root)> change;
        std::optional<std::string> expected;
    };
    const auto relink = [&](const QString& root) {
        const QString link = root + QStringLiteral("/42/exe");
        QFile::remove(link);
        QFile::link(second, link);
    };
    const Case cases[] = {
        {"a settled process keeps its program", settled, relink, first.toStdString()},
        {"a young process is read again", young, relink, second.toStdString()},
        {"a new process with the same id is read afresh", settled,
         [&](const QString& root) {
             // Made before the old folder goes, so that it cannot take the old folder's inode.
             const QString fresh =
                 home.fakeProcess(QStringLiteral("fresh"), pid, statLine(settled), "other", second);
             QDir(root + QStringLiteral("/42")).removeRecursively();
             QDir().rename(fresh + QStringLiteral("/42"), root + QStringLiteral("/42"));
         },
         second.toStdString()},
        {"an ended process is gone", settled,
         [](const QString& root) { QDir(root + QStringLiteral("/42")).removeRecursively(); }, std::nullopt},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString root = process(QStringLiteral("proc%1").arg(++n), c.start, first);
        KnownExecutables known(root.toStdString());
        EXPECT_EQ(executableIn(known, root), first.toStdString()) << c.what;
        c.change(root);
        EXPECT_EQ(executableIn(known, root), c.expected) << c.what;
    }
}

} // namespace
} // namespace dormio
