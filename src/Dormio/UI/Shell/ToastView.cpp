#include "Dormio/UI/Shell/ToastView.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTextLayout>
#include <cmath>
#include <numbers>

namespace dormio {

namespace {

constexpr int bounceMs = 500;
constexpr int springMs = 350;
constexpr int reducedMs = 200;

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
    const double t = progress * springMs / 1000.0;
    return 1 - std::exp(-zeta * omega * t) *
                   (std::cos(damped * t) + zeta * omega / damped * std::sin(damped * t));
}

QEasingCurve entranceCurve() {
    if (Motion::reduceMotion()) return QEasingCurve(QEasingCurve::InOutQuad);
    QEasingCurve curve;
    curve.setCustomType(springEasing);
    return curve;
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

    bounceAnimation_.setStartValue(0.0);
    bounceAnimation_.setEndValue(1.0);
    bounceAnimation_.setDuration(bounceMs);
    connect(&bounceAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        symbolScale_ = bounceScale(value.toReal());
        update();
    });
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
    bounceAnimation_.stop();
    bounceAnimation_.start();
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
        view_->move(restingPosition(view_));
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
    const int duration = Motion::reduceMotion() ? reducedMs : springMs;
    auto* group = new QParallelAnimationGroup(view);
    auto* move = new QPropertyAnimation(view, "pos", group);
    move->setStartValue(hiddenPosition(view));
    move->setEndValue(restingPosition(view));
    move->setDuration(duration);
    move->setEasingCurve(entranceCurve());
    auto* fade = new QPropertyAnimation(view, "opacity", group);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->setDuration(duration);
    fade->setEasingCurve(entranceCurve());
    view->setOpacity(0);
    view->move(hiddenPosition(view));
    view->show();
    view->raise();
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void ToastOverlay::leave(ToastView* view) {
    for (auto* entrance : view->findChildren<QParallelAnimationGroup*>())
        entrance->stop();
    const int duration = Motion::reduceMotion() ? reducedMs : springMs;
    auto* group = new QParallelAnimationGroup(view);
    auto* move = new QPropertyAnimation(view, "pos", group);
    move->setEndValue(hiddenPosition(view));
    move->setDuration(duration);
    move->setEasingCurve(entranceCurve());
    auto* fade = new QPropertyAnimation(view, "opacity", group);
    fade->setEndValue(0.0);
    fade->setDuration(duration);
    fade->setEasingCurve(entranceCurve());
    connect(group, &QAbstractAnimation::finished, view, &QObject::deleteLater);
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace dormio
