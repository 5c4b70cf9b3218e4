#include "Dormio/UI/Kit/Buttons.h"

#include "Dormio/UI/Kit/FocusRing.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Symbols.h"

#include <QPainter>
#include <cmath>

namespace dormio {

PrimaryButtonStyle::operator ButtonStyle() const {
    ButtonStyle style{Font(large ? 13 : 12.5, QFont::Medium)};
    style.label = style.labelHover = Theme::white;
    style.fill = style.fillHover = Theme::brandIndigo;
    style.fillPressed = Theme::brandIndigo.opacity(0.82);
    style.outline = Theme::brandRose.opacity(0);
    style.outlineHover = Theme::brandRose.opacity(0.7);
    style.padding = large ? 16 : 12;
    style.height = large ? 30 : 26;
    style.disabledOpacity = 0.45;
    return style;
}

QuietButtonStyle::operator ButtonStyle() const {
    ButtonStyle style{Font(large ? 13 : 12, QFont::Medium)};
    style.label = style.labelHover = tint;
    style.fill = clear;
    style.fillHover = Theme::wash;
    style.fillPressed = Theme::rule;
    style.outline = Theme::rule;
    style.outlineHover = Theme::ruleStrong;
    style.padding = large ? 14 : 10;
    style.height = large ? 30 : 24;
    style.disabledOpacity = 0.45;
    return style;
}

IconButtonStyle::operator ButtonStyle() const {
    ButtonStyle style{Font(size * 0.5, QFont::Medium)};
    style.label = Theme::ink2;
    style.labelHover = Theme::ink;
    style.fill = clear;
    style.fillHover = Theme::wash;
    style.fillPressed = Theme::rule;
    style.outline = style.outlineHover = clear;
    style.height = style.side = size;
    style.disabledOpacity = 0.35;
    return style;
}

Button::Button(const ButtonStyle& style, const QString& text, QWidget* parent)
    : QAbstractButton(parent), style_(style), hover_(this) {
    setText(text);
    setAccessibleName(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    FocusRing::attach(this, Theme::Radius::control);
    // Hover shows on disabled buttons too, as the pointer moves over them.
    setAttribute(Qt::WA_Hover);
}

Button* Button::withSymbol(const ButtonStyle& style, std::string_view symbol, QWidget* parent) {
    auto* button = new Button(style, QString(), parent);
    button->symbol_ = std::string(symbol);
    return button;
}

QSize Button::sizeHint() const {
    if (style_.side > 0) {
        const int side = int(std::ceil(style_.side));
        return {side, side};
    }
    const qreal width = style_.font.width(text()) + 2 * style_.padding;
    return {int(std::ceil(width - 1e-6)), int(std::ceil(style_.height))};
}

Button::Look Button::look(const ButtonStyle& style, qreal hover, bool pressed, bool enabled) {
    Look look;
    look.label = Shapes::mix(style.label, style.labelHover, hover);
    look.fill = pressed ? QColor(style.fillPressed) : Shapes::mix(style.fill, style.fillHover, hover);
    look.outline = Shapes::mix(style.outline, style.outlineHover, hover);
    look.opacity = enabled ? 1 : style.disabledOpacity;
    return look;
}

void Button::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Look paint = look(style_, hover_.value(), isDown(), isEnabled());
    painter.setOpacity(paint.opacity);
    const QRectF frame = rect();
    Shapes::fill(painter, frame, Theme::Radius::control, paint.fill);
    Shapes::strokeInside(painter, frame, Theme::Radius::control, paint.outline);

    if (!symbol_.empty()) {
        const qreal side = style_.font.pixels();
        Symbols::paint(painter, QRectF(frame.center() - QPointF(side, side) / 2, QSizeF(side, side)), symbol_,
                       paint.label);
        return;
    }
    const Font& font = style_.font;
    painter.setPen(paint.label);
    font.draw(
        painter,
        {(frame.width() - font.width(text())) / 2, (frame.height() - font.height()) / 2 + font.ascent()},
        text());
}

void Button::enterEvent(QEnterEvent* event) {
    hover_.animateTo(1, Motion::unlessReduced(Motion::snappy()));
    QAbstractButton::enterEvent(event);
}

void Button::leaveEvent(QEvent* event) {
    hover_.animateTo(0, Motion::unlessReduced(Motion::snappy()));
    QAbstractButton::leaveEvent(event);
}

} // namespace dormio
