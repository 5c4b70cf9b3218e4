#include "Dormio/UI/Shell/RefreshButton.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Kit/ViewSymbols.h"

#include <QKeySequence>
#include <QPainter>

namespace dormio {

namespace {

constexpr qreal spinnerDiameter = 13;
constexpr qreal spinnerWidth = 1.75;

} // namespace

RefreshButton::RefreshButton(Store& store, QWidget* parent)
    : Button(IconButtonStyle{side}, QString(), parent), store_(store),
      spin_(this, Motion::linear(0.9), false) {
    setObjectName(QStringLiteral("refresh"));
    setAccessibleName(QStringLiteral("Refresh"));
    setToolTip(QStringLiteral("Read the power log again (%1)")
                   .arg(QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText)));
    connect(this, &Button::clicked, this, [this] { store_.refresh(true); });
    connect(&store_, &Store::loadingChanged, this, &RefreshButton::showLoading);
    showLoading();
}

void RefreshButton::showLoading() {
    loading_ = store_.loading();
    // Under Reduce Motion and on the instant clock of the snapshots the arc stands still.
    spin_.setWanted(loading_ && !Motion::reduceMotion());
    update();
}

void RefreshButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Look paint = look(style(), hoverProgress(), isDown(), isEnabled());
    const QRectF frame = rect();
    Shapes::fill(painter, frame, Theme::Radius::control, paint.fill);
    const qreal side = style().font.pixels();
    const QRectF square(frame.center() - QPointF(side, side) / 2, QSizeF(side, side));
    if (!loading_) {
        Symbols::paint(painter, square, ViewSymbols::refresh, paint.label);
        return;
    }
    const qreal inset = spinnerWidth / 2;
    const QRectF ring(frame.center() - QPointF(spinnerDiameter, spinnerDiameter) / 2 + QPointF(inset, inset),
                      QSizeF(spinnerDiameter - spinnerWidth, spinnerDiameter - spinnerWidth));
    QColor track = paint.label;
    track.setAlphaF(track.alphaF() * 0.2f);
    painter.setPen(Shapes::pen(track, spinnerWidth));
    painter.drawEllipse(ring);
    QPen arc = Shapes::pen(paint.label, spinnerWidth);
    arc.setCapStyle(Qt::RoundCap);
    painter.setPen(arc);
    // Qt's angles run anticlockwise in sixteenths of a degree; the arc turns clockwise.
    const int start = int((90 - 360 * turn()) * 16);
    painter.drawArc(ring, start, -100 * 16);
}

} // namespace dormio
