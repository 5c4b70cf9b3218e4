#pragma once

// The machine as the store sees it: the battery, the running applications, the login item, the quit
// signal, the energy counters, the power log and the assertion listing, each a small interface. The Linux
// layers are the defaults; tests, the sample data and the developer modes hand in fakes.

#include "Dormio/Core/System/BatteryReader.h"
#include "Dormio/Core/System/EnergyProbe.h"
#include "Dormio/Core/System/LogSources.h"
#include "Dormio/Core/System/LoginItem.h"
#include "Dormio/Core/System/RunningApps.h"

#include <memory>

namespace dormio {

struct Platform {
    std::shared_ptr<BatterySource> battery;
    std::shared_ptr<RunningAppsSource> apps;
    std::shared_ptr<LoginItemService> loginItem;
    std::shared_ptr<QuitSignal> quit;
    std::shared_ptr<EnergyProbe> energy;
    std::shared_ptr<PowerLogSource> log;
    std::shared_ptr<AssertionSource> assertions;

    // The Linux layers: /sys/class/power_supply, /proc with the installed entries, the autostart entry,
    // SIGTERM, and the log and listing that LogSources picks.
    static Platform system();
};

} // namespace dormio
