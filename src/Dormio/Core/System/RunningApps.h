#pragma once

#include <QString>
#include <cstdint>
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

// The running applications: processes whose executable an installed application entry launches.
namespace RunningApps {

// In process-id order.
std::vector<RunningApp> list();
std::optional<RunningApp> forPid(int32_t pid);
// Asks the app to quit with SIGTERM, but only while the pid still belongs to the same program
// (executable and start time): a pid that was reused is never signalled and gives `gone`.
QuitRequest terminate(const RunningApp& app);

} // namespace RunningApps
} // namespace dormio
