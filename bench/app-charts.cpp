// The night's drawings on a busy night (150 segments, 40 wake moments, 200 battery readings), at a
// device pixel ratio of 2: the trace's frame after the pointer moves, with its static picture kept; the
// trace's frame after a change of night, drawn whole; an actogram of 30 such rows; and the History page's
// actogram of 30 nights with its header, dates and figures, whole and after the pointer enters a row.
//
//   app-charts [Google Benchmark flags]

#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Charts/ActogramRowView.h"
#include "Dormio/UI/Charts/HypnogramView.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/Actogram.h"
#include "Random.h"
#include "Slowest.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

using namespace dormio;

namespace {

constexpr qreal ratio = 2;

// Eight hours cut into 150 stretches: mostly asleep, with dark wakes, spells awake and the screen on now
// and then; a wake moment at the start of 40 of the wakes, and the battery read 200 times on its way down.
Night busyNight(uint64_t seed) {
    Random random(seed);
    Night night;
    night.id = "2024-05-11";
    night.start = Date{737074800};
    night.end = night.start + 8 * 3600;
    night.hasBattery = true;
    const double length = (night.end - night.start) / 150;
    for (int i = 0; i < 150; ++i) {
        const Date from = night.start + i * length;
        const PowerState state = i % 2 == 0
                                     ? PowerState::asleep
                                     : random.pick(std::vector{PowerState::dark, PowerState::dark,
                                                               PowerState::awake, PowerState::screenOn});
        night.segments.push_back({from, from + length, state});
        if (state != PowerState::asleep && night.events.size() < 40) {
            const auto kind = state == PowerState::dark    ? NightEvent::Kind::darkWake
                              : state == PowerState::awake ? NightEvent::Kind::stayedAwake
                                                           : NightEvent::Kind::screenOn;
            night.events.push_back({.date = from,
                                    .kind = kind,
                                    .label = "Maintenance / Power Nap",
                                    .scheduledBy = "Woken by: Maintenance / Power Nap"});
        }
    }
    for (int i = 0; i < 200; ++i)
        night.battery.push_back(
            {night.start + i * (night.end - night.start) / 199, 95 - i / 8 - random.between(0, 1)});
    return night;
}

QImage frame(QSize size) {
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

void paintFrame(QWidget& widget, QImage& image) {
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
}

void movePointer(QWidget& widget, QPointF to) {
    QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

// From the pointer's move to the painted frame, the static picture kept from the first frame.
void cursorMove(benchmark::State& state) {
    HypnogramView view;
    view.resize(800, HypnogramView::pageHeight);
    view.setNight(busyNight(1));
    QImage image = frame(view.size());
    paintFrame(view, image);
    int step = 0;
    for (auto _ : state) {
        movePointer(view, QPointF(96 + (step++ * 37) % 640, 100));
        paintFrame(view, image);
    }
}

// A change of night: the static picture drawn again, then the frame with a cursor.
void fullRedraw(benchmark::State& state) {
    HypnogramView view;
    view.resize(800, HypnogramView::pageHeight);
    const Night nights[] = {busyNight(1), busyNight(2)};
    QImage image = frame(view.size());
    movePointer(view, QPointF(400, 100));
    int step = 0;
    for (auto _ : state) {
        view.setNight(nights[step++ % 2]);
        paintFrame(view, image);
    }
}

// The History page's 30 rows of 760 by 14 points, 4 apart, each a busy night.
void actogram30Rows(benchmark::State& state) {
    QWidget actogram;
    auto* rows = new QVBoxLayout(&actogram);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(4);
    for (int i = 0; i < 30; ++i) {
        auto* row = new ActogramRowView;
        row->setNight(busyNight(uint64_t(i)));
        row->setSpan(9 * 3600);
        row->setHighlighted(i == 12);
        row->setFixedSize(760, 14);
        rows->addWidget(row);
    }
    actogram.adjustSize();
    QImage image = frame(actogram.size());
    for (auto _ : state)
        paintFrame(actogram, image);
}

// The History page's 30-night actogram, 1000 points wide: each a busy night a day after the one before.
std::vector<Night> busyMonth() {
    std::vector<Night> nights;
    for (int i = 0; i < 30; ++i) {
        Night night = busyNight(uint64_t(i));
        const double later = i * 86400.0;
        night.id = "night-" + std::to_string(i);
        night.start = night.start + later;
        night.end = night.end + later;
        for (Segment& segment : night.segments) {
            segment.start = segment.start + later;
            segment.end = segment.end + later;
        }
        for (NightEvent& event : night.events)
            event.date = event.date + later;
        for (BatteryPoint& point : night.battery)
            point.date = point.date + later;
        nights.push_back(std::move(night));
    }
    return nights;
}

// The whole actogram as a change of span or of nights shows it: header, ruler and 30 rows.
void historyActogram30(benchmark::State& state) {
    Toast toast;
    Store store(Platform::system(), toast);
    store.setNights(busyMonth());
    Actogram actogram(store, store.nights(), 11);
    actogram.resize(1000, actogram.sizeHint().height());
    QImage image = frame(actogram.size());
    for (auto _ : state)
        paintFrame(actogram, image);
}

// The pointer enters a row: that row alone is drawn again, highlighted or not.
void historyRowHover(benchmark::State& state) {
    AnimationClock::shared().setMode(AnimationClock::Mode::instant);
    Toast toast;
    Store store(Platform::system(), toast);
    store.setNights(busyMonth());
    Actogram actogram(store, store.nights(), 11);
    actogram.resize(1000, actogram.sizeHint().height());
    ActogramLine* row = actogram.rows()[12];
    QImage image = frame(row->size());
    bool inside = false;
    for (auto _ : state) {
        inside = !inside;
        if (inside) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(row, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(row, &leave);
        }
        paintFrame(*row, image);
    }
    AnimationClock::shared().setMode(AnimationClock::Mode::running);
}

void repeated(benchmark::internal::Benchmark* run) {
    bench::withSlowest(run->Unit(benchmark::kMillisecond), 9);
}

BENCHMARK(cursorMove)->Apply(repeated);
BENCHMARK(fullRedraw)->Apply(repeated);
BENCHMARK(actogram30Rows)->Apply(repeated);
BENCHMARK(historyActogram30)->Apply(repeated);
BENCHMARK(historyRowHover)->Apply(repeated);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The store behind the History actogram keeps its files and reads its settings in a folder of the run's
    // own, never the user's.
    const QTemporaryDir home;
    for (const char* variable : {"DORMIO_SUPPORT_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(variable, home.path().toUtf8());
    QApplication app(argc, argv);
    Theme::setAppearance(Appearance::light);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
