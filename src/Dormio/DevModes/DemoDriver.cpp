#include "Dormio/DevModes/DemoDriver.h"

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/DormioDemo.h"
#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/DemoPointer.h"
#include "Dormio/DevModes/DemoRules.h"
#include "Dormio/DevModes/DemoWindow.h"
#include "Dormio/UI/Kit/Theme.h"
#include "OstrelKit/Capture/DemoRecorder.h"
#include "OstrelKit/KitClock.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <optional>

namespace dormio::DemoDriver {

namespace {

constexpr int fps = 30;

void sayFailure(const CaptureFailure& failure) {
    std::fputs(qPrintable("demo failed: " + failure.message + "\n"), stdout);
    std::fflush(stdout);
}

} // namespace

Step play(QString folder, Store& store, KitClock& clock, std::function<void(int)> end) {
    store.demoState().setDemo(true);
    Theme::setAppearance(Appearance::light);

    QWidget* found = DemoWindow::mainWindow();
    for (int check = 0; check < 50 && !found; ++check) {
        co_await Sleep(clock, 0.2);
        found = DemoWindow::mainWindow();
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!found || !screen) {
        end(1);
        co_return;
    }
    QWidget& window = *found;
    const QRect frame = DemoRules::demoFrame(screen->availableGeometry(), DemoWindow::leastFrameSize(window));
    DemoWindow::place(window, frame);
    DemoWindow::movePointerOff(*screen, frame);
    DemoWindow::bringForward(window);
    for (int check = 0; check < 20 && !DemoWindow::inFront(window); ++check) {
        DemoWindow::bringForward(window);
        co_await Sleep(clock, 0.1);
    }
    if (!DemoWindow::inFront(window)) DemoWindow::drawAsActive(window);
    DemoWindow::keepInFront(clock, window, frame);

    DemoData::apply(store);
    store.setPage(Page::night);
    store.setSelectedNightID(store.defaultNightID());
    store.demoState().setSnapshotScroll("top");
    co_await Sleep(clock, 1.6);

    std::unique_ptr<DemoRecorder> made;
    try {
        made = std::make_unique<DemoRecorder>(
            folder, QRectF(frame), fps,
            QList<QColor>{QColor::fromRgbF(0.95f, 0.95f, 0.95f), QColor::fromRgbF(0.88f, 0.88f, 0.88f)},
            clock);
    } catch (const CaptureFailure& failure) {
        sayFailure(failure);
        end(1);
        co_return;
    }
    DemoRecorder& recorder = *made;
    recorder.start();
    co_await recorder.wait(0.6);

    // A copy: the store's nights may be replaced while a scrub runs.
    const auto selected = [&store]() -> std::optional<Night> {
        const Night* night = store.selectedNight();
        return night ? std::optional(*night) : std::nullopt;
    };
    const auto scrub = [&](const Night& night, double from, double to, double seconds) {
        return DemoPointer::scrub(recorder, clock, store, window, night, from, to, seconds);
    };
    const auto tap = [&](QString anchor, double duration) {
        return DemoPointer::tap(recorder, window, std::move(anchor), duration);
    };

    recorder.caption(QStringLiteral("Last night, traced minute by minute"));
    if (const auto night = selected()) {
        co_await scrub(*night, 0.08, 0.3, 1.2);
        const double target = DemoRules::wakeFraction(*night).value_or(DemoRules::fallbackWakeFraction);
        co_await scrub(*night, 0.3, target, 1.2);
        co_await recorder.wait(1.2);
        co_await scrub(*night, target, 0.93, 1.1);
        co_await recorder.wait(0.4);
    }

    recorder.caption(QStringLiteral("What kept it up, and why"));
    store.demoState().setDemoScrub(std::nullopt);
    store.demoState().setSnapshotScroll("kept", 0.9);
    co_await recorder.wait(1.2);
    if (const auto night = selected()) {
        if (const auto item = DemoRules::darkWakeItem(*night)) {
            co_await tap("info-" + *item, 0.7);
            DormioDemo::shared().postShowInfo(*item);
        }
    }
    co_await recorder.wait(2.2);
    DormioDemo::shared().postShowInfo(std::nullopt);
    co_await recorder.wait(0.3);

    recorder.caption(QStringLiteral("A month of nights, one texture"));
    co_await tap(QStringLiteral("side-history"), 0.7);
    store.setPage(Page::history);
    co_await recorder.wait(0.8);
    co_await tap(QStringLiteral("span30"), 0.5);
    store.demoState().setDemoHistorySpan(30);
    co_await recorder.wait(0.8);
    if (const auto pick = DemoRules::busiestRecentNight(store.nights())) {
        co_await tap("history-" + QString::fromStdString(*pick), 0.8);
        store.demoState().setDemoHoverNight(*pick);
    }
    co_await recorder.wait(1.3);

    store.demoState().setDemoHoverNight(std::nullopt);
    recorder.caption(QStringLiteral("Quit what holds it awake"));
    co_await tap(QStringLiteral("side-now"), 0.7);
    store.setPage(Page::now);
    co_await recorder.wait(1.0);
    if (const LiveRow* row = DemoRules::musicRow(store.live())) {
        const LiveRow music = *row;
        co_await tap(QStringLiteral("quit-Music"), 0.7);
        store.quit(music);
    }
    co_await recorder.wait(2.0);

    recorder.caption(QStringLiteral("Know what happens after lights out"));
    co_await tap(QStringLiteral("side-night"), 0.7);
    store.setPage(Page::night);
    store.demoState().setSnapshotScroll("top");
    co_await recorder.wait(0.4);
    if (const auto night = selected()) co_await scrub(*night, 0.62, 0.7, 0.8);
    co_await recorder.wait(1.5);

    try {
        recorder.finish(QStringLiteral("Dormio demo"));
    } catch (const CaptureFailure& failure) {
        sayFailure(failure);
        end(1);
        co_return;
    }
    end(0);
}

void run(Store& store, const EnvLookup& env, KitClock& clock) {
    const std::optional<std::string> folder = env("DORMIO_DEMO_DIR");
    if (!folder) return;
    // The script lives as long as the process: it ends the application itself.
    static std::optional<Step> script;
    script.emplace(play(QString::fromStdString(*folder), store, clock,
                        [](int status) { QCoreApplication::exit(status); }));
}

} // namespace dormio::DemoDriver
