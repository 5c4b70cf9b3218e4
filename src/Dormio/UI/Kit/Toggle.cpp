#include "Dormio/UI/Kit/Toggle.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QFocusEvent>
#include <QPainter>
#include <cmath>

namespace dormio {

namespace {

constexpr qreal boxRadius = 4;
constexpr qreal ringGap = 2;

} // namespace

Toggle::Toggle(const QString& title, QWidget* parent) : QCheckBox(title, parent) {
    setFont(Theme::Typo::body());
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize Toggle::sizeHint() const {
    const Font& font = Theme::Typo::body();
    // Room for the focus ring around the box.
    const qreal height = std::max(font.height(), boxSide + 2 * ringGap);
    return {int(std::ceil(ringGap + boxSide + titleGap + font.width(text()))), int(std::ceil(height))};
}

QRectF Toggle::box() const {
    return {ringGap, std::round((height() - boxSide) / 2), boxSide, boxSide};
}

void Toggle::paintBox(QPainter& painter, const QRectF& box, bool checked, bool focused) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (checked) {
        Shapes::fill(painter, box, boxRadius, Theme::indigo);
        Symbols::paint(painter, box.adjusted(2, 2, -2, -2), "checkmark", Theme::white,
                       Symbols::Weight::semibold);
    } else {
        Shapes::strokeInside(painter, box, boxRadius, Theme::ink2, 1.5);
    }
    if (focused) {
        const QRectF ring = box.adjusted(-ringGap, -ringGap, ringGap, ringGap);
        Shapes::strokeInside(painter, ring, boxRadius + ringGap, Theme::indigo.opacity(0.6), 1.5);
    }
    painter.restore();
}

void Toggle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.45);
    const QRectF square = box();
    paintBox(painter, square, isChecked(), keyboardFocus_);
    const Font& font = Theme::Typo::body();
    painter.setPen(QColor(Theme::ink));
    font.draw(painter, {square.right() + titleGap, (height() - font.height()) / 2 + font.ascent()}, text());
}

// The whole line takes the click, title included, as a check box's does.
bool Toggle::hitButton(const QPoint& point) const {
    return rect().contains(point);
}

void Toggle::focusInEvent(QFocusEvent* event) {
    keyboardFocus_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QCheckBox::focusInEvent(event);
}

void Toggle::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    QCheckBox::focusOutEvent(event);
}

} // namespace dormio
