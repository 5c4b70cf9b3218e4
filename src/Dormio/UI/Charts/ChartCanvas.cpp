#include "Dormio/UI/Charts/ChartCanvas.h"

#include <QPainter>

namespace dormio {

ChartCanvas::ChartCanvas(Paint paint, QWidget* parent) : QWidget(parent), paint_(std::move(paint)) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void ChartCanvas::setPaint(Paint paint) {
    paint_ = std::move(paint);
    update();
}

void ChartCanvas::paintEvent(QPaintEvent*) {
    if (!paint_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint_(painter, QSizeF(size()), CanvasPalette::current());
}

} // namespace dormio
