#include "Dormio/UI/Kit/Switch.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QPainter>

namespace dormio {

namespace {

constexpr qreal knobInset = 2;

} // namespace

Switch::Switch(const QString& name, QWidget* parent) : QAbstractButton(parent), knob_(this) {
    setCheckable(true);
    setAccessibleName(name);
    setFixedSize(fixedSize);
    setCursor(Qt::PointingHandCursor);
    // A ring shows only for focus reached with Tab, as the buttons do.
    setFocusPolicy(Qt::TabFocus);
}

void Switch::checkStateSet() {
    knob_.animateTo(isChecked() ? 1 : 0, Motion::unlessReduced(Motion::snappy()));
}

void Switch::nextCheckState() {
    QAbstractButton::nextCheckState();
    checkStateSet();
}

void Switch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.45);
    const QRectF track = rect();
    const qreal radius = track.height() / 2;
    const qreal on = knob_.value();
    Shapes::fill(painter, track, radius, Shapes::mix(Theme::ruleStrong, Theme::indigo, on));
    const qreal side = track.height() - 2 * knobInset;
    const qreal travel = track.width() - side - 2 * knobInset;
    const QRectF knob(knobInset + travel * on, knobInset, side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(Theme::white));
    painter.drawEllipse(knob);
    if (hasFocus()) Shapes::strokeInside(painter, track, radius, Theme::indigo.opacity(0.6), 1.5);
}

} // namespace dormio
