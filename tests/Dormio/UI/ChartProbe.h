#pragma once

// What the page charts' tests share: a paint function drawn at twice the pixels on a card-coloured or
// clear ground, in a given appearance.

#include "Dormio/UI/Kit/CanvasPalette.h"
#include "KitTest.h"

#include <QImage>
#include <QPainter>
#include <functional>

namespace dormio::test {

using ChartPaint = std::function<void(QPainter&, QSizeF, const CanvasPalette&)>;

inline QImage drawChart(const ChartPaint& paint, QSizeF size, Appearance appearance,
                        const QColor& ground = Qt::transparent) {
    QImage image((size * 2).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, size, CanvasPalette(appearance));
    return image;
}

inline bool blank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() != 0) return false;
    return true;
}

// Whether some pixel inside `area` (logical pixels) carries the tone of `color`, at any opacity: antialiased
// text and hairlines cover pixels only in part.
inline bool inkedIn(const QImage& image, const QRectF& area, const QColor& color, int tolerance = 6) {
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels = QRectF(area.topLeft() * ratio, area.size() * ratio).toAlignedRect() & image.rect();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QColor seen = image.pixelColor(x, y);
            if (seen.alpha() > 60 && std::abs(seen.red() - color.red()) <= tolerance &&
                std::abs(seen.green() - color.green()) <= tolerance &&
                std::abs(seen.blue() - color.blue()) <= tolerance)
                return true;
        }
    return false;
}

inline constexpr Appearance bothAppearances[] = {Appearance::light, Appearance::dark};

} // namespace dormio::test
