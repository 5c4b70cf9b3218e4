#include "Dormio/Core/Platform.h"

namespace dormio {

Platform Platform::system() {
    return {std::make_shared<SysfsBattery>(),
            std::make_shared<ProcRunningApps>(),
            std::make_shared<AutostartLoginItem>(),
            std::make_shared<SigtermQuit>(),
            std::make_shared<ProcEnergyProbe>(),
            LogSources::powerLog(),
            LogSources::assertions()};
}

} // namespace dormio
