#include "OstrelKit/Windows/Spinner.h"

#include <QPainter>

namespace dormio {

Spinner::Spinner(QWidget* parent) : QWidget(parent) {
    setFixedSize(size, size);
    turn_.setInterval(1000 / spokes);
    connect(&turn_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % spokes;
        update();
    });
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    QColor ink = palette().color(QPalette::WindowText);
    for (int spoke = 0; spoke < spokes; ++spoke) {
        // The spoke at the step is the brightest; the ones behind it fade.
        const int behind = (step_ - spoke + spokes) % spokes;
        ink.setAlphaF(1.0f - 0.75f * float(behind) / float(spokes - 1));
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -size * 0.22), QPointF(0, -size * 0.45));
        painter.rotate(360.0 / spokes);
    }
}

void Spinner::showEvent(QShowEvent* event) {
    turn_.start();
    QWidget::showEvent(event);
}

void Spinner::hideEvent(QHideEvent* event) {
    turn_.stop();
    QWidget::hideEvent(event);
}

} // namespace dormio
