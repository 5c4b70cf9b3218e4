#pragma once

#include "Dormio/Core/System/InstalledApps.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace dormio {

// Regular: an app the user launched from the desktop's application list. Accessory: an installed
// application entry hidden from that list (NoDisplay=true).
enum class ActivationPolicy { regular, accessory, prohibited };

struct RunningApp {
    int32_t pid = 0;
    std::optional<QString> localizedName;
    std::optional<QString> executablePath;
    std::optional<QString> bundlePath; // the application entry (.desktop file) that launches it
    std::optional<QString> bundleID;   // that entry's desktop file id, e.g. "org.example.Foo"
    ActivationPolicy policy = ActivationPolicy::regular;
    uint64_t startTime = 0; // clock ticks since boot; tells this process from a later one with the same pid
};

enum class QuitRequest { sent, refused, gone };

// What a process runs, recorded when it was seen: with its pid it tells it from a later process that
// reuses the id.
struct ProcessStamp {
    uint64_t startTime = 0; // clock ticks since boot
    QString executable;
    bool operator==(const ProcessStamp&) const = default;
};

// The running applications at one moment, and the executable of every process that could be read then.
// A live read takes one and looks every identity up in it.
struct RunningAppsSnapshot {
    std::vector<RunningApp> apps; // in process-id order
    QHash<int32_t, QString> executables;
    std::shared_ptr<const InstalledAppCatalog> installed; // the entries the apps were found through

    const RunningApp* forPid(int32_t pid) const;
};

// The running applications as the store sees them: over /proc and the installed entries
// (ProcRunningApps), or a fake in tests and the developer modes.
class RunningAppsSource {
public:
    virtual ~RunningAppsSource() = default;
    virtual std::shared_ptr<const RunningAppsSnapshot> snapshot() = 0;
    // The application with this pid now, if there is one.
    virtual std::optional<RunningApp> runningApp(int32_t pid) = 0;
    // What the process with this pid runs now; none when it has gone or cannot be read.
    virtual std::optional<ProcessStamp> stamp(int32_t pid) = 0;
};

// Asking an app to quit: SIGTERM (SigtermQuit), or a fake that records the requests.
class QuitSignal {
public:
    virtual ~QuitSignal() = default;
    // Only while the pid still runs what `app` recorded (executable and start time): a pid that was reused
    // is never signalled and gives `gone`.
    virtual QuitRequest terminate(const RunningApp& app) = 0;
};

// The running applications: processes whose executable an installed application entry launches.
namespace RunningApps {

std::shared_ptr<const RunningAppsSnapshot> snapshot();
// In process-id order.
std::vector<RunningApp> list();
std::optional<RunningApp> forPid(int32_t pid);
std::optional<ProcessStamp> stamp(int32_t pid);
QuitRequest terminate(const RunningApp& app);

} // namespace RunningApps

class ProcRunningApps final : public RunningAppsSource {
public:
    std::shared_ptr<const RunningAppsSnapshot> snapshot() override { return RunningApps::snapshot(); }
    std::optional<RunningApp> runningApp(int32_t pid) override { return RunningApps::forPid(pid); }
    std::optional<ProcessStamp> stamp(int32_t pid) override { return RunningApps::stamp(pid); }
};

class SigtermQuit final : public QuitSignal {
public:
    QuitRequest terminate(const RunningApp& app) override { return RunningApps::terminate(app); }
};

} // namespace dormio
