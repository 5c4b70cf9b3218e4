#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

// One process's counters at one reading.
struct ProcessCounter {
    uint64_t energy = 0;   // billed energy, nanojoules
    uint64_t cpu = 0;      // user + system time, nanoseconds
    uint64_t startAbs = 0; // start, nanoseconds since boot: with the pid it tells a process from a later one
    bool operator==(const ProcessCounter&) const = default;
};

struct AppKey {
    std::string key;
    std::string name;
    std::optional<std::string> path;
};

// The energy recorder's window on the processes; an interface so that the recorder can be tested over
// a scripted probe.
class EnergyProbe {
public:
    virtual ~EnergyProbe() = default;
    virtual std::vector<int32_t> allPIDs() = 0;
    // Absent when the process has gone or is not one to count.
    virtual std::optional<ProcessCounter> counters(int32_t pid) = 0;
    virtual AppKey appKey(int32_t pid) = 0;
    // Nanoseconds since boot, the clock of startAbs.
    virtual uint64_t absoluteTime() = 0;
};

// Over /proc. The kernel bills no energy per process, so energy reads 0 and the CPU time carries the
// estimate. Kernel threads are skipped.
class ProcEnergyProbe final : public EnergyProbe {
public:
    explicit ProcEnergyProbe(std::string procRoot = "/proc");
    std::vector<int32_t> allPIDs() override;
    std::optional<ProcessCounter> counters(int32_t pid) override;
    AppKey appKey(int32_t pid) override;
    uint64_t absoluteTime() override;

private:
    std::string root;
};

} // namespace dormio
