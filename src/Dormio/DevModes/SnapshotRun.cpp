#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/Snapshotter.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/MenuBarView.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdio>
#include <utility>

namespace dormio {

namespace Snapshotter {
namespace {
constexpr std::array<std::pair<Appearance, const char*>, 2> passes{
    {{Appearance::light, "light"}, {Appearance::dark, "dark"}}};
} // namespace
} // namespace Snapshotter

void Snapshotter::run(const QString& dir) {
    // Every change shows its end at once and loops stand still, from the first picture to the last.
    AnimationClock::shared().setMode(AnimationClock::Mode::instant);
    // Started from the start-up, which returns at once; the run then owns the application until it quits.
    QTimer::singleShot(0, qApp, [dir] {
        Store& store = Store::shared();
        // Relative to the working folder; a folder that cannot be made only makes every write fail.
        const QDir out(QDir::current().absoluteFilePath(dir));
        out.mkpath(".");
        if (qEnvironmentVariableIsSet("DORMIO_SNAPSHOT_REAL")) {
            realScreens(store, out);
        } else {
            // One moment for the whole run, so both appearances show the same sample nights and times.
            Clock::shared().fix(currentDate());
            store.demoState().setDemo(true);
            settle();
            for (const auto& [appearance, suffix] : passes) {
                // The theme repaints every widget and drops its cached drawings on the change.
                Theme::setAppearance(appearance);
                windowScreens(store, out, suffix);
                standalone(store, out, suffix);
            }
        }
        QCoreApplication::quit();
    });
}

void Snapshotter::realScreens(Store& store, const QDir& out) {
    if (!qEnvironmentVariableIsSet("DORMIO_SUPPORT_DIR")) {
        std::fputs("needs DORMIO_SUPPORT_DIR\n", stdout);
        std::fflush(stdout);
        return;
    }
    if (QMainWindow* window = mainWindow()) window->resize(1180, 860);
    store.start(false);
    const auto ready = [&] { return store.loadedOnce() && (!store.live().empty() || store.lastLiveRead()); };
    for (int test = 0; test < 300 && !ready(); ++test)
        pause(0.1);

    static constexpr std::array<std::pair<const char*, Page>, 4> pages{{{"R1-night", Page::night},
                                                                        {"R2-history", Page::history},
                                                                        {"R3-now", Page::now},
                                                                        {"R4-battery", Page::battery}}};
    for (const auto& [appearance, suffix] : passes) {
        Theme::setAppearance(appearance);
        for (const auto& [name, page] : pages) {
            store.setPage(page);
            settle();
            captureWindow(name, out, suffix);
        }
        render(new MenuBarView(store), out.filePath(QStringLiteral("R5-menubar-%1.png").arg(suffix)));
    }
    std::printf("real: %zu nights, %zu assertions, battery %s\n", store.nights().size(), store.live().size(),
                store.battery() ? "present" : "none");
    std::fflush(stdout);
}

} // namespace dormio
