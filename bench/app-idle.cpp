// Dormio left alone, as it spends most of its life: started as a user starts it (log read, live reads
// every 30 s, energy samples every 5 minutes), its main window closed, its menu bar extra closed. Over
// the measured stretch it prints the CPU time the whole process used as a share of one core, the context
// switches per second (each one a wake-up) of its main thread and of all its threads, and every timer that
// fired, by object, with its count and shortest gap: no timer may fire faster than the live read while
// nothing shows.
//
//   make-power-log --days 7 --mb 16 --seed 42 --out week.log --assertions listing.txt
//   app-idle [--shown] week.log listing.txt [SECONDS=300]
//
// With --shown the main window stays open on its first page: nothing changes on it, so nothing but a
// looping animation's own small rectangle may be drawn.
//
// Folders, settings and the support folder live in a temporary folder; the machine's /proc and
// /sys/class/power_supply are read as the app reads them.

#include "Dormio/Core/ApplicationName.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/DormioApp.h"
#include "Dormio/UI/Shell/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <typeinfo>
#include <unistd.h>

using namespace dormio;

namespace {

// utime + stime of the whole process, in seconds.
double cpuSeconds() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    // The command name may hold spaces; the fields counted from the last ')' are fixed.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int n = 3; fields >> field; ++n) {
        if (n == 14) utime = std::stol(field);
        if (n == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// Voluntary and involuntary context switches of the main thread, from /proc/self/status.
long mainThreadSwitches() {
    QFile status("/proc/self/status");
    long total = 0;
    if (!status.open(QIODevice::ReadOnly)) return total;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.contains("ctxt_switches:")) total += line.mid(line.indexOf(':') + 1).trimmed().toLong();
    return total;
}

// The same for every thread the process ever ran, the pool's ended workers included.
long processSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// Counts every timer event the application delivers, by receiver, with the shortest gap between two.
class TimerWatch : public QObject {
public:
    struct Fired {
        int count = 0;
        qint64 last = -1;
        qint64 shortest = -1;
    };

    TimerWatch() { clock_.start(); }
    const std::map<std::string, Fired>& fired() const { return fired_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            // Timers are told apart by their own address and named by their class and their owner's.
            const QObject* owner = watched->parent();
            const std::string key = std::string(watched->metaObject()->className()) + " of " +
                                    (owner ? owner->metaObject()->className() : "nothing") + " @" +
                                    std::to_string(reinterpret_cast<quintptr>(watched) % 100000);
            Fired& f = fired_[key];
            const qint64 now = clock_.elapsed();
            if (f.last >= 0 && (f.shortest < 0 || now - f.last < f.shortest)) f.shortest = now - f.last;
            f.last = now;
            ++f.count;
        }
        return false;
    }

private:
    QElapsedTimer clock_;
    std::map<std::string, Fired> fired_;
};

void runFor(int milliseconds) {
    QTimer::singleShot(milliseconds, qApp, [] { QCoreApplication::exit(0); });
    QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const bool shown = argc > 1 && std::string_view(argv[1]) == "--shown";
    if (shown) --argc, ++argv;
    if (argc < 3) {
        std::fprintf(stderr, "usage: app-idle [--shown] LOG LISTING [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;
    QTemporaryDir dir;
    for (const char* name : {"config", "data", "support"})
        QDir().mkpath(dir.filePath(name));
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
    qputenv("DORMIO_SUPPORT_DIR", dir.filePath("support").toUtf8());
    qputenv("DORMIO_LOG_FIXTURE", QByteArray(argv[1]));
    qputenv("DORMIO_ASSERTIONS_FIXTURE", QByteArray(argv[2]));

    QApplication app(argc, argv);
    nameApplication();
    Theme::install(app);
    Store::shared().setWelcomeDone(true); // a later start: no tour

    DormioApp dormio(Store::shared());
    dormio.launch();
    // As the app's own start does: the reads begin once the event loop runs with the window on screen.
    QTimer::singleShot(0, &dormio, [&dormio] { dormio.start(); });
    // Start-up: the first log read, live read and energy sample, and the toast of nothing. Then the user
    // closes the window, or leaves it open.
    runFor(8000);
    if (!shown) dormio.mainWindow()->close();
    runFor(1000);

    TimerWatch watch;
    app.installEventFilter(&watch);
    const double cpuBefore = cpuSeconds();
    const long mainBefore = mainThreadSwitches();
    const long switchesBefore = processSwitches();
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    const double elapsed = double(wall.elapsed()) / 1000;
    const double cpu = cpuSeconds() - cpuBefore;
    const long mainSwitches = mainThreadSwitches() - mainBefore;
    const long switches = processSwitches() - switchesBefore;

    std::printf(
        "window=%s idle_seconds=%.1f cpu_seconds=%.3f core_percent=%.3f main_thread_switches_per_second=%.2f "
        "process_switches_per_second=%.2f animation_clock_ticking=%d frame_interval_ms=%lld\n",
        shown ? "shown" : "closed", elapsed, cpu, 100 * cpu / elapsed, double(mainSwitches) / elapsed,
        double(switches) / elapsed, int(AnimationClock::shared().isTicking()),
        static_cast<long long>(AnimationClock::shared().tickInterval().count()));
    // Every animation still running, by the class of the widget it moves: only loops may remain.
    for (QWidget* widget : QApplication::allWidgets())
        for (const Animation* animation : widget->findChildren<Animation*>(Qt::FindDirectChildrenOnly))
            if (animation->isRunning()) std::printf("animation of %s\n", typeid(*widget).name());
    for (const auto& [what, f] : watch.fired())
        std::printf("timer %s: %d, shortest gap %.1f s\n", what.c_str(), f.count,
                    f.shortest < 0 ? 0.0 : double(f.shortest) / 1000);
    return 0;
}
