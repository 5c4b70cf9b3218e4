// The store's whole log read, as a refresh runs it: reading the log, parsing it, building the nights,
// merging them with "nights.json" and writing it, until the main thread has published the result; and
// its live read of an assertion listing. Also the longest stretch the main thread spent on each without
// returning to its event loop.
//
//   make-power-log --days 7 --mb 64 --seed 42 --out week.log --assertions listing.txt
//   app-refresh week.log listing.txt [Google Benchmark flags]

#include "Dormio/Core/ReadThreads.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "DormioKit/NightJson.h"
#include "Slowest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

using namespace dormio;

namespace {

// The main thread's own CPU time, which a loaded machine's other work does not lengthen.
qint64 mainThreadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The CPU time of every thread of the process, the thread pool's workers included.
double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Times the gaps between the event loop's turns: the longest is the longest the main thread was busy, in
// real time and in its own CPU time.
class LoopProbe {
public:
    LoopProbe() {
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, sinceLast_.nsecsElapsed());
            sinceLast_.restart();
            const qint64 cpu = mainThreadCpuNs();
            longestCpu_ = std::max(longestCpu_, cpu - cpuAtLast_);
            cpuAtLast_ = cpu;
        });
        sinceLast_.start();
        cpuAtLast_ = mainThreadCpuNs();
        ticker_.start();
    }
    double longestMs() const { return longest_ / 1e6; }
    double longestCpuMs() const { return longestCpu_ / 1e6; }

private:
    QTimer ticker_;
    QElapsedTimer sinceLast_;
    qint64 longest_ = 0;
    qint64 cpuAtLast_ = 0;
    qint64 longestCpu_ = 0;
};

// 60 days of history: the nights of the log, and older copies of them under ids of their own.
std::string sixtyDays(const std::vector<Night>& fresh) {
    std::vector<Night> nights;
    for (int daysBack = 59; daysBack >= 8 && !fresh.empty(); --daysBack) {
        Night night = fresh[std::size_t(daysBack) % fresh.size()];
        night.id = "older-" + std::to_string(daysBack);
        night.start = fresh.back().start - daysBack * 86400.0;
        night.end = fresh.back().end - daysBack * 86400.0 + 3600;
        night.inProgress = false;
        nights.push_back(std::move(night));
    }
    nights.insert(nights.end(), fresh.begin(), fresh.end());
    return encodeNights(nights).value_or("[]");
}

// A night of a machine in a wake storm: about 500 dark wakes, 1 000 segments and 2 000 battery readings
// between 23:00 and 07:00, and the eight processes that held it awake.
Night stormNight(std::string id, Date start) {
    Night night;
    night.id = std::move(id);
    night.start = start;
    night.end = start + 8 * 3600.0;
    night.hasBattery = true;
    const double step = (night.end - night.start) / 1000;
    for (int i = 0; i < 1000; ++i)
        night.segments.push_back(
            {start + i * step, start + (i + 1) * step, i % 2 ? PowerState::dark : PowerState::asleep});
    for (int i = 1; i < 1000; i += 2) {
        NightEvent event;
        event.date = night.segments[std::size_t(i)].start;
        event.kind = NightEvent::Kind::darkWake;
        event.label = "Maintenance wake";
        event.symbol = "wrench.and.screwdriver";
        event.raw = "DarkWake from Deep Idle [CDNP] : due to RTC/Maintenance Using BATT (Charge:" +
                    std::to_string(90 - i / 20) + "%) 28 secs";
        event.duration = step;
        event.charge = 90 - i / 20;
        event.scheduledBy = "com.apple.powermanagement.wakeschedule \u00b7 maintenance";
        night.events.push_back(std::move(event));
    }
    for (int i = 0; i < 2000; ++i)
        night.battery.push_back({start + i * (step / 2), 90 - i / 40});
    for (int i = 0; i < 8; ++i)
        night.keptAwake.push_back(
            {"process" + std::to_string(i), "task", "PreventUserIdleSystemSleep", 600.0 - i});
    return night;
}

// 60 stormy nights before the log's newest: older ones under ids of their own, and in place of the log's
// nights (so that the refresh replaces them and writes the file again).
std::string stormHistory(const std::vector<Night>& fresh) {
    std::vector<Night> nights;
    const Date newest = fresh.empty() ? Date{} : fresh.back().start;
    for (int daysBack = 59; daysBack >= 0; --daysBack) {
        const std::size_t fromEnd = std::size_t(daysBack);
        std::string id = fromEnd < fresh.size() ? fresh[fresh.size() - 1 - fromEnd].id
                                                : "storm-" + std::to_string(daysBack);
        nights.push_back(stormNight(std::move(id), newest - daysBack * 86400.0));
    }
    return encodeNights(nights).value_or("[]");
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    return 0;
}

