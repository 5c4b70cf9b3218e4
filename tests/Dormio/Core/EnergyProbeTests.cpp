#include "Dormio/Core/System/EnergyProbe.h"
#include "Dormio/Core/System/ProcessTable.h"
#include "SystemHome.h"

#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

namespace dormio {
namespace {

QByteArray statLine(int pid, int utime, int stime, uint64_t start, uint64_t flags = 4194560) {
    return QByteArray::number(pid) + " (p) S 1 5 5 0 -1 " + QByteArray::number(flags) + " 0 0 0 0 " +
           QByteArray::number(utime) + " " + QByteArray::number(stime) + " 0 0 20 0 1 0 " +
           QByteArray::number(start) + " 0 0\n";
}

class ProcEnergyProbeFake : public testing::Test {
protected:
    SystemHome home;
    QString root;
    const uint64_t tick = ProcessTable::ticksToNanoseconds(1);

    void SetUp() override {
        home.fakeProcess(QStringLiteral("proc"), 2, statLine(2, 0, 9, 3, 2129984), "kthreadd");
        home.fakeProcess(QStringLiteral("proc"), 310, statLine(310, 40, 2, 1000), "Music",
                         QStringLiteral("/Applications/Music.app/Contents/MacOS/Music"));
        home.fakeProcess(
            QStringLiteral("proc"), 311, statLine(311, 1, 0, 1001), "helper",
            QStringLiteral("/Applications/Outer.app/Contents/Helpers/Inner.app/Contents/MacOS/Inner"));
        home.fakeProcess(QStringLiteral("proc"), 420, statLine(420, 7, 3, 2000), "player",
                         QStringLiteral("/usr/bin/player"));
        home.fakeProcess(QStringLiteral("proc"), 500, statLine(500, 1, 1, 3000), "zombie");
        // Another user's processes: the executable cannot be read, the command line and name can.
        home.fakeProcess(QStringLiteral("proc"), 600, statLine(600, 1, 1, 4000), "sshd");
        home.write(QStringLiteral("proc/600/cmdline"), QByteArray("/usr/sbin/sshd\0-D\0", 18));
        home.fakeProcess(QStringLiteral("proc"), 601, statLine(601, 1, 1, 4001), "sshd");
        home.write(QStringLiteral("proc/601/cmdline"), QByteArray("sshd: alice [priv]\0", 19));
        root = home.fakeProcess(QStringLiteral("proc"), 602, statLine(602, 1, 1, 4002), "");
    }
};

TEST_F(ProcEnergyProbeFake, CountsCpuTimeAndSkipsKernelThreads) {
    ProcEnergyProbe probe(root.toStdString());
    EXPECT_EQ(probe.allPIDs(), (std::vector<int32_t>{2, 310, 311, 420, 500, 600, 601, 602}));
    EXPECT_EQ(probe.counters(2), std::nullopt);
    EXPECT_EQ(probe.counters(420), (ProcessCounter{0, 10 * tick, 2000 * tick}));
    EXPECT_EQ(probe.counters(500), (ProcessCounter{0, 2 * tick, 3000 * tick}));
    EXPECT_EQ(probe.counters(999), std::nullopt);
}

TEST_F(ProcEnergyProbeFake, ReusedPidHasAnotherStart) {
    ProcEnergyProbe probe(root.toStdString());
    const auto before = probe.counters(420);
    home.write(QStringLiteral("proc/420/stat"), statLine(420, 1, 0, 7000));
    const auto after = probe.counters(420);
    ASSERT_TRUE(before && after);
    EXPECT_NE(before->startAbs, after->startAbs);
}

TEST_F(ProcEnergyProbeFake, AppKeys) {
    ProcEnergyProbe probe(root.toStdString());
    struct Case {
        int32_t pid;
        std::string key, name;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {310, "/Applications/Music.app", "Music", "/Applications/Music.app"},
        {311, "/Applications/Outer.app", "Outer", "/Applications/Outer.app"},
        {420, "/usr/bin/player", "player", "/usr/bin/player"},
        {500, "pid-500", "zombie", std::nullopt},
        {600, "/usr/sbin/sshd", "sshd", "/usr/sbin/sshd"},
        {601, "pid-601", "sshd", std::nullopt},
        {602, "pid-602", "Process 602", std::nullopt},
        {999, "pid-999", "Process 999", std::nullopt},
    };
    for (const Case& c : cases) {
        const AppKey key = probe.appKey(c.pid);
        EXPECT_EQ(key.key, c.key) << c.pid;
        EXPECT_EQ(key.name, c.name) << c.pid;
        EXPECT_EQ(key.path, c.path) << c.pid;
    }
}

TEST(ProcEnergyProbe, BusyChildGainsCpuTime) {
    Child busy(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
    ASSERT_TRUE(busy.started);
    const auto pid = busy.pid();
    ProcEnergyProbe probe;
    const uint64_t now = probe.absoluteTime();
    const auto first = probe.counters(pid);
    QThread::msleep(300);
    const auto second = probe.counters(pid);
    const std::vector<int32_t> pids = probe.allPIDs();
    const AppKey key = probe.appKey(pid);
    ASSERT_TRUE(first && second);
    EXPECT_GT(second->cpu, first->cpu);
    EXPECT_EQ(second->startAbs, first->startAbs);
    EXPECT_EQ(first->energy, 0u);
    // Started a moment ago on the same clock.
    EXPECT_LE(first->startAbs, now);
    EXPECT_GT(first->startAbs + 10'000'000'000, now);
    EXPECT_TRUE(std::find(pids.begin(), pids.end(), pid) != pids.end());
    EXPECT_EQ(
        key.name,
        QFileInfo(QStringLiteral("/bin/sh")).canonicalFilePath().section(QLatin1Char('/'), -1).toStdString());
}

TEST(ProcEnergyProbe, SkipsRealKernelThreads) {
    ProcEnergyProbe probe;
    int kernelThreads = 0;
    for (const int32_t pid : probe.allPIDs()) {
        const auto stat = ProcessTable::stat(pid);
        if (!stat || !stat->isKernelThread) continue;
        ++kernelThreads;
        EXPECT_EQ(probe.counters(pid), std::nullopt) << pid;
        EXPECT_EQ(ProcessTable::exePath(pid), std::nullopt) << pid;
    }
    if (kernelThreads == 0) GTEST_SKIP() << "this process namespace shows no kernel threads";
}

} // namespace
} // namespace dormio
