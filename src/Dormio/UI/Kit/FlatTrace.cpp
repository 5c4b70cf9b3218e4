#include "Dormio/UI/Kit/FlatTrace.h"

#include "Dormio/UI/Kit/Shapes.h"

#include <QPainter>
#include <QPainterPath>

namespace dormio {

namespace {
constexpr qreal stillPhase = 0.62;
} // namespace

FlatTrace::FlatTrace(bool scanning, QWidget* parent)
    : QWidget(parent), scanning_(scanning), sweep_(this, Motion::linear(1.8), true) {
    setAttribute(Qt::WA_NoSystemBackground);
}

qreal FlatTrace::phase() const {
    return sweep_.running() ? sweep_.phase() : stillPhase;
}

void FlatTrace::showEvent(QShowEvent* event) {
    // Reduce Motion is asked as the trace comes on screen; the instant clock of the snapshots keeps the
    // sweep still by itself.
    sweep_.setWanted(scanning_ && !Motion::reduceMotion());
    QWidget::showEvent(event);
}

void FlatTrace::paint(QPainter& painter, QSizeF size, const Data& data, const CanvasPalette& palette) {
    const qreal w = size.width();
    const qreal y = size.height() - 6;
    QPainterPath axis;
    axis.moveTo(0, y);
    axis.lineTo(w, y);
    for (int i = 0; i <= 12; ++i) {
        const qreal x = i * w / 12;
        axis.moveTo(x, y);
        axis.lineTo(x, y + (i % 4 == 0 ? 5 : 3));
    }
    painter.strokePath(axis, Shapes::pen(palette.ruleStrong, 1));

    // Qt counts dashes in pen widths: 3 px on, 3 px off at 1.2 px.
    QPen dashes = Shapes::pen(palette.ink3, 1.2);
    dashes.setDashPattern({3 / 1.2, 3 / 1.2});
    painter.setPen(dashes);
    painter.drawLine(QPointF(0, y - 10), QPointF(w, y - 10));

    if (!data.scanning) return;
    const qreal x = data.phase * w;
    painter.setPen(Shapes::pen(palette.rose, 1));
    painter.drawLine(QPointF(x, 0), QPointF(x, y));
}

void FlatTrace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, size(), {scanning_, phase()}, CanvasPalette::current());
}

} // namespace dormio
