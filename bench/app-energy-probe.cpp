// One energy collection over /proc: every process's counters, and the app key of each new one.
// Sleeping children are started first so that at least 500 processes run.
#include "Dormio/Core/System/EnergyProbe.h"

#include <benchmark/benchmark.h>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

namespace {

constexpr size_t processesWanted = 500;

class Sleepers {
public:
    explicit Sleepers(size_t running) {
        char sleep[] = "sleep";
        char seconds[] = "600";
        char* argv[] = {sleep, seconds, nullptr};
        for (size_t n = running; n < processesWanted; ++n) {
            pid_t pid = 0;
            if (posix_spawn(&pid, "/bin/sleep", nullptr, nullptr, argv, environ) != 0) break;
            pids.push_back(pid);
        }
    }
    ~Sleepers() {
        for (const pid_t pid : pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    std::vector<pid_t> pids;
};

// One collection: the counters of every process; the first collection also looks up every app key, later
// ones know them already.
void collection(benchmark::State& state, bool newProcesses) {
    dormio::ProcEnergyProbe probe;
    const Sleepers sleepers(probe.allPIDs().size());
    size_t processes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(probe.absoluteTime());
        const std::vector<int32_t> pids = probe.allPIDs();
        for (const int32_t pid : pids) {
            const auto counter = probe.counters(pid);
            benchmark::DoNotOptimize(counter);
            if (newProcesses && counter) benchmark::DoNotOptimize(probe.appKey(pid));
        }
        processes = pids.size();
    }
    state.counters["processes"] = double(processes);
}

BENCHMARK_CAPTURE(collection, knownProcesses, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(collection, newProcesses, true)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
