// What the 30-second live read costs the pages that show it: the Right Now page following a new listing in
// which every holder has held on 30 seconds longer and one holder changed, against building the page anew
// from the same listing; and the Battery page, which a live read with the same battery leaves alone.
//
//   app-live-pages [Google Benchmark flags]

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/BatteryPage.h"
#include "Dormio/UI/Pages/RightNowPage.h"
#include "Slowest.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>

using namespace dormio;

namespace {

constexpr const char* types[] = {"PreventUserIdleSystemSleep", "PreventUserIdleDisplaySleep",
                                 "BackgroundTask"};

// `count` holders spread over the three ledgers, a third of them user apps; `tick` moves every age on by
// 30 s and swaps the last holder for another.
std::vector<LiveRow> listing(int count, int tick) {
    std::vector<LiveRow> rows;
    for (int i = 0; i < count; ++i) {
        const int pid = i == count - 1 ? 5000 + tick % 2 : 100 + i;
        const std::string name = "Holder " + std::to_string(pid);
        rows.push_back(LiveRow{
            LiveAssertion{pid, name, types[i % 3], "assertion " + std::to_string(i), 600.0 + 30 * tick},
            AppIdentity{name, std::nullopt, std::nullopt, i % 3 == 0}});
    }
    return rows;
}

// A store of its own, in folders of its own.
struct Fixture {
    QTemporaryDir home;
    std::unique_ptr<Store> store;
    Fixture() {
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        qputenv("DORMIO_SUPPORT_DIR", home.filePath("support").toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
        store = std::make_unique<Store>();
    }
};

void rightNowFollowsALiveRead(benchmark::State& state) {
    Fixture fixture;
    Store& store = *fixture.store;
    const int count = int(state.range(0));
    store.setLive(listing(count, 0));
    RightNowPage page(store);
    page.resize(1234, 848);
    page.show();
    int tick = 0;
    for (auto _ : state) {
        store.setLive(listing(count, ++tick));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["rows"] = count;
}

void rightNowBuiltAnew(benchmark::State& state) {
    Fixture fixture;
    Store& store = *fixture.store;
    const int count = int(state.range(0));
    store.setLive(listing(count, 0));
    for (auto _ : state) {
        RightNowPage page(store);
        page.resize(1234, 848);
        page.show();
    }
    state.counters["rows"] = count;
}

void batteryIgnoresALiveRead(benchmark::State& state) {
    Fixture fixture;
    Store& store = *fixture.store;
    store.setBattery(BatteryInfo{78, false, false, 545, 312, 4382, 3921, 30.6, "Normal"});
    BatteryPage page(store);
    page.resize(1234, 848);
    page.show();
    int tick = 0;
    for (auto _ : state) {
        store.setLive(listing(12, ++tick));
        store.setBattery(BatteryInfo{78, false, false, 545, 312, 4382, 3921, 30.6, "Normal"});
    }
}

void repeated(benchmark::internal::Benchmark* run) {
    bench::withSlowest(run->Unit(benchmark::kMicrosecond), 5);
}

BENCHMARK(rightNowFollowsALiveRead)->Arg(12)->Arg(40)->Apply(repeated);
BENCHMARK(rightNowBuiltAnew)->Arg(12)->Arg(40)->Apply(repeated);
BENCHMARK(batteryIgnoresALiveRead)->Apply(repeated);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Theme::install(app);
    Theme::setAppearance(Appearance::light);
    // Rows that come and go take their end at once: no event loop runs between two reads here.
    AnimationClock::shared().setMode(AnimationClock::Mode::instant);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
