#include "Dormio/Core/System/EnergyProbe.h"

#include "Dormio/Core/System/ProcessTable.h"
#include "DormioKit/ProcessNames.h"

#include <ctime>

namespace dormio {

namespace {

std::string_view lastComponent(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string withoutExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

} // namespace

ProcEnergyProbe::ProcEnergyProbe(std::string procRoot) : root(std::move(procRoot)) {}

std::vector<int32_t> ProcEnergyProbe::allPIDs() {
    return ProcessTable::pids(root);
}

std::optional<ProcessCounter> ProcEnergyProbe::counters(int32_t pid) {
    const auto stat = ProcessTable::stat(pid, root);
    if (!stat || stat->isKernelThread) return std::nullopt;
    return ProcessCounter{0, ProcessTable::ticksToNanoseconds(stat->cpuTicks),
                          ProcessTable::ticksToNanoseconds(stat->startTime)};
}

AppKey ProcEnergyProbe::appKey(int32_t pid) {
    // Another user's process hides its executable but not its command line nor its kernel name, which
    // name it as the user knows it.
    auto executable = ProcessTable::exePath(pid, root);
    if (!executable) executable = ProcessTable::commandPath(pid, root);
    if (!executable) {
        const std::string key = "pid-" + std::to_string(pid);
        const auto comm = ProcessTable::comm(pid, root);
        return {key, comm && !comm->empty() ? *comm : "Process " + std::to_string(pid), std::nullopt};
    }
    // Every program inside an app's bundle counts as that app.
    if (const auto bundle = ProcessNames::appBundle(*executable))
        return {*bundle, withoutExtension(lastComponent(*bundle)), *bundle};
    return {*executable, std::string(lastComponent(*executable)), *executable};
}

uint64_t ProcEnergyProbe::absoluteTime() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return uint64_t(now.tv_sec) * 1'000'000'000 + uint64_t(now.tv_nsec);
}

} // namespace dormio
