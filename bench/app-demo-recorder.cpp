// The demo recorder on a real page, as the scripted demo uses it: the main window with the sample month,
// 1600 x 1000 points, recorded at 30 frames a second while the page changes every two seconds. It prints
// what each frame cost the main thread (the tick's capture: listing the windows, drawing anew what they
// repainted, handing the frame to the encoder), over all frames and over those drawn anew rather than
// repeated, how many frames were written for how many ticks, whether the encoder kept up (ticks that found
// every buffer still queued; the longest queue), and what the finish waited for.
//
//   app-demo-recorder [SECONDS=10] [RATIO=2]
//
// RATIO is the screen's device pixel ratio (the offscreen platform's screen is set up for it): 2 makes the
// movie 2560 x 1600 pixels, as on a Mac's Retina screen; 1 makes it 1600 x 1000.

#include "Dormio/Core/ApplicationName.h"
#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "OstrelKit/Capture/DemoRecorder.h"
#include "ViewBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

using namespace dormio;

namespace {

void runFor(int milliseconds) {
    QTimer::singleShot(milliseconds, qApp, [] { QCoreApplication::exit(0); });
    QApplication::exec();
}

double percentile(QList<double> values, double share) {
    if (values.isEmpty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min<qsizetype>(values.size() - 1, qsizetype(share * double(values.size())))];
}

// A screen large enough for the window at the ratio asked for, without window frames.
QByteArray screenConfiguration(const QString& folder, int ratio) {
    const QString path = folder + "/screens.json";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(
            QStringLiteral(R"({"windowFrameMargins": false, "screens": [{"name": "bench", "x": 0, "y": 0,
            "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": %3}]})")
                .arg(1920 * ratio)
                .arg(1200 * ratio)
                .arg(ratio)
                .toUtf8());
    return "offscreen:configfile=" + path.toUtf8();
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int ratio = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 3) : 2;
    QTemporaryDir home;
    qputenv("QT_QPA_PLATFORM", screenConfiguration(home.path(), ratio));
    QApplication app(argc, argv);
    nameApplication();
    Theme::install(app);
    Theme::setAppearance(Appearance::light);

    bench::StoreFixture fixture;
    Store& store = *fixture.store;
    DemoData::apply(store);
    MainWindow window(store);
    window.setGeometry(0, 0, 1600, 1000);
    window.show();
    runFor(1500);

    DemoRecorder recorder(home.filePath("demo"), QRectF(0, 0, 1600, 1000), 30,
                          {QColor::fromRgbF(0.95, 0.95, 0.95), QColor::fromRgbF(0.88, 0.88, 0.88)});
    // The page the demo shows changes every two seconds, so that the encoder has new pictures to encode.
    const std::array pages{Page::history, Page::now, Page::battery, Page::night};
    int next = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] { store.setPage(pages[next++ % pages.size()]); });
    turn.start(2000);
    recorder.start();
    runFor(seconds * 1000);
    turn.stop();
    QElapsedTimer finishing;
    finishing.start();
    try {
        recorder.finish(QStringLiteral("bench"));
    } catch (const DemoRecorder::Failure& failure) {
        std::printf("finish failed: %s\n", qPrintable(failure.message));
        return 1;
    }
    const qint64 finishMs = finishing.elapsed();

    const DemoRecorder::Stats& stats = recorder.stats();
    std::printf("movie %d x %d px (scale %.2f, screen ratio %d), %d fps, %d s\n",
                recorder.pixelSize().width(), recorder.pixelSize().height(), recorder.scale(), ratio,
                recorder.fps(), seconds);
    std::printf("ticks %d, frames written %d (one at the start, one at the finish when due), writer busy %d, "
                "encoder queue peak %d\n",
                stats.ticks, recorder.framesWritten(), stats.writerBusy, recorder.encoderQueuePeak());
    QList<double> drawn;
    for (qsizetype i = 0; i < stats.captureSeconds.size(); ++i)
        if (stats.drawn[i]) drawn.append(stats.captureSeconds[i]);
    const auto report = [](const char* frames, const QList<double>& seconds) {
        std::printf("main-thread capture per frame, %s (%lld): median %.1f ms, p95 %.1f ms, max %.1f ms\n",
                    frames, static_cast<long long>(seconds.size()), 1000 * percentile(seconds, 0.5),
                    1000 * percentile(seconds, 0.95), 1000 * percentile(seconds, 1));
    };
    report("all", stats.captureSeconds);
    report("drawn anew", drawn);
    std::printf("finish (encoder flush, file closed, side files) %lld ms; raw.mov %.1f MB\n", finishMs,
                double(QFileInfo(home.filePath("demo/raw.mov")).size()) / 1e6);
    return 0;
}
