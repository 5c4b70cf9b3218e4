#include "Dormio/UI/Kit/Badges.h"

#include "Dormio/UI/Kit/Shapes.h"

#include <QPainter>
#include <cmath>

namespace dormio {

namespace {

QSize ceilSize(qreal width, qreal height) {
    return {int(std::ceil(width - 1e-6)), int(std::ceil(height - 1e-6))};
}

// A rounded card of `fill` with an outline inside its edge and the text centred on it.
void paintBadge(QWidget& widget, const Font& font, const QString& text, const QColor& ink, const QColor& fill,
                const QColor& outline) {
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = widget.rect();
    Shapes::fill(painter, frame, Theme::Radius::tag, fill);
    Shapes::strokeInside(painter, frame, Theme::Radius::tag, outline);
    painter.setPen(ink);
    const QPointF origin((frame.width() - font.width(text)) / 2,
                         (frame.height() - font.height()) / 2 + font.ascent());
    font.draw(painter, origin, text);
}

} // namespace

Tag::Tag(const QString& text, DynamicColor color, QWidget* parent)
    : QWidget(parent), text_(text), color_(color) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

Font Tag::font() {
    static const Font font(10, QFont::Medium, Font::Design::monospaced);
    return font;
}

void Tag::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize Tag::sizeHint() const {
    return ceilSize(font().width(text_) + 2 * 5, font().height() + 2 * 1.5);
}

void Tag::paintEvent(QPaintEvent*) {
    paintBadge(*this, font(), text_, color_, Qt::transparent, color_.opacity(0.45));
}

KeyCap::KeyCap(const QString& key, QWidget* parent) : QWidget(parent), key_(key) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(shownKey());
}

Font KeyCap::font() {
    static const Font font(11.5, QFont::Medium, Font::Design::monospaced);
    return font;
}

QString KeyCap::shownKey() const {
    return key_ == QStringLiteral("\u2318") ? QStringLiteral("Ctrl") : key_;
}

QSize KeyCap::sizeHint() const {
    return ceilSize(std::max<qreal>(22, font().width(shownKey()) + 2 * 6),
                    std::max<qreal>(20, font().height()));
}

void KeyCap::paintEvent(QPaintEvent*) {
    paintBadge(*this, font(), shownKey(), Theme::ink, Theme::panel, Theme::ruleStrong);
}

} // namespace dormio
