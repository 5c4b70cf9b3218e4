#include "Dormio/Core/System/ProcessTable.h"
#include "SystemHome.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormio {
namespace {

// Fields after the name: state, ppid, pgrp, session, tty, tpgid, flags, 4 fault counts, utime, stime,
// cutime, cstime, priority, nice, threads, itrealvalue, starttime, then more that are not read.
QByteArray statLine(int pid, const char* name, int parent, uint64_t flags, int utime, int stime,
                    uint64_t start) {
    return QByteArray::number(pid) + " (" + name + ") S " + QByteArray::number(parent) + " 5 5 0 -1 " +
           QByteArray::number(flags) + " 10 0 0 0 " + QByteArray::number(utime) + " " +
           QByteArray::number(stime) + " 0 0 20 -5 1 0 " + QByteArray::number(start) +
           " 8192 100 18446744073709551615 1 1\n";
}

class ProcessTableFake : public testing::Test {
protected:
    SystemHome home;
    QString root;

    void SetUp() override {
        root =
            home.fakeProcess(QStringLiteral("proc"), 42, statLine(42, "player", 1, 4194560, 250, 50, 98765),
                             "player", QStringLiteral("/opt/player/bin/player"));
        home.fakeProcess(QStringLiteral("proc"), 7, statLine(7, "odd) (name", 3, 4194304, 1, 2, 500),
                         "odd) (name", QStringLiteral("/usr/bin/odd (deleted)"));
        home.fakeProcess(QStringLiteral("proc"), 2, statLine(2, "kthreadd", 0, 2129984, 0, 1, 32),
                         "kthreadd");
        home.fakeProcess(QStringLiteral("proc"), 100, "100 (cut) S 1 100 100 0 -1 4194560 1 0", "cut");
        home.path(QStringLiteral("proc/self"));
        home.path(QStringLiteral("proc/12ab"));
        home.path(QStringLiteral("proc/0"));
        home.write(QStringLiteral("proc/uptime"), "1.0 1.0\n");
    }

    std::string rootPath() const { return root.toStdString(); }
};

TEST_F(ProcessTableFake, ListsProcessFoldersInIdOrder) {
    EXPECT_EQ(ProcessTable::pids(rootPath()), (std::vector<int32_t>{2, 7, 42, 100}));
    EXPECT_TRUE(ProcessTable::pids("/no/such/proc").empty());
    // Each with the inode of its folder.
    std::vector<ProcessTable::Entry> expected;
    for (const int32_t pid : {2, 7, 42, 100}) {
        struct stat folder {};
        ASSERT_EQ(::stat((rootPath() + '/' + std::to_string(pid)).c_str(), &folder), 0);
        expected.push_back({pid, uint64_t(folder.st_ino)});
    }
    EXPECT_EQ(ProcessTable::entries(rootPath()), expected);
}

TEST_F(ProcessTableFake, ReadsStat) {
    struct Case {
        int32_t pid;
        std::optional<ProcessTable::Stat> expected;
    };
    const Case cases[] = {
        {42, ProcessTable::Stat{1, 300, 98765, false}},
        {7, ProcessTable::Stat{3, 3, 500, false}}, // a name with ") (" in it
        {2, ProcessTable::Stat{0, 1, 32, true}},
        {100, std::nullopt}, // cut short
        {5, std::nullopt},   // no such process
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessTable::stat(c.pid, rootPath()), c.expected) << c.pid;
}

TEST_F(ProcessTableFake, ReadsExecutableAndName) {
    EXPECT_EQ(ProcessTable::exePath(42, rootPath()), "/opt/player/bin/player");
    // A program replaced on disk while it runs keeps its path.
    EXPECT_EQ(ProcessTable::exePath(7, rootPath()), "/usr/bin/odd");
    EXPECT_EQ(ProcessTable::exePath(2, rootPath()), std::nullopt);
    EXPECT_EQ(ProcessTable::comm(7, rootPath()), "odd) (name");
    EXPECT_EQ(ProcessTable::comm(5, rootPath()), std::nullopt);
}

TEST(ProcessTable, ReadsThisProcess) {
    const int32_t self = int32_t(::getpid());
    const auto pids = ProcessTable::pids();
    EXPECT_TRUE(std::binary_search(pids.begin(), pids.end(), self));
    const auto stat = ProcessTable::stat(self);
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->parentPid, int32_t(::getppid()));
    EXPECT_FALSE(stat->isKernelThread);
    EXPECT_GT(stat->startTime, 0u);
    EXPECT_EQ(ProcessTable::exePath(self),
              QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString());
}

TEST(ProcessTable, TicksToNanoseconds) {
    const uint64_t hz = ProcessTable::ticksPerSecond();
    EXPECT_EQ(ProcessTable::ticksToNanoseconds(0), 0u);
    EXPECT_EQ(ProcessTable::ticksToNanoseconds(hz * 5), 5'000'000'000u);
    EXPECT_EQ(ProcessTable::ticksToNanoseconds(1), 1'000'000'000u / hz);
    // Years of CPU time do not wrap around.
    const uint64_t years = hz * 3600 * 24 * 365 * 50;
    EXPECT_EQ(ProcessTable::ticksToNanoseconds(years), uint64_t(3600) * 24 * 365 * 50 * 1'000'000'000);
}

} // namespace
} // namespace dormio
