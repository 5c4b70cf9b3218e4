// Who the processes are, as a live read and a night's kept-awake rows ask it: 600 installed application
// entries, 500 running processes of which 50 are installed applications.
#include "Dormio/Core/System/AppLookup.h"
#include "Dormio/Core/System/KnownExecutables.h"
#include "Dormio/Core/System/ProcessTable.h"
#include "Dormio/Core/System/RunningApps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

constexpr int entries = 600;
constexpr int runningApps = 50;
constexpr size_t processesWanted = 500;

QString appName(int n) {
    return QStringLiteral("app%1").arg(n, 3, 10, QLatin1Char('0'));
}

// The entries, the programs of the first 50 as copies of sleep, and the processes running them.
class Machine {
public:
    Machine() {
        const QString applications = folder.filePath(QStringLiteral("data/applications"));
        const QString bin = folder.filePath(QStringLiteral("bin"));
        QDir().mkpath(applications);
        QDir().mkpath(bin);
        for (int n = 0; n < entries; ++n) {
            QFile entry(applications + QLatin1Char('/') + appName(n) + QStringLiteral(".desktop"));
            entry.open(QIODevice::WriteOnly);
            entry.write("[Desktop Entry]\nType=Application\nName=App " + QByteArray::number(n) +
                        "\nExec=" + appName(n).toUtf8() + " %U\n");
            if (n < runningApps)
                QFile::copy(QStringLiteral("/bin/sleep"), bin + QLatin1Char('/') + appName(n));
        }
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder.filePath(QStringLiteral("data"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(folder.filePath(QStringLiteral("none"))));
        qputenv("PATH", QFile::encodeName(bin) + ":/usr/bin:/bin");
        for (int n = 0; n < runningApps; ++n)
            spawn(QFile::encodeName(bin + QLatin1Char('/') + appName(n)).toStdString());
        while (dormio::ProcessTable::pids().size() < processesWanted && spawn("/bin/sleep"))
            ;
        // A live read meets the processes the one before it met, 30 s ago: they are no longer new.
        std::this_thread::sleep_for(std::chrono::seconds(dormio::KnownExecutables::settledSeconds + 1));
    }
    ~Machine() {
        for (const pid_t pid : pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    std::vector<pid_t> pids;

private:
    bool spawn(const std::string& program) {
        std::string name = program.substr(program.rfind('/') + 1);
        char seconds[] = "600";
        char* argv[] = {name.data(), seconds, nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
        pids.push_back(pid);
        return true;
    }
    QTemporaryDir folder;
};

// One live read's identities: one snapshot of the running applications, then the 50 rows looked up in it,
// half of them applications and half other processes.
void liveReadIdentities(benchmark::State& state) {
    const Machine machine;
    std::vector<int32_t> rows(machine.pids.begin(), machine.pids.begin() + 25);
    rows.insert(rows.end(), machine.pids.end() - 25, machine.pids.end());
    for (auto _ : state) {
        const auto running = dormio::RunningApps::snapshot();
        for (const int32_t pid : rows)
            benchmark::DoNotOptimize(dormio::AppLookup::identity(*running, pid, "sleep"));
    }
}

// A night's eight kept-awake rows by process name: running applications, installed ones that do not run
// and processes no entry knows, looked up in the live read's snapshot.
void keptAwakeRows(benchmark::State& state) {
    const Machine machine;
    const auto running = dormio::RunningApps::snapshot();
    const std::vector<std::string> names{"app001", "app017", "app033",  "app049",
                                         "app300", "app599", "backupd", "cloudd"};
    for (auto _ : state)
        for (const std::string& name : names)
            benchmark::DoNotOptimize(dormio::AppLookup::identity(*running, name));
}

// The first live read, which meets every process for the first time: the executables of all of them.
void firstReadOfEveryExecutable(benchmark::State& state) {
    const Machine machine;
    const std::vector<dormio::ProcessTable::Entry> listed = dormio::ProcessTable::entries();
    for (auto _ : state) {
        dormio::KnownExecutables known;
        benchmark::DoNotOptimize(known.read(listed));
    }
}

// What every icon and identity of a redraw asks first: the installed entries, unchanged since last time.
void installedEntries(benchmark::State& state) {
    const Machine machine;
    benchmark::DoNotOptimize(dormio::InstalledApps::all());
    for (auto _ : state)
        benchmark::DoNotOptimize(dormio::InstalledApps::all());
}

BENCHMARK(installedEntries)->Unit(benchmark::kMicrosecond);
BENCHMARK(liveReadIdentities)->Unit(benchmark::kMillisecond);
BENCHMARK(keptAwakeRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(firstReadOfEveryExecutable)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
