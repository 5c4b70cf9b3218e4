#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/DevModes/Snapshotter.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <algorithm>

namespace dormio::Snapshotter {

namespace {

void sizeMainWindow(QSize size, bool centre) {
    QMainWindow* window = mainWindow();
    if (!window) return;
    window->resize(size);
    if (!centre) return;
    if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

// The moment the night page's cursor rests on: just past the first dark wake in the night's second half
// or so, where the trace has something to read.
std::optional<Date> scrubMoment(const Night* night) {
    if (!night) return std::nullopt;
    const Date after = night->start + 0.45 * night->duration();
    for (const NightEvent& moment : night->wakeMoments())
        if (moment.kind == NightEvent::Kind::darkWake && moment.date > after)
            return moment.date + 1;
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

void windowScreens(Store& store, Toast& toast, const QDir& out, const QString& suffix) {
    DemoState& demo = store.demoState();
    // Every state is reached whether or not its picture is wanted, so a filtered run draws the same.
    const auto shot = [&](const QString& name, double wait, const std::function<void()>& setup) {
        toast.clear();
        setup();
        if (!wanted(name)) {
            pause(0.3);
            return;
        }
        pause(wait);
        captureWindow(name, out, suffix);
    };
    const auto page = [&](Page page) { return [&store, page] { store.setPage(page); }; };

    sizeMainWindow({1180, 860}, true);
    store.setNights({});
    store.setLoadedOnce(false);
    store.setLive({});
    store.setBattery(std::nullopt);
    shot("01-loading", 1.5, page(Page::night));
    store.setLoadedOnce(true);
    shot("02-no-nights", 1.5, page(Page::night));
    shot("03-history-empty", 1.5, page(Page::history));

    DemoData::apply(store);
    store.setSelectedNightID(store.defaultNightID());
    const std::optional<Date> scrub = scrubMoment(store.selectedNight());
    shot("04-night", 2.0, [&] {
        store.setPage(Page::night);
        demo.setDemoScrub(scrub);
    });
    demo.setDemoScrub(std::nullopt);
    shot("05-night-kept", 1.5, [&] { demo.setSnapshotScroll("kept"); });
    shot("05-night-bottom", 1.5, [&] { demo.setSnapshotScroll("bottom"); });
    demo.setSnapshotScroll("top");
    shot("06-night-previous", 1.5, [&] { store.step(-1); });
    store.setSelectedNightID(store.defaultNightID());
    shot("07-history", 1.5, page(Page::history));
    const std::optional<std::string> hovered = hoveredNight(store.nights());
    shot("08-history-30", 1.5, [&] {
        store.setPage(Page::history);
        demo.setDemoHistorySpan(30);
        demo.setDemoHoverNight(hovered);
    });
    demo.setDemoHistorySpan(std::nullopt);
    demo.setDemoHoverNight(std::nullopt);
    shot("09-now", 1.5, page(Page::now));
    const std::vector<LiveRow> live = store.live();
    store.setLive({});
    shot("10-now-clear", 1.5, page(Page::now));
    store.setLive(live);
    shot("11-battery", 1.5, page(Page::battery));
    const std::optional<BatteryInfo> battery = store.battery();
    store.setBattery(std::nullopt);
    shot("12-battery-desktop", 1.5, page(Page::battery));
    store.setBattery(battery);
    shot("13-settings", 1.5, page(Page::settings));
    shot("14-toast", 1.5, [&] {
        store.setPage(Page::now);
        toast.show("Power log refreshed", "arrow.clockwise.circle.fill");
    });

    sizeMainWindow({1020, 680}, false);
    shot("15-night-min-size", 1.5, [&] {
        store.setPage(Page::night);
        demo.setSnapshotScroll("top");
    });
    shot("16-now-min-size", 1.5, page(Page::now));
    shot("17-history-min-size", 1.5, page(Page::history));
    shot("18-battery-min-size", 1.5, page(Page::battery));
    store.setPage(Page::night);
}

} // namespace dormio::Snapshotter
