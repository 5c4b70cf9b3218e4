// The store's whole log read, as a refresh runs it: reading the log, parsing it, building the nights,
// merging them with "nights.json" and writing it, until the main thread has published the result; and
// its live read of an assertion listing. Also the longest stretch the main thread spent on each without
// returning to its event loop.
//
//   make-power-log --days 7 --mb 64 --seed 42 --out week.log --assertions listing.txt
//   app-refresh week.log listing.txt [Google Benchmark flags]

#include "Dormio/Core/Store.h"
#include "DormioKit/NightJson.h"
#include "Slowest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>

using namespace dormio;

namespace {

// Times the gaps between the event loop's turns: the longest is the longest the main thread was busy.
class LoopProbe {
public:
    LoopProbe() {
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, sinceLast_.nsecsElapsed());
            sinceLast_.restart();
        });
        sinceLast_.start();
        ticker_.start();
    }
    double longestMs() const { return longest_ / 1e6; }

private:
    QTimer ticker_;
    QElapsedTimer sinceLast_;
    qint64 longest_ = 0;
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

void writeFile(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

// One read in real time, from `begin` until `changed` is emitted with `done` true; the probe's longest
// stretch goes into `longestMs`.
template <typename Signal, typename Begin, typename Done>
double timed(Store& store, Signal changed, Begin begin, Done done, double& longestMs) {
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
    return seconds;
}

double timedRefresh(Store& store, double& longestMs) {
    return timed(
        store, &Store::loadingChanged, [&] { store.refreshLog(); }, [&] { return !store.loading(); },
        longestMs);
}

double timedLiveRead(Store& store, double& longestMs) {
    return timed(
        store, &Store::lastLiveReadChanged, [&] { store.refreshNow(); }, [] { return true; }, longestMs);
}

void refresh(benchmark::State& state, bool withHistory) {
    QTemporaryDir dir;
    qputenv("DORMIO_SUPPORT_DIR", dir.filePath("support").toUtf8());
    Store store;
    double ignored = 0;
    timedRefresh(store, ignored); // warms the page cache and gives the nights the history is made of
    const std::string history = withHistory ? sixtyDays(store.nights()) : std::string();

    double longestMs = 0;
    for (auto _ : state) {
        if (withHistory)
            writeFile(store.historyURL(), history);
        else
            QFile::remove(store.historyURL());
        state.SetIterationTime(timedRefresh(store, longestMs));
    }
    state.counters["nights"] = double(store.nights().size());
    state.counters["main_ms"] = longestMs;
}

// The live read: the listing and the battery off the main thread, then on it the app identity of every
// holder, looked up in the running system.
void liveRead(benchmark::State& state) {
    QTemporaryDir dir;
    qputenv("DORMIO_SUPPORT_DIR", dir.filePath("support").toUtf8());
    Store store;
    double longestMs = 0;
    for (auto _ : state)
        state.SetIterationTime(timedLiveRead(store, longestMs));
    state.counters["holders"] = double(store.live().size());
    state.counters["main_ms"] = longestMs;
}

void firstRead(benchmark::State& state) {
    refresh(state, false);
}
void withSixtyDays(benchmark::State& state) {
    refresh(state, true);
}

// Each read is timed once per repetition; nine repetitions give the median and the slowest.
void timedOnce(benchmark::internal::Benchmark* run) {
    bench::withSlowest(run->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1), 9);
}

BENCHMARK(firstRead)->Apply(timedOnce);
BENCHMARK(withSixtyDays)->Apply(timedOnce);
BENCHMARK(liveRead)->Apply(timedOnce);

} // namespace

int main(int argc, char** argv) {
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
