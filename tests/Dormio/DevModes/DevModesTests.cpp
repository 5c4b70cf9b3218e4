// Start-up hands control to a developer mode, which starts nothing of the normal run and ends the
// application.

#include "Dormio/DevModes/DevModes.h"
#include "Dormio/DevModes/SelfTest.h"
#include "StoreTests.h"

#include <QCoreApplication>
#include <QTimer>
#include <map>

namespace dormio::testing {
namespace {

constexpr int exitedByTimeOut = 99;

// Runs the event loop until something ends it, or for at most `limit`. The time-out belongs to this call
// alone: left pending, it would end the event loop of a later test.
int runEventLoop(std::chrono::milliseconds limit) {
    QTimer timeOut;
    timeOut.setSingleShot(true);
    QObject::connect(&timeOut, &QTimer::timeout, [] { QCoreApplication::exit(exitedByTimeOut); });
    timeOut.start(limit);
    return QCoreApplication::exec();
}

EnvLookup environment(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    };
}

using DevModesStart = StoreTest;

TEST_F(DevModesStart, ADeveloperModeStartsNothingOfItsOwnAndEndsTheApplication) {
    // The self-test ends the process itself; here it ends the event loop instead.
    SelfTest::setProcessEnd([](int status) { QCoreApplication::exit(status); });
    // The snapshot mode drives the shared store itself; its run is tested as the application.
    // The self-test, without its fixture variables, refuses; the demo finds no window to record.
    const std::map<std::string, int> statuses = {{"DORMIO_SELFTEST", 2}, {"DORMIO_DEMO_DIR", 1}};
    for (const auto& [variable, status] : statuses) {
        SCOPED_TRACE(variable);
        Store& s = makeStore();
        const EnvLookup env = environment({{variable, ""}});
        KitClock clock(KitClock::Mode::step);
        QTimer::singleShot(0, &s, [&] {
            DevModes::start(chooseRunMode(env), s, env, clock);
            clock.advance(60);
        });
        EXPECT_EQ(runEventLoop(std::chrono::seconds(2)), status);
        EXPECT_FALSE(store->loading());
        EXPECT_FALSE(store->loadedOnce());
        EXPECT_FALSE(store->showWelcome());
        store.reset();
    }
    SelfTest::setProcessEnd({});
}

} // namespace
} // namespace dormio::testing
