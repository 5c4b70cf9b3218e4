// The energy recorder's costs: one collection over 500 processes, loading a full 14-day "energy.json"
// (5-minute samples of 200 apps each), and the main thread's share of recording one sample into it.

#include "Dormio/Core/EnergyRecorder.h"
#include "DormioKit/EnergyJson.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

using namespace dormio;

namespace {

constexpr int processCount = 500;
constexpr int appCount = 200;
constexpr int sampleCount = 14 * 24 * 12; // every 5 minutes for 14 days

std::string appPath(int app) {
    return "/usr/lib/app-" + std::to_string(app) + "/bin/app-" + std::to_string(app);
}

// A /proc of 500 user processes, each with its stat and exe link.
class FakeProc {
public:
    FakeProc() {
        for (int pid = 1000; pid < 1000 + processCount; ++pid)
            writeProcess(pid, uint64_t(pid));
    }
    std::string root() const { return dir_.path().toStdString(); }
    // Every process spends one more tick.
    void tick() {
        ++ticks_;
        for (int pid = 1000; pid < 1000 + processCount; ++pid)
            writeProcess(pid, uint64_t(pid) + ticks_);
    }

private:
    void writeProcess(int pid, uint64_t cpu) {
        const QString folder = dir_.filePath(QString::number(pid));
        QDir().mkpath(folder);
        char line[256];
        const int n = std::snprintf(
            line, sizeof line, "%d (app %d) S 1 1 1 0 -1 4194304 10 0 0 0 %llu 3 0 0 20 0 1 0 %d 1000 100\n",
            pid, pid, static_cast<unsigned long long>(cpu), pid);
        QFile stat(folder + "/stat");
        stat.open(QIODevice::WriteOnly);
        stat.write(line, n);
        QFile::link(QString::fromStdString(appPath(pid % appCount)), folder + "/exe");
    }

    QTemporaryDir dir_;
    uint64_t ticks_ = 0;
};

void firstCollection(benchmark::State& state) {
    FakeProc proc;
    ProcEnergyProbe probe(proc.root());
    for (auto _ : state)
        benchmark::DoNotOptimize(EnergyRecorder::collect(probe, {}, 0));
}
BENCHMARK(firstCollection)->Unit(benchmark::kMillisecond);

void laterCollection(benchmark::State& state) {
    FakeProc proc;
    ProcEnergyProbe probe(proc.root());
    EnergyRecorder::Collection previous = EnergyRecorder::collect(probe, {}, 0);
    for (auto _ : state) {
        state.PauseTiming();
        proc.tick();
        state.ResumeTiming();
        benchmark::DoNotOptimize(EnergyRecorder::collect(probe, previous.counters, previous.abs));
    }
}
BENCHMARK(laterCollection)->Unit(benchmark::kMillisecond);

// A probe whose 200 apps each spend 10 ms more CPU time on every reading.
class BusyApps : public EnergyProbe {
public:
    std::vector<int32_t> allPIDs() override {
        ++readings_;
        std::vector<int32_t> pids;
        for (int32_t pid = 1; pid <= appCount; ++pid)
            pids.push_back(pid);
        return pids;
    }
    std::optional<ProcessCounter> counters(int32_t) override {
        return ProcessCounter{0, readings_ * 10'000'000, 1};
    }
    AppKey appKey(int32_t pid) override { return {appPath(pid), "app", appPath(pid)}; }
    uint64_t absoluteTime() override { return 1000 + readings_; }

private:
    uint64_t readings_ = 0;
};

// "energy.json" at its largest: 14 days of samples, every app in every one.
QString writeFullFile(const QTemporaryDir& dir) {
    EnergyFile file;
    const Date now = Date::fromUnix(double(QDateTime::currentSecsSinceEpoch()));
    for (int i = 0; i < sampleCount; ++i) {
        EnergySample sample{now - (sampleCount - i) * 300.0, {}};
        for (int app = 0; app < appCount; ++app)
            sample.apps[appPath(app)] = 12.345678 + app * 0.7 + i * 0.01;
        file.samples.push_back(std::move(sample));
    }
    for (int app = 0; app < appCount; ++app)
        file.apps[appPath(app)] = EnergyAppInfo{"app", appPath(app)};
    const QString url = dir.filePath("energy.json");
    QFile out(url);
    out.open(QIODevice::WriteOnly);
    const std::string json = *encodeEnergyFile(file);
    out.write(json.data(), qint64(json.size()));
    return url;
}

void loadFullFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString url = writeFullFile(dir);
    state.counters["bytes"] = double(QFile(url).size());
    for (auto _ : state) {
        auto recorder = std::make_unique<EnergyRecorder>(url, std::make_unique<BusyApps>());
        state.PauseTiming();
        recorder.reset(); // waits for the writer's own copy, which is not the main thread's time
        state.ResumeTiming();
    }
}
BENCHMARK(loadFullFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// CPU time of this (the main) thread for sample() and applying its result, while the collection, the
// encoding and the write run elsewhere.
void recordIntoFullFile(benchmark::State& state) {
    QTemporaryDir dir;
    EnergyRecorder recorder(writeFullFile(dir), std::make_unique<BusyApps>());
    QEventLoop loop;
    QObject::connect(&recorder, &EnergyRecorder::sampleApplied, &loop, &QEventLoop::quit);
    recorder.sample(); // primes
    loop.exec();
    for (auto _ : state) {
        recorder.sample();
        loop.exec();
        state.PauseTiming();
        recorder.flush();
        state.ResumeTiming();
    }
    state.counters["samples"] = double(recorder.file().samples.size());
}
BENCHMARK(recordIntoFullFile)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
