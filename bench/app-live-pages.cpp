// What the 30-second live read costs the pages that show it: the Right Now page following a new listing in
// which every holder has held on 30 seconds longer and one holder changed, against building the page anew
// from the same listing; and the Battery page, which a live read with the same battery leaves alone.
//
//   app-live-pages [Google Benchmark flags]

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Pages/BatteryPage.h"
#include "Dormio/UI/Pages/RightNowPage.h"
#include "Slowest.h"
#include "ViewBench.h"

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

void rightNowFollowsALiveRead(benchmark::State& state) {
    bench::StoreFixture fixture;
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
    bench::StoreFixture fixture;
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
    bench::StoreFixture fixture;
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
    // Rows that come and go take their end at once: no event loop runs between two reads here.
    return bench::runViews(argc, argv, AnimationClock::Mode::instant);
}
