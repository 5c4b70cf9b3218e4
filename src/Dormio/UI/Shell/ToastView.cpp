#include "Dormio/UI/Shell/ToastView.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <cmath>
#include <numbers>

namespace dormio {

namespace {

QFont symbolFont() {
    return Theme::systemFont(ToastView::symbolSize, QFont::DemiBold);
}
QFont timeFont() {
    return Theme::systemFont(ToastView::timeSize, QFont::Normal, true);
}

// The symbol's side: the glyph of a 12 px symbol font stands a little taller than its size.
qreal symbolSide() {
    return QFontMetricsF(symbolFont()).height();
}

// A spring of response 0.3 s and damping fraction 0.86, sampled over the animation's duration.
qreal springEasing(qreal progress) {
    if (progress >= 1) return 1;
    const double omega = 2 * std::numbers::pi / 0.3;
    const double zeta = 0.86;
    const double damped = omega * std::sqrt(1 - zeta * zeta);
    const double t = progress * ToastView::springDuration.count() / 1000.0;
    return 1 - std::exp(-zeta * omega * t) *
                   (std::cos(damped * t) + zeta * omega / damped * std::sin(damped * t));
}

// The entrance and the exit: a move from the bottom edge with a fade.
Tween entranceTween(std::function<void(double)> frame) {
    if (Motion::reduceMotion())
        return {0, 1, ToastView::reducedDuration, QEasingCurve(QEasingCurve::InOutQuad), std::move(frame)};
    QEasingCurve spring;
    spring.setCustomType(springEasing);
    return {0, 1, ToastView::springDuration, spring, std::move(frame)};
}

QPoint between(QPoint from, QPoint to, double progress) {
    return from + (QPointF(to - from) * progress).toPoint();
}

// The bounce: the symbol dips, springs past its size and settles.
qreal bounceScale(qreal progress) {
    if (progress >= 1) return 1;
    return 1 - 0.22 * std::exp(-4 * progress) * std::sin(2 * std::numbers::pi * 1.2 * progress);
}

} // namespace

ToastView::ToastView(Toast::Message message, QWidget* parent)
    : QWidget(parent), message_(std::move(message)),
      clockTime_(QString::fromStdString(Fmt::clockTime(currentDate()))) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(message_.text + ", " + clockTime_);

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(10);
    shadow->setOffset(0, 4);
    shadow->setColor(QColor(0, 0, 0, 26)); // black at 0.1
    setGraphicsEffect(shadow);
    layoutText();
}

void ToastView::setAvailableWidth(int width) {
    const qreal chrome = 2 * horizontalPadding + symbolSide() + 2 * spacing +
                         QFontMetricsF(timeFont()).horizontalAdvance(clockTime_);
    maxTextWidth_ = std::max(int(width - chrome), 40);
    layoutText();
    resize(sizeHint());
}

void ToastView::layoutText() {
    const QFont& font = Theme::Typo::body();
    const QFontMetricsF metrics(font);
    QTextLayout layout(message_.text, font);
    layout.beginLayout();
    lines_.clear();
    textWidth_ = 0;
    while (lines_.size() < 2) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(maxTextWidth_);
        QString text = message_.text.mid(line.textStart(), line.textLength());
        if (lines_.size() == 1 && line.textStart() + line.textLength() < message_.text.size())
            text = metrics.elidedText(message_.text.mid(line.textStart()).simplified(), Qt::ElideRight,
                                      maxTextWidth_);
        text = text.trimmed();
        textWidth_ = std::max(textWidth_, metrics.horizontalAdvance(text));
        lines_ << text;
    }
    layout.endLayout();
    updateGeometry();
}

QSize ToastView::sizeHint() const {
    const qreal textHeight =
        QFontMetricsF(Theme::Typo::body()).lineSpacing() * std::max<qsizetype>(lines_.size(), 1);
    const QFontMetricsF time(timeFont());
    const qreal content = std::max({symbolSide(), textHeight, time.height()});
    const qreal width = symbolSide() + spacing + textWidth_ + spacing + time.horizontalAdvance(clockTime_) +
                        2 * horizontalPadding;
    return QSize(int(std::ceil(width)), int(std::ceil(content + 2 * verticalPadding)));
}

