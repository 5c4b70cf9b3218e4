#include "Dormio/Core/System/RunningApps.h"

#include "Dormio/Core/System/InstalledApps.h"
#include "Dormio/Core/System/KnownExecutables.h"
#include "Dormio/Core/System/ProcessTable.h"

#include <QHash>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/syscall.h>
#include <unistd.h>

namespace dormio {

const RunningApp* RunningAppsSnapshot::forPid(int32_t pid) const {
    const auto found = std::lower_bound(apps.begin(), apps.end(), pid,
                                        [](const RunningApp& app, int32_t id) { return app.pid < id; });
    return found != apps.end() && found->pid == pid ? &*found : nullptr;
}

namespace RunningApps {

namespace {

RunningApp make(int32_t pid, const QString& executable, const InstalledApp& app, uint64_t startTime) {
    RunningApp running;
    running.pid = pid;
    if (!app.entry.name.isEmpty()) running.localizedName = app.entry.name;
    running.executablePath = executable;
    running.bundlePath = app.entry.filePath;
    running.bundleID = app.entry.id;
    running.policy = app.entry.noDisplay ? ActivationPolicy::accessory : ActivationPolicy::regular;
    running.startTime = startTime;
    return running;
}

std::optional<QString> executableOf(int32_t pid) {
    const auto path = ProcessTable::exePath(pid);
    if (!path) return std::nullopt;
    return QString::fromStdString(*path);
}

// A child that runs its parent's executable (a browser's renderer, an editor's worker) is part of the
// parent app, not an app of its own: asking it to quit would only close a tab.
std::optional<RunningApp> appOf(int32_t pid, const QString& executable, const InstalledAppCatalog& catalog,
                                const std::function<std::optional<QString>(int32_t)>& executableOfPid) {
    const InstalledApp* app = catalog.launching(executable);
    if (!app) return std::nullopt;
    const auto stat = ProcessTable::stat(pid);
    if (!stat) return std::nullopt;
    if (stat->parentPid > 0 && executableOfPid(stat->parentPid) == executable) return std::nullopt;
    return make(pid, executable, *app, stat->startTime);
}

} // namespace

std::shared_ptr<const RunningAppsSnapshot> snapshot() {
    static KnownExecutables seen;
    auto taken = std::make_shared<RunningAppsSnapshot>();
    taken->installed = InstalledApps::all();
    const std::vector<ProcessTable::Entry> listed = ProcessTable::entries();
    taken->executables = seen.read(listed);
    const auto known = [&](int32_t pid) -> std::optional<QString> {
        const auto it = taken->executables.constFind(pid);
        if (it == taken->executables.cend()) return std::nullopt;
        return *it;
    };
    for (const ProcessTable::Entry& entry : listed)
        if (const auto executable = known(entry.pid))
            if (auto app = appOf(entry.pid, *executable, *taken->installed, known))
                taken->apps.push_back(std::move(*app));
    return taken;
}

std::vector<RunningApp> list() {
    return snapshot()->apps;
}

std::optional<RunningApp> forPid(int32_t pid) {
    if (pid < 1) return std::nullopt;
    const auto executable = executableOf(pid);
    if (!executable) return std::nullopt;
    return appOf(pid, *executable, *InstalledApps::all(), executableOf);
}

std::optional<ProcessStamp> stamp(int32_t pid) {
    if (pid < 1) return std::nullopt;
    const auto stat = ProcessTable::stat(pid);
    const auto executable = executableOf(pid);
    if (!stat || !executable) return std::nullopt;
    return ProcessStamp{stat->startTime, *executable};
}

QuitRequest terminate(const RunningApp& app) {
    const int32_t pid = app.pid;
    if (pid < 1) return QuitRequest::gone;
    // Holding a pidfd pins the process: once it is checked, the signal cannot reach a newer process
    // that reused the id in between.
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0 && errno == ESRCH) return QuitRequest::gone;
    const auto stat = ProcessTable::stat(pid);
    const bool same = stat && stat->startTime == app.startTime && executableOf(pid) == app.executablePath;
    int result = -1;
    if (same)
        result = pidfd >= 0 ? int(::syscall(SYS_pidfd_send_signal, pidfd, SIGTERM, nullptr, 0))
                            : ::kill(pid, SIGTERM);
    const int error = errno;
    if (pidfd >= 0) ::close(pidfd);
    if (!same) return QuitRequest::gone;
    if (result == 0) return QuitRequest::sent;
    return error == ESRCH ? QuitRequest::gone : QuitRequest::refused;
}

} // namespace RunningApps
} // namespace dormio
