#include "Dormio/UI/Kit/FilledBar.h"

#include <QPainter>

namespace dormio {

FilledBar::FilledBar(DynamicColor color, int width, int height, int leadingInset, QWidget* parent)
    : QWidget(parent), color_(color), inset_(leadingInset) {
    if (width > 0) setFixedWidth(width);
    setFixedHeight(height);
}

void FilledBar::setColor(DynamicColor color) {
    color_ = color;
    update();
}

void FilledBar::paintEvent(QPaintEvent*) {
    QRect filled = rect();
    if (layoutDirection() == Qt::RightToLeft)
        filled.setRight(filled.right() - inset_);
    else
        filled.setLeft(filled.left() + inset_);
    QPainter(this).fillRect(filled, QColor(color_));
}

} // namespace dormio
