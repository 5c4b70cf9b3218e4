#include "Dormio/DevModes/DemoPointer.h"

#include "Dormio/Core/DormioDemo.h"
#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/DemoRules.h"
#include "OstrelKit/KitClock.h"

#include <QLayout>
#include <QWidget>

namespace dormio::DemoPointer {

namespace {

// The pointer rests at this height of the plot, over the trace's middle bands.
constexpr double pointerHeight = 0.62;
constexpr double leadIn = 0.4;
constexpr double frame = 1.0 / 30;

// The event loop would lay the window out only after the click has looked its anchor up.
void activateLayouts(QWidget& widget) {
    if (QLayout* layout = widget.layout()) layout->activate();
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        activateLayouts(*child);
}

} // namespace

Step tap(DemoRecorder& recorder, QWidget& window, QString anchor, double duration) {
    activateLayouts(window);
    co_await recorder.click(std::move(anchor), duration);
}

std::optional<QPointF> plotPoint(const QWidget& window, double fraction, double height) {
    const QRectF plot = DormioDemo::shared().plotFrame();
    if (plot.isNull()) return std::nullopt;
    const QPointF local(plot.left() + plot.width() * fraction, plot.top() + plot.height() * height);
    return window.mapToGlobal(local);
}

Step scrub(DemoRecorder& recorder, KitClock& clock, Store& store, QWidget& window, Night night, double from,
           double to, double seconds) {
    if (const auto start = plotPoint(window, from, pointerHeight)) co_await recorder.move(*start, leadIn);
    const double began = clock.seconds();
    for (;;) {
        const double elapsed = clock.seconds() - began;
        const double fraction = DemoRules::scrubFraction(from, to, elapsed, seconds);
        store.demoState().setDemoScrub(DemoRules::scrubDate(night, fraction));
        if (const auto point = plotPoint(window, fraction, pointerHeight))
            co_await recorder.move(*point, frame);
        else
            co_await recorder.wait(frame);
        if (!(elapsed < seconds)) co_return;
    }
}

} // namespace dormio::DemoPointer
