#include "Dormio/UI/Shell/TourParts.h"

#include "Dormio/UI/Kit/Theme.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>

namespace dormio {

namespace {

// A fully opaque page draws without an effect, so a page at rest costs nothing extra.
void setOpacity(QWidget* widget, qreal opacity) {
    if (opacity >= 1) {
        widget->setGraphicsEffect(nullptr);
        return;
    }
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}

} // namespace

TourProgress::TourProgress(QWidget* parent) : QWidget(parent), fill_(this) {
    setFixedHeight(2);
}

void TourProgress::setFraction(qreal fraction) {
    fill_.animateTo(fraction, Motion::standardOrReduced());
}

void TourProgress::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(Theme::rule));
    const qreal width = this->width() * fill_.value();
    const QRectF fill = layoutDirection() == Qt::RightToLeft
                            ? QRectF(this->width() - width, 0, width, height())
                            : QRectF(0, 0, width, height());
    painter.fillRect(fill, QColor(Theme::indigo));
}

TourPages::TourPages(QWidget* parent) : QWidget(parent), change_(this, 1, [this](qreal t) { place(t); }) {}

void TourPages::present(QWidget* page, bool forward) {
    delete leaving_;
    leaving_ = current_;
    current_ = page;
    page->setParent(this);
    page->setGeometry(rect());
    page->show();
    if (!leaving_) return;
    // In a left-to-right layout the trailing edge is the right one.
    direction_ = (forward ? 1 : -1) * (layoutDirection() == Qt::RightToLeft ? -1 : 1);
    change_.jumpTo(0);
    change_.animateTo(1, Motion::standardOrReduced(), [this] { delete leaving_; });
}

qreal TourPages::opacity(const QWidget* page) {
    const auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(page->graphicsEffect());
    return effect ? effect->opacity() : 1;
}

void TourPages::place(qreal t) {
    // With Reduce Motion on the pages stay put and only cross-fade.
    const int travel = Motion::reduceMotion() ? 0 : width();
    if (current_) {
        current_->move(int(std::lround(direction_ * travel * (1 - t))), 0);
        setOpacity(current_, t);
    }
    if (leaving_) {
        leaving_->move(int(std::lround(-direction_ * travel * t)), 0);
        setOpacity(leaving_, 1 - t);
    }
}

void TourPages::resizeEvent(QResizeEvent*) {
    for (QWidget* page : {current_.data(), leaving_.data()})
        if (page) page->resize(size());
}

} // namespace dormio
