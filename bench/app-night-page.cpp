// What the main thread does when the user steps to another night on the Last Night page: the store moves
// its selection, the page tells the new night in its body and starts the cross-fade, the layouts settle as
// the event loop would settle them before painting, and the window paints the first frame of it into its
// backing store at a pixel ratio of 2, as on a high-density screen. Over the sample month, and over a busy
// night of 60 moments and 8 holders. Beside the times, the main thread's CPU time of the step and of the
// first frame apart, of the fade's next frame, and of painting the whole page again with nothing changed.
//
//   app-night-page [Google Benchmark flags]

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Pages/NightPage.h"
#include "Dormio/UI/Pages/PageScroll.h"
#include "Slowest.h"
#include "ViewBench.h"

#include <QWindow>
#include <benchmark/benchmark.h>
#include <ctime>

using namespace dormio;

namespace {

// The main thread's CPU time in milliseconds.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The sample month with every other night made busy: 60 moments of distinct kinds and 8 holders.
std::vector<Night> nights(bool busy) {
    std::vector<Night> nights = DemoData::makeNights();
    if (!busy) return nights;
    for (std::size_t n = 0; n < nights.size(); n += 2) {
        Night& night = nights[n];
        for (int i = 0; i < 60; ++i) {
            NightEvent wake;
            wake.kind = NightEvent::Kind::darkWake;
            wake.date = night.start + 300.0 * i;
            wake.label = "Wake request " + std::to_string(i);
            wake.raw = "DarkWake from Deep Idle [CDNP] : due to RTC/Maintenance " + std::to_string(i);
            wake.duration = 40;
            wake.scheduledBy = "com.apple.dasd:task:" + std::to_string(i);
            night.events.push_back(wake);
        }
        for (int i = 0; i < 8; ++i)
            night.keptAwake.push_back(
                {"holder" + std::to_string(i), "reason", "PreventUserIdleSystemSleep", 60.0 * i});
    }
    return nights;
}

// Paints what the page has asked to paint, as the event loop does for the next frame.
void paintPending(NightPage& page) {
    QCoreApplication::sendPostedEvents(&page, QEvent::UpdateRequest);
}

void stepToAnotherNight(benchmark::State& state) {
    const bool busy = state.range(0) != 0;
    bench::StoreFixture fixture;
    Store& store = *fixture.store;
    store.setNights(nights(busy));
    NightPage page(store);
    page.resize(1234, 848);
    page.show();
    while (!page.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    paintPending(page);
    AnimationClock& clock = AnimationClock::shared();
    int offset = -1;
    double step = 0, first = 0, next = 0, again = 0;
    for (auto _ : state) {
        const double start = threadMilliseconds();
        store.step(offset);
        offset = -offset;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const double stepped = threadMilliseconds();
        paintPending(page);
        const double painted = threadMilliseconds();
        state.PauseTiming();
        clock.advance(AnimationClock::frameInterval);
        double mark = threadMilliseconds();
        paintPending(page);
        next += threadMilliseconds() - mark;
        // The scroller's paper is opaque: the page's own update leaves it out.
        page.update();
        page.scroller()->widget()->update();
        mark = threadMilliseconds();
        paintPending(page);
        again += threadMilliseconds() - mark;
        clock.advance(std::chrono::seconds(1)); // the fade is over before the next step
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        paintPending(page);
        QCoreApplication::sendPostedEvents(); // and whatever else the event loop would deliver by then
        state.ResumeTiming();
        step += stepped - start;
        first += painted - stepped;
    }
    const double steps = double(state.iterations());
    state.counters["step_ms"] = step / steps;
    state.counters["frame_ms"] = first / steps;
    state.counters["next_ms"] = next / steps;
    state.counters["again_ms"] = again / steps;
}

BENCHMARK(stepToAnotherNight)
    ->ArgName("busy")
    ->Arg(0)
    ->Arg(1)
    ->Apply([](benchmark::internal::Benchmark* run) {
        bench::withSlowest(run->Unit(benchmark::kMillisecond), 5);
    });

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    // The cross-fade moves only when the bench moves the clock: no event loop runs between two steps.
    return bench::runViews(argc, argv, AnimationClock::Mode::stepped);
}
