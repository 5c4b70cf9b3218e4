#include "Dormio/UI/Kit/ShownPixels.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>

namespace dormio {

namespace {

// The window's last painted pixels, while they match what the window is now.
const QImage* paintedImage(const QWidget* window) {
    QBackingStore* store = window->backingStore();
    if (!store || store->size() != window->size()) return nullptr;
    const QPaintDevice* device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image) return nullptr;
    const auto* image = static_cast<const QImage*>(device);
    return image->isNull() ? nullptr : image;
}

} // namespace

QPixmap shownPixels(QWidget* widget, const QRect& area) {
    const QWidget* window = widget->window();
    if (const QImage* image = paintedImage(window)) {
        const qreal ratio = image->devicePixelRatio();
        const QRect inWindow(widget->mapTo(window, area.topLeft()), area.size());
        const QRect pixels =
            QRectF(QPointF(inWindow.topLeft()) * ratio, QSizeF(inWindow.size()) * ratio).toAlignedRect();
        if (image->rect().contains(pixels)) {
            QImage shown = image->copy(pixels);
            // An opaque window's alpha is never shown: a picture without it draws as a plain copy.
            if (!window->testAttribute(Qt::WA_TranslucentBackground) &&
                shown.format() == QImage::Format_ARGB32_Premultiplied)
                shown.reinterpretAsFormat(QImage::Format_RGB32);
            QPixmap pixmap = QPixmap::fromImage(std::move(shown));
            pixmap.setDevicePixelRatio(ratio);
            return pixmap;
        }
    }
    return widget->grab(area);
}

} // namespace dormio
