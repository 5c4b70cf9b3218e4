#include "Dormio/UI/Kit/Text.h"

#include <QPainter>
#include <QStyle>
#include <cmath>

namespace dormio {

namespace {

int ceil(qreal value) {
    return int(std::ceil(value - 1e-6));
}

} // namespace

TextChange::TextChange(QWidget* owner) : progress_(owner, 1) {}

void TextChange::start(const QString& from, TextTransition kind, const Motion::Curve& curve) {
    kind_ = kind;
    from_ = from;
    progress_.jumpTo(0);
    progress_.animateTo(1, curve);
}

void TextChange::draw(QPainter& painter, const Font& font, QPointF origin, const QString& to) const {
    const qreal p = progress_.value();
    if (kind_ == TextTransition::none || p >= 1) {
        font.draw(painter, origin, to);
        return;
    }
    const qreal opacity = painter.opacity();
    const auto drawAt = [&](const QString& text, QPointF at, qreal fade) {
        painter.setOpacity(opacity * fade);
        font.draw(painter, at, text);
    };
    if (kind_ == TextTransition::opacity) {
        drawAt(from_, origin, 1 - p);
        drawAt(to, origin, p);
        painter.setOpacity(opacity);
        return;
    }
    // Characters that stay put stand still; a text of another length rolls as a whole.
    const qreal rise = font.ascent() * 0.7;
    const bool perCharacter = from_.size() == to.size();
    for (qsizetype i = 0; i < (perCharacter ? to.size() : 1); ++i) {
        const QString before = perCharacter ? from_.mid(i, 1) : from_;
        const QString after = perCharacter ? to.mid(i, 1) : to;
        const QPointF at = origin + QPointF(perCharacter ? font.width(to.left(i)) : 0, 0);
        if (before == after) {
            drawAt(after, at, 1);
            continue;
        }
        drawAt(before, at - QPointF(0, rise * p), 1 - p);
        drawAt(after, at + QPointF(0, rise * (1 - p)), p);
    }
    painter.setOpacity(opacity);
}

Label::Label(const QString& text, const Font& font, DynamicColor color, QWidget* parent)
    : QWidget(parent), text_(text), font_(font), color_(color), change_(this) {
    setAccessibleName(text);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Label::setText(const QString& text) {
    if (text == text_) return;
    const QString before = shownText();
    text_ = text;
    forgetShaping();
    setAccessibleName(text);
    if (transition_ != TextTransition::none && isVisible() && !Motion::reduceMotion())
        change_.start(before, transition_, curve_);
    updateGeometry();
    update();
}

void Label::setTextFont(const Font& font) {
    font_ = font;
    forgetShaping();
    updateGeometry();
    update();
}

void Label::setColor(DynamicColor color) {
    color_ = color;
    update();
}

void Label::setElide(Qt::TextElideMode mode) {
    elide_ = mode;
    wrapWidth_ = 0;
    forgetShaping();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateGeometry();
}

void Label::setWrapping(qreal maxWidth) {
    wrapWidth_ = std::max<qreal>(maxWidth, 1);
    forgetShaping();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    updateGeometry();
}

void Label::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void Label::setUppercase(bool uppercase) {
    uppercase_ = uppercase;
    forgetShaping();
    updateGeometry();
    update();
}

void Label::setTransition(TextTransition transition, Motion::Curve curve) {
    transition_ = transition;
    curve_ = std::move(curve);
}

QString Label::shownText() const {
    return uppercase_ ? text_.toUpper() : text_;
}

void Label::forgetShaping() {
    natural_.reset();
    shaped_ = {};
}

qreal Label::naturalWidth() const {
    if (!natural_) natural_ = font_.width(shownText());
    return *natural_;
}

QStringList Label::linesFor(qreal width) const {
    if (wrapWidth_ <= 0 && elide_ == Qt::ElideNone) return {shownText()};
    for (const Shaped& shaped : shaped_)
        if (shaped.width == width) return shaped.lines;
    QStringList lines = wrapWidth_ > 0 ? font_.wrapped(shownText(), std::min(width, wrapWidth_))
                                       : QStringList{font_.elided(shownText(), elide_, width)};
    shaped_[nextShaped_] = {width, lines};
    nextShaped_ = (nextShaped_ + 1) % shaped_.size();
    return lines;
}

QStringList Label::shownLines() const {
    return linesFor(width());
}

qreal Label::baseline() const {
    if (wrapWidth_ > 0) return font_.ascent();
    return (height() - font_.height()) / 2 + font_.ascent();
}

QSize Label::sizeHint() const {
    const int natural = ceil(naturalWidth());
    if (wrapWidth_ <= 0) return {natural, ceil(font_.height())};
    const int width = std::min(natural, ceil(wrapWidth_));
    return {width, heightForWidth(width)};
}

QSize Label::minimumSizeHint() const {
    const QSize hint = sizeHint();
    if (wrapWidth_ <= 0 && elide_ == Qt::ElideNone) return hint;
    const int least = ceil(font_.width(QStringLiteral("\u2026")));
    return {std::min(hint.width(), least), wrapWidth_ > 0 ? ceil(font_.height()) : hint.height()};
}

int Label::heightForWidth(int width) const {
    if (wrapWidth_ <= 0) return sizeHint().height();
    const qsizetype lines = std::max<qsizetype>(linesFor(width).size(), 1);
    return ceil((lines - 1) * font_.lineSpacing() + font_.height());
}

void Label::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(color_));
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(layoutDirection(), alignment_) & Qt::AlignHorizontal_Mask;
    const QStringList lines = shownLines();
    qreal y = baseline();
    for (const QString& line : lines) {
        const auto free = [&] { return width() - font_.width(line); };
        const qreal x = horizontal & Qt::AlignRight ? free() : horizontal & Qt::AlignHCenter ? free() / 2 : 0;
        if (lines.size() == 1)
            change_.draw(painter, font_, QPointF(x, y), line);
        else
            font_.draw(painter, QPointF(x, y), line);
        y += font_.lineSpacing();
    }
}

Kicker::Kicker(const QString& text, DynamicColor color, QWidget* parent)
    : Label(text, font(), color, parent) {
    setUppercase(true);
}

Font Kicker::font() {
    static const Font tracked = Theme::Typo::kicker().withTracking(0.9);
    return tracked;
}

} // namespace dormio