void ToastView::setOpacity(qreal opacity) {
    opacity_ = opacity;
    update();
}

void ToastView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (Motion::reduceMotion()) return;
    ++bounce_;
    AnimationClock::shared().animate(this,
                                     {0, 1, bounceDuration, QEasingCurve::Linear, [this](double progress) {
                                          symbolScale_ = bounceScale(progress);
                                          update();
                                      }});
}

void ToastView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setOpacity(opacity_);

    // The border lies inside the shape: a 1 px line centred half a pixel in from the edge.
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(Theme::ruleStrong), 1));
    painter.setBrush(QColor(Theme::panel));
    painter.drawRoundedRect(shape, cornerRadius - 0.5, cornerRadius - 0.5);

    const qreal middle = height() / 2.0;
    qreal x = horizontalPadding;
    const qreal side = symbolSide();
    const QRectF symbol(x, middle - side / 2, side, side);
    painter.save();
    painter.translate(symbol.center());
    painter.scale(symbolScale_, symbolScale_);
    painter.translate(-symbol.center());
    Symbols::paint(painter, symbol, message_.symbol.toStdString(), Theme::indigo);
    painter.restore();
    x += side + spacing;

    const QFontMetricsF body(Theme::Typo::body());
    painter.setFont(Theme::Typo::body());
    painter.setPen(QColor(Theme::ink));
    qreal y = middle - body.lineSpacing() * lines_.size() / 2.0;
    for (const QString& line : lines_) {
        painter.drawText(QPointF(x, y + body.ascent()), line);
        y += body.lineSpacing();
    }
    x += textWidth_ + spacing;

    const QFontMetricsF time(timeFont());
    painter.setFont(timeFont());
    painter.setPen(QColor(Theme::ink3));
    painter.drawText(QPointF(x, middle - time.height() / 2 + time.ascent()), clockTime_);
}

ToastOverlay::ToastOverlay(QWidget* host, Toast& toast) : QObject(host), host_(host), toast_(toast) {
    host_->installEventFilter(this);
    connect(&toast_, &Toast::currentChanged, this, &ToastOverlay::messageChanged);
    messageChanged();
}

bool ToastOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_ && event->type() == QEvent::Resize && view_) {
        view_->setAvailableWidth(host_->width() - 2 * bottomPadding);
        // An entrance under way finds the new resting place on its next frame.
        if (!entrance_ || !entrance_->isRunning()) view_->move(restingPosition(view_));
    }
    return QObject::eventFilter(watched, event);
}

void ToastOverlay::messageChanged() {
    const std::optional<Toast::Message>& message = toast_.current();
    if (view_ && message && view_->message() == *message) return;
    if (view_) leave(view_);
    view_ = nullptr;
    if (!message) return;
    auto* view = new ToastView(*message, host_);
    view->setAvailableWidth(host_->width() - 2 * bottomPadding);
    view_ = view;
    enter(view);
}

QPoint ToastOverlay::restingPosition(const ToastView* view) const {
    return QPoint((host_->width() - view->width()) / 2, host_->height() - bottomPadding - view->height());
}

QPoint ToastOverlay::hiddenPosition(const ToastView* view) const {
    return QPoint((host_->width() - view->width()) / 2, host_->height());
}

void ToastOverlay::enter(ToastView* view) {
    view->setOpacity(0);
    view->move(hiddenPosition(view));
    view->show();
    view->raise();
    // The resting place is taken on every frame, so a window resized meanwhile is followed.
    entrance_ = AnimationClock::shared().animate(
        view, entranceTween([this, view](double progress) {
            view->move(between(hiddenPosition(view), restingPosition(view), progress));
            view->setOpacity(progress);
        }));
}

void ToastOverlay::leave(ToastView* view) {
    if (entrance_) entrance_->stop();
    const QPoint from = view->pos();
    const qreal opacity = view->opacity();
    Tween exit = entranceTween([this, view, from, opacity](double progress) {
        view->move(between(from, hiddenPosition(view), progress));
        view->setOpacity(opacity * (1 - progress));
    });
    exit.finished = [view] { view->deleteLater(); };
    AnimationClock::shared().animate(view, std::move(exit));
}

} // namespace dormio
