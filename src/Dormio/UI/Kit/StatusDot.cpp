#include "Dormio/UI/Kit/StatusDot.h"

#include "Dormio/UI/Kit/Shapes.h"

#include <QEvent>
#include <QPainter>
#include <cmath>

namespace dormio {

namespace {

// The halo grows to 1.9 times the dot, and its 3 px ring reaches half its width past that.
constexpr qreal haloSide = StatusDot::diameter * 1.9 + 3 * 1.9 + 2;

// The halo grows by about 3 px while it fades from 0.35: eight frames a pulse move it at most 0.6 px and a
// few levels of its colour at a time, a step too faint to see, and a dot that pulses for hours beside an
// idle window then wakes the app five times a second rather than sixty.
constexpr std::chrono::milliseconds pulseInterval{200};

} // namespace

// The halo reaches well past the dot's 7 px, so the dot is drawn by a sibling as large as the halo that
// stands over it and lets every click through.
class StatusDot::Halo : public QWidget {
public:
    Halo(StatusDot* dot) : dot_(dot), pulse_(this, Motion::easeOut(1.6), false, pulseInterval) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        resize(int(std::ceil(haloSide)), int(std::ceil(haloSide)));
    }
    Motion::Loop& pulse() { return pulse_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPointF centre = dot_->centreInHost() - QPointF(pos());
        StatusDot::paint(painter, centre, dot_->color_,
                         pulse_.running() ? std::optional(pulse_.phase()) : std::nullopt);
    }

private:
    StatusDot* dot_;
    Motion::Loop pulse_;
};

StatusDot::StatusDot(DynamicColor color, bool live, QWidget* parent)
    : QWidget(parent), color_(color), live_(live), halo_(new Halo(this)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_NoSystemBackground);
    follow();
}

StatusDot::~StatusDot() {
    delete halo_;
}

void StatusDot::setColor(DynamicColor color) {
    color_ = color;
    halo_->update();
}

void StatusDot::setLive(bool live) {
    live_ = live;
    follow();
}

bool StatusDot::pulsing() const {
    return halo_->pulse().running();
}

void StatusDot::paint(QPainter& painter, QPointF centre, const QColor& color, std::optional<qreal> phase) {
    const qreal radius = diameter / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(centre, radius, radius);
    const qreal grown = phase ? 1 + 0.9 * *phase : 1;
    const qreal opacity = phase ? 1 - *phase : 1;
    if (opacity <= 0) return;
    QColor ring = color;
    ring.setAlphaF(ring.alphaF() * 0.35f * float(opacity));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Shapes::pen(ring, 3 * grown));
    painter.drawEllipse(centre, radius * grown, radius * grown);
}

bool StatusDot::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
        follow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

QPointF StatusDot::centreInHost() const {
    return QRectF(parentWidget() ? geometry() : rect()).center();
}

// Keeps the halo over the dot in the dot's parent, as visible as the dot, and decides on the pulse.
void StatusDot::follow() {
    QWidget* host = parentWidget() ? parentWidget() : this;
    if (halo_->parentWidget() != host) halo_->setParent(host);
    halo_->move((centreInHost() - QPointF(halo_->width(), halo_->height()) / 2).toPoint());
    halo_->setVisible(isVisible());
    if (isVisible()) halo_->raise();
    // Reduce Motion is asked as the dot comes on screen, and whenever its input changes; the instant clock
    // of the snapshots keeps the pulse still by itself.
    halo_->pulse().setWanted(live_ && isVisible() && !Motion::reduceMotion());
    halo_->update();
}

} // namespace dormio
