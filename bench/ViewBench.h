#pragma once

// What the benches of views share: a store with its files and settings in a folder of its own, never the
// user's, and a main that runs Google Benchmark in a headless application drawn in the light appearance.

#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <optional>

namespace bench {

struct StoreFixture {
    QTemporaryDir home;
    dormio::Toast toast;
    std::unique_ptr<dormio::Store> store;
    StoreFixture() {
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        qputenv("DORMIO_SUPPORT_DIR", home.filePath("support").toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
        store = std::make_unique<dormio::Store>(dormio::Platform::system(), toast);
    }
};

// Runs the benchmarks given on the command line; with a clock mode, the animations keep to it.
inline int runViews(int argc, char** argv, std::optional<dormio::AnimationClock::Mode> clock = std::nullopt) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dormio::Theme::install(app);
    dormio::Theme::setAppearance(dormio::Appearance::light);
    if (clock) dormio::AnimationClock::shared().setMode(*clock);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
