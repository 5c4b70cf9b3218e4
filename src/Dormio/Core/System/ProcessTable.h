#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio::ProcessTable {

// The few fields of /proc/<pid>/stat the app needs. Times are in clock ticks (ticksPerSecond()).
struct Stat {
    int32_t parentPid = 0;
    uint64_t cpuTicks = 0;  // utime + stime
    uint64_t startTime = 0; // since boot
    bool isKernelThread = false;
    bool operator==(const Stat&) const = default;
};

inline constexpr std::string_view defaultRoot = "/proc";

// A process's folder as the listing gives it. The kernel makes the folder of /proc afresh, with a new inode
// number, for each process that takes an id, so an id seen again with the same inode is the same process.
struct Entry {
    int32_t pid = 0;
    uint64_t inode = 0;
    bool operator==(const Entry&) const = default;
};

// Every process, in id order, read in one pass over the folder.
std::vector<Entry> entries(std::string_view root = defaultRoot);
// Every process id, ascending.
std::vector<int32_t> pids(std::string_view root = defaultRoot);
std::optional<Stat> stat(int32_t pid, std::string_view root = defaultRoot);
// The executable's absolute path; absent for kernel threads, zombies and processes we may not inspect.
std::optional<std::string> exePath(int32_t pid, std::string_view root = defaultRoot);
// The kernel's short name of the process.
std::optional<std::string> comm(int32_t pid, std::string_view root = defaultRoot);
// The program its command line starts with, when that is an absolute path. Readable for processes whose
// executable is not (another user's daemons); the process itself chose it, so it only names.
std::optional<std::string> commandPath(int32_t pid, std::string_view root = defaultRoot);

uint64_t ticksPerSecond();
// The time since boot in clock ticks, on the clock that start times are counted on.
uint64_t ticksSinceBoot();
uint64_t ticksToNanoseconds(uint64_t ticks);

} // namespace dormio::ProcessTable
