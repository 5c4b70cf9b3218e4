#include "Dormio/UI/Charts/ActogramRowView.h"

#include "Dormio/UI/Charts/ActogramRow.h"

#include <QPainter>

namespace dormio {

ActogramRowView::ActogramRowView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
}

void ActogramRowView::setNight(const Night& night) {
    if (night == night_) return;
    night_ = night;
    update();
}

void ActogramRowView::setSpan(double seconds) {
    if (seconds == span_) return;
    span_ = seconds;
    update();
}

void ActogramRowView::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    update();
}

void ActogramRowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ActogramRow::paint(painter, size(), night_, span_, highlighted_, CanvasPalette::current());
}

} // namespace dormio
