#include "Dormio/UI/Charts/HypnogramView.h"

#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/Hypnogram.h"
#include "Dormio/UI/Charts/HypnogramLayout.h"
#include "Dormio/UI/Kit/CanvasPalette.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/NightSummary.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace dormio {

HypnogramView::HypnogramView(int height, QWidget* parent) : QWidget(parent) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    setAccessibleName(QStringLiteral("Hypnogram"));
    connect(ThemeEvents::instance(), &ThemeEvents::appearanceChanged, this, [this] { dropStaticLayer(); });
}

void HypnogramView::setNight(const Night& night) {
    if (night == night_) return;
    night_ = night;
    setAccessibleDescription(QString::fromStdString(NightSummary::line(night_)));
    // A readout fading out would tell of the night before.
    if (!cursor()) readoutOpacity_.jumpTo(0);
    followCursor();
    dropStaticLayer();
}

void HypnogramView::setScrub(std::optional<Date> scrub) {
    if (scrub == scrub_) return;
    scrub_ = scrub;
    followCursor();
    if (!hoverX_) update();
}

QRectF HypnogramView::plot() const {
    return Hypnogram::plotRect(size(), night_.hasBattery);
}

std::optional<Date> HypnogramView::cursor() const {
    return Hypnogram::cursorDate(hoverX_, scrub_, NightScale{night_, plot()});
}

QSize HypnogramView::sizeHint() const {
    return {640, height()};
}

void HypnogramView::paintEvent(QPaintEvent*) {
    const CanvasPalette palette = CanvasPalette::current();
    QPainter painter(this);
    // The layer takes the pixel ratio of what is painted on, which for a snapshot is an image's, not the
    // screen's.
    const qreal ratio = painter.deviceTransform().map(QLineF(0, 0, 1, 0)).length();
    if (staticLayer_.isNull() || staticLayer_.devicePixelRatio() != ratio)
        staticLayer_ = Charts::picture(
            size(), ratio, [&](QPainter& layer) { Hypnogram::paintStatic(layer, size(), night_, palette); });
    painter.drawImage(QPointF(0, 0), staticLayer_);
    // The readout stands by the cursor while there is one, which a resize moves too; once the cursor has
    // gone it fades out where it last stood.
    if (const std::optional<Date> date = cursor()) {
        readoutAt_ = date;
        Hypnogram::paintCursor(painter, size(), night_, *date, palette);
    }
    if (readoutAt_ && readoutOpacity_.value() > 0) {
        painter.setOpacity(std::min<qreal>(readoutOpacity_.value(), 1));
        Hypnogram::paintReadout(painter, size(), night_, *readoutAt_, palette);
    }
    publishPlotFrame();
}

void HypnogramView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    setHoverX(Hypnogram::inHoverZone(plot(), point) ? std::optional(point.x()) : std::nullopt);
}

void HypnogramView::leaveEvent(QEvent*) {
    setHoverX(std::nullopt);
}

// A trace hidden under the pointer gets no leave event, and would show a stale cursor when it comes back.
void HypnogramView::hideEvent(QHideEvent*) {
    setHoverX(std::nullopt);
}

void HypnogramView::resizeEvent(QResizeEvent*) {
    dropStaticLayer();
}

void HypnogramView::setHoverX(std::optional<double> x) {
    if (x == hoverX_) return;
    hoverX_ = x;
    followCursor();
    update();
}

void HypnogramView::followCursor() {
    const std::optional<Date> date = cursor();
    if (date) readoutAt_ = date;
    if (date.has_value() != (readoutOpacity_.target() == 1))
        readoutOpacity_.animateTo(date ? 1 : 0, Motion::snappy());
}

void HypnogramView::dropStaticLayer() {
    staticLayer_ = QImage();
    update();
}

// Asked at every paint: a move of any widget above this one moves the plot in the window too, and is
// always followed by a paint.
void HypnogramView::publishPlotFrame() {
    const QRectF local = plot();
    const QRectF frame(QPointF(mapTo(window(), QPoint(0, 0))) + local.topLeft(), local.size());
    if (frame == publishedFrame_) return;
    publishedFrame_ = frame;
    emit plotFrameChanged(frame);
}

} // namespace dormio
