#include "Dormio/UI/Kit/EmptyState.h"

#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/FlatTrace.h"
#include "Dormio/UI/Kit/Text.h"

#include <QBoxLayout>
#include <QGraphicsEffect>
#include <QPainter>

namespace dormio {

namespace {
constexpr qreal riseDistance = 6;
} // namespace

// Draws the block faded and lowered while it comes in.
class EmptyState::Rise : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;
    void set(qreal opacity, qreal drop) {
        opacity_ = opacity;
        drop_ = drop;
        updateBoundingRect();
        update();
    }

protected:
    QRectF boundingRectFor(const QRectF& rect) const override { return rect.adjusted(0, 0, 0, drop_); }
    void draw(QPainter* painter) override {
        if (opacity_ <= 0) return;
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
        painter->setOpacity(opacity_);
        painter->drawPixmap(QPointF(offset) + QPointF(0, drop_), pixmap);
    }

private:
    qreal opacity_ = 0;
    qreal drop_ = riseDistance;
};

EmptyState::EmptyState(const QString& kicker, const QString& title, const QString& message,
                       const std::optional<QString>& actionTitle, std::function<void()> action,
                       QWidget* parent)
    : QWidget(parent), title_(new Label(title, Theme::Typo::lede(), Theme::ink)),
      message_(new Label(message, Theme::Typo::body(), Theme::ink2)), rise_(new Rise(this)),
      entrance_(this, 0, [this](qreal p) { showEntrance(p); }) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(int(Theme::Space::m));
    auto* trace = new FlatTrace(false);
    trace->setFixedSize(220, 26);
    stack->addWidget(trace, 0, Qt::AlignLeading);
    stack->addWidget(new Kicker(kicker, Theme::ink3), 0, Qt::AlignLeading);
    title_->setWrapping(QWIDGETSIZE_MAX);
    stack->addWidget(title_);
    message_->setWrapping(420);
    stack->addWidget(message_, 0, Qt::AlignLeading);
    if (actionTitle && action) {
        button_ = new Button(QuietButtonStyle{Theme::ink, true}, *actionTitle);
        connect(button_, &QAbstractButton::clicked, this, std::move(action));
        stack->addSpacing(4);
        stack->addWidget(button_, 0, Qt::AlignLeading);
    }
    setGraphicsEffect(rise_);
    showEntrance(0);
}

qreal EmptyState::drop() const {
    return Motion::reduceMotion() ? 0 : riseDistance * (1 - entrance_.value());
}

void EmptyState::showEntrance(qreal progress) {
    if (progress >= 1) {
        // At rest the block draws straight onto the page.
        rise_->setEnabled(false);
        return;
    }
    rise_->setEnabled(true);
    rise_->set(std::clamp<qreal>(progress, 0, 1), drop());
}

void EmptyState::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (appeared_) return;
    appeared_ = true;
    // Only a fade under Reduce Motion; the snapshot mode keeps this entrance, it does not loop.
    entrance_.animateTo(1, Motion::standardOrReduced());
}

} // namespace dormio
