#include "OstrelKit/Capture/ComposedFrame.h"

#include "OstrelKit/Capture/WindowCapture.h"

#include <QWidget>
#include <QWindow>

namespace dormio {

ComposedFrame::ComposedFrame(QSize pixels, const QList<QColor>& backdrop)
    : backdrop_(backdrop), image_(pixels, QImage::Format_ARGB32_Premultiplied) {
    image_.fill(Qt::black);
}

QRect ComposedFrame::update(const QRect& region, const QList<QWidget*>& windows) {
    repaints_.paintPending(windows);
    QRegion repainted = repaints_.take();
    QList<Shown> shown;
    for (QWidget* window : windows) {
        shown.append({window, window->geometry()});
        // Until the platform exposes a window Qt paints nothing of it, so it tells of no change: it is drawn
        // whole every frame till then.
        if (!window->windowHandle() || !window->windowHandle()->isExposed()) repainted += window->geometry();
    }
    // A window moved, shown or hidden uncovers or covers what no repaint tells of.
    const bool anew = region != region_ || shown != shown_;
    region_ = region;
    shown_ = std::move(shown);
    const QRect area = anew ? image_.rect() : pixelsOf(repainted & region);
    if (area.isEmpty()) return area;
    const Repaints::Quiet quiet(repaints_);
    WindowCapture::compose(image_, region, backdrop_, windows, area);
    return area;
}

QRect ComposedFrame::pixelsOf(const QRegion& global) const {
    const qreal sx = qreal(image_.width()) / region_.width();
    const qreal sy = qreal(image_.height()) / region_.height();
    QRect pixels;
    for (const QRect& rect : global) {
        const QRectF points = QRectF(rect.translated(-region_.topLeft()));
        // Smoothing carries a changed pixel a pixel or so into its neighbours when the scale is not whole.
        pixels |= QRectF(points.x() * sx, points.y() * sy, points.width() * sx, points.height() * sy)
                      .toAlignedRect()
                      .adjusted(-2, -2, 2, 2);
    }
    return pixels & image_.rect();
}

} // namespace dormio
