// One paint of each of the kit's components at twice the pixels, as a page's redraw paints them: the
// leaf components, the panel and headers with their text, the empty state and the three button styles.
//
//   app-kit [Google Benchmark flags]

#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/FlatTrace.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Slowest.h"
#include "ViewBench.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

using namespace dormio;

namespace {

constexpr qreal ratio = 2;

// Paints the component at its preferred size into an image kept between paints.
void paint(benchmark::State& state, const std::function<QWidget*()>& make) {
    const std::unique_ptr<QWidget> widget(make());
    widget->resize(widget->sizeHint().expandedTo(QSize(1, 1)));
    widget->ensurePolished();
    QImage image((QSizeF(widget->size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    state.counters["width"] = widget->width();
    state.counters["height"] = widget->height();
}

void repeated(benchmark::internal::Benchmark* run) {
    bench::withSlowest(run->Unit(benchmark::kMicrosecond), 5);
}

#define KIT_BENCHMARK(name, make)                                                                            \
    BENCHMARK_CAPTURE(paint, name, [] { return static_cast<QWidget*>(make); })->Apply(repeated)

KIT_BENCHMARK(label, new Label("com.apple.dasd:task:refresh-photos-library-analysis", Theme::Typo::body(),
                               Theme::ink));
KIT_BENCHMARK(kicker, new Kicker("Night of Tue 4 Mar", Theme::ink3));
KIT_BENCHMARK(sectionHeader, new SectionHeader("Hypnogram", "hover to scrub any minute"));
KIT_BENCHMARK(pageHeader,
              new PageHeader("Night of Tue 4 Mar \u00B7 23:41 \u2192 07:00", "Last Night", nullptr));
KIT_BENCHMARK(panel, new Panel("What kept it up", "time held awake with the screen off", Theme::Space::l,
                               new Label("Nothing held your Mac awake while the screen was off.",
                                         Theme::Typo::body(), Theme::ink2)));
KIT_BENCHMARK(figure, new Figure("7 h 42 m", "asleep", Theme::ink));
KIT_BENCHMARK(restGrade, new RestGrade(82, true));
KIT_BENCHMARK(tag, new Tag("SAMPLE DATA", Theme::amber));
KIT_BENCHMARK(keyCap, new KeyCap("\u2318"));
KIT_BENCHMARK(holderGlyph, new HolderGlyph(std::nullopt, "backupd", 16));
KIT_BENCHMARK(statusDot, new StatusDot(Theme::rose, false));
KIT_BENCHMARK(flatTrace, new FlatTrace(false));
KIT_BENCHMARK(emptyState, new EmptyState("No nights on record", "Nothing to read yet",
                                         "macOS keeps about a week of sleep history. Once your Mac spends a "
                                         "night between 23:00 and 07:00 on record, its trace appears here.",
                                         QString("See Right Now"), [] {}));
KIT_BENCHMARK(primaryButton, new Button(PrimaryButtonStyle{}, "Refresh"));
KIT_BENCHMARK(quietButton, new Button(QuietButtonStyle{Theme::ink}, "See Right Now"));
KIT_BENCHMARK(iconButton, Button::withSymbol(IconButtonStyle{26}, "chevron.left"));

} // namespace

int main(int argc, char** argv) {
    return bench::runViews(argc, argv);
}
