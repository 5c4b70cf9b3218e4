#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/DevModes/Snapshotter.h"

#include <QMainWindow>
#include <algorithm>

namespace dormio::Snapshotter {

namespace {

void sizeMainWindow(QSize size, bool centred) {
    QMainWindow* window = mainWindow();
    if (!window) return;
    window->resize(size);
    if (centred) centre(*window);
}

// The moment the night page's cursor rests on: just past the first dark wake in the night's second half
// or so, where the trace has something to read.
std::optional<Date> scrubMoment(const Night* night) {
    if (!night) return std::nullopt;
    const Date after = night->start + 0.45 * night->duration();
    for (const NightEvent& moment : night->wakeMoments())
        if (moment.kind == NightEvent::Kind::darkWake && moment.date > after) return moment.date + 1;
    return std::nullopt;
}

// The fourth-newest finished night, hovered on the 30-night history; none with fewer than four.
std::optional<std::string> hoveredNight(const std::vector<Night>& nights) {
    std::vector<const Night*> finished;
    for (const Night& night : nights)
        if (!night.inProgress) finished.push_back(&night);
    if (finished.size() > 30) finished.erase(finished.begin(), finished.end() - 30);
    if (finished.size() < 4) return std::nullopt;
    return finished[finished.size() - 4]->id;
}

} // namespace

void windowScreens(Store& store, const QDir& out, const QString& suffix) {
    Toast& toast = store.toast();
    DemoState& demo = store.demoState();
    // Every state is reached whether or not its picture is wanted, so a filtered run draws the same.
    const auto shot = [&](const QString& name, const std::function<void()>& setup) {
        toast.clear();
        setup();
        settle();
        if (wanted(name)) captureWindow(name, out, suffix);
    };
    const auto page = [&](Page page) { return [&store, page] { store.setPage(page); }; };

    sizeMainWindow({1180, 860}, true);
    store.setNights({});
    store.setLoadedOnce(false);
    store.setLive({});
    store.setBattery(std::nullopt);
    shot("01-loading", page(Page::night));
    store.setLoadedOnce(true);
    shot("02-no-nights", page(Page::night));
    shot("03-history-empty", page(Page::history));

    DemoData::apply(store);
    store.setSelectedNightID(store.defaultNightID());
    const std::optional<Date> scrub = scrubMoment(store.selectedNight());
    shot("04-night", [&] {
        store.setPage(Page::night);
        demo.setDemoScrub(scrub);
    });
    demo.setDemoScrub(std::nullopt);
    shot("05-night-kept", [&] { demo.setSnapshotScroll("kept"); });
    shot("05-night-bottom", [&] { demo.setSnapshotScroll("bottom"); });
    demo.setSnapshotScroll("top");
    shot("06-night-previous", [&] { store.step(-1); });
    store.setSelectedNightID(store.defaultNightID());
    shot("07-history", page(Page::history));
    const std::optional<std::string> hovered = hoveredNight(store.nights());
    shot("08-history-30", [&] {
        store.setPage(Page::history);
        demo.setDemoHistorySpan(30);
        demo.setDemoHoverNight(hovered);
    });
    demo.setDemoHistorySpan(std::nullopt);
    demo.setDemoHoverNight(std::nullopt);
    shot("09-now", page(Page::now));
    const std::vector<LiveRow> live = store.live();
    store.setLive({});
    shot("10-now-clear", page(Page::now));
    store.setLive(live);
    shot("11-battery", page(Page::battery));
    const std::optional<BatteryInfo> battery = store.battery();
    store.setBattery(std::nullopt);
    shot("12-battery-desktop", page(Page::battery));
    store.setBattery(battery);
    shot("13-settings", page(Page::settings));
    shot("14-toast", [&] {
        store.setPage(Page::now);
        toast.show("Power log refreshed", "arrow.clockwise.circle.fill");
    });

    sizeMainWindow({1020, 680}, false);
    shot("15-night-min-size", [&] {
        store.setPage(Page::night);
        demo.setSnapshotScroll("top");
    });
    shot("16-now-min-size", page(Page::now));
    shot("17-history-min-size", page(Page::history));
    shot("18-battery-min-size", page(Page::battery));
    store.setPage(Page::night);
}

} // namespace dormio::Snapshotter