void writeFile(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

// One read in real time, from `begin` until `changed` is emitted with `done` true; the probe's longest
// stretch goes into `longestMs`.
template <typename Signal, typename Begin, typename Done>
double timed(Store& store, Signal changed, Begin begin, Done done, double& longestMs, double& longestCpuMs) {
    QEventLoop loop;
    QObject::connect(&store, changed, &loop, [&] {
        if (done()) loop.quit();
    });
    LoopProbe probe;
    QElapsedTimer clock;
    clock.start();
    begin();
    const double startMs = clock.nsecsElapsed() / 1e6; // the main thread's part before the read starts
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    longestMs = std::max({longestMs, startMs, probe.longestMs()});
    longestCpuMs = std::max(longestCpuMs, probe.longestCpuMs());
    return seconds;
}

// The longest stretches of the main thread over the reads timed, in real time and in CPU time.
struct MainThread {
    double longestMs = 0;
    double longestCpuMs = 0;
};

double timedRefresh(Store& store, MainThread& main) {
    return timed(
        store, &Store::loadingChanged, [&] { store.refreshLog(); }, [&] { return !store.loading(); },
        main.longestMs, main.longestCpuMs);
}

double timedLiveRead(Store& store, MainThread& main) {
    return timed(
        store, &Store::lastLiveReadChanged, [&] { store.refreshNow(); }, [] { return true; }, main.longestMs,
        main.longestCpuMs);
}

enum class History { none, sixtyDays, storm, stormWritten };

// What "nights.json" holds before each refresh.
std::string historyBefore(Store& store, History history) {
    MainThread ignored;
    switch (history) {
    case History::none:
        return {};
    case History::sixtyDays:
        return sixtyDays(store.nights());
    case History::storm:
        return stormHistory(store.nights());
    case History::stormWritten: // what a refresh wrote after the storm: the next finds nothing to write
        writeFile(store.historyURL(), stormHistory(store.nights()));
        timedRefresh(store, ignored);
        QFile file(store.historyURL());
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }
    return {};
}

// `rss_mib` is the process's resident memory once the last refresh has settled, to set against a run with no
// history; the history's text waits in a file of its own, so the bench holds none of it. `work_cpu_ms` is the
// CPU time of the refresh's work off the main thread (the probe keeps the main thread spinning).
void refresh(benchmark::State& state, History history) {
    QTemporaryDir dir;
    qputenv("DORMIO_SUPPORT_DIR", dir.filePath("support").toUtf8());
    Toast toast;
    Store store(Platform::system(), toast);
    MainThread ignored;
    timedRefresh(store, ignored); // warms the page cache and gives the nights the history is made of
    const QString before = dir.filePath("before.json");
    writeFile(before, historyBefore(store, history));
    ReadThreads::giveBackFreedMemory();

    MainThread main;
    double workCpuMs = 0;
    for (auto _ : state) {
        // What the last refresh left to free is freed before the next starts, as it is between refreshes
        // minutes apart.
        QThreadPool::globalInstance()->waitForDone();
        QFile::remove(store.historyURL());
        if (history != History::none) QFile::copy(before, store.historyURL());
        const double processBefore = processCpuMs(), mainBefore = double(mainThreadCpuNs()) / 1e6;
        state.SetIterationTime(timedRefresh(store, main));
        workCpuMs += processCpuMs() - processBefore - (double(mainThreadCpuNs()) / 1e6 - mainBefore);
    }
    state.counters["work_cpu_ms"] = workCpuMs / double(state.iterations());
    state.counters["nights"] = double(store.nights().size());
    state.counters["main_ms"] = main.longestMs;
    state.counters["main_cpu_ms"] = main.longestCpuMs;
    // The list a refresh leaves over is freed on the thread pool after it, and that is when its pages go.
    QThreadPool::globalInstance()->waitForDone();
    state.counters["rss_mib"] = double(residentKiB()) / 1024;
    state.counters["history_mb"] = double(QFileInfo(before).size()) / 1e6;
}

// The live read: the listing and the battery off the main thread, then on it the app identity of every
// holder, looked up in the running system.
void liveRead(benchmark::State& state) {
    QTemporaryDir dir;
    qputenv("DORMIO_SUPPORT_DIR", dir.filePath("support").toUtf8());
    Toast toast;
    Store store(Platform::system(), toast);
    MainThread main;
    for (auto _ : state)
        state.SetIterationTime(timedLiveRead(store, main));
    state.counters["holders"] = double(store.live().size());
    state.counters["main_ms"] = main.longestMs;
    state.counters["main_cpu_ms"] = main.longestCpuMs;
}

void firstRead(benchmark::State& state) {
    refresh(state, History::none);
}
void withSixtyDays(benchmark::State& state) {
    refresh(state, History::sixtyDays);
}
void withSixtyStormNights(benchmark::State& state) {
    refresh(state, History::storm);
}
void withSixtyStormNightsUnchanged(benchmark::State& state) {
    refresh(state, History::stormWritten);
}

// Each read is timed once per repetition; nine repetitions give the median and the slowest.
void timedOnce(benchmark::internal::Benchmark* run) {
    bench::withSlowest(run->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1), 9);
}

BENCHMARK(firstRead)->Apply(timedOnce);
BENCHMARK(withSixtyDays)->Apply(timedOnce);
BENCHMARK(withSixtyStormNights)->Apply(timedOnce);
BENCHMARK(withSixtyStormNightsUnchanged)->Apply(timedOnce);
BENCHMARK(liveRead)->Apply(timedOnce);

} // namespace

int main(int argc, char** argv) {
    ReadThreads::shareOneHeap(); // as the application does
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (argc != 3) {
        std::fputs("usage: app-refresh LOGFILE LISTINGFILE [benchmark flags]\n", stderr);
        return 2;
    }
    // Settings and the data folder go to a folder of the run's own, never the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    qputenv("DORMIO_LOG_FIXTURE", argv[1]);
    qputenv("DORMIO_ASSERTIONS_FIXTURE", argv[2]);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
