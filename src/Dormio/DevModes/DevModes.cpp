#include "Dormio/DevModes/DevModes.h"

#include "Dormio/DevModes/DemoDriver.h"
#include "Dormio/DevModes/SelfTest.h"
#include "Dormio/DevModes/Snapshotter.h"

namespace dormio {

void DevModes::start(const RunMode& mode, Store& store, const EnvLookup& env, KitClock& clock) {
    switch (mode.kind) {
    case RunMode::Kind::snapshot:
        Snapshotter::run(QString::fromStdString(mode.snapshotDir));
        return;
    case RunMode::Kind::selfTest:
        SelfTest::run(store, env);
        return;
    case RunMode::Kind::demo:
        DemoDriver::run(store, env, clock);
        return;
    case RunMode::Kind::normal:
        return;
    }
}

} // namespace dormio
