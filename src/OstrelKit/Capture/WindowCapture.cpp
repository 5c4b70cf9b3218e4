#include "OstrelKit/Capture/WindowCapture.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <tuple>

namespace dormio::WindowCapture {

namespace {

int layer(const QWidget* window) {
    switch (window->windowType()) {
    case Qt::Tool:
        return 1;
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
        return 2;
    default:
        return 0;
    }
}

bool onScreen(const QWidget* window) {
    return window->isVisible() && !window->isMinimized() && window->windowType() != Qt::Desktop &&
           !window->testAttribute(Qt::WA_DontShowOnScreen);
}

void paintBackdrop(QPainter& painter, const QRectF& area, const QList<QColor>& colours) {
    if (colours.isEmpty()) {
        painter.fillRect(area, Qt::black);
        return;
    }
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    if (colours.size() == 1) {
        gradient.setColorAt(0, colours.front());
        gradient.setColorAt(1, colours.front());
    } else {
        for (qsizetype i = 0; i < colours.size(); ++i)
            gradient.setColorAt(qreal(i) / qreal(colours.size() - 1), colours[i]);
    }
    painter.fillRect(area, gradient);
}

} // namespace

QList<QWidget*> windowsIn(const QRect& region) {
    // Qt's list of windows keeps the order in which they were made; its list of widgets has no order.
    const QWindowList made = QGuiApplication::topLevelWindows();
    struct Entry {
        int layer;
        qsizetype made;
        QWidget* window;
    };
    QList<Entry> entries;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (onScreen(window) && window->geometry().intersects(region))
            entries.append({layer(window), made.indexOf(window->windowHandle()), window});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.layer, a.made) < std::tie(b.layer, b.made);
    });
    QList<QWidget*> windows;
    for (const Entry& entry : entries)
        windows.append(entry.window);
    return windows;
}

void compose(QImage& frame, const QRect& region, const QList<QColor>& backdrop,
             const QList<QWidget*>& windows, const QRect& area) {
    const qreal sx = qreal(frame.width()) / region.width();
    const qreal sy = qreal(frame.height()) / region.height();
    // What the windows must draw, in the region's points: a point more all round, so that the edges
    // smoothing spreads into the area are drawn too; the painter's clip keeps to the area's pixels.
    const QRect points = QRectF(area.x() / sx, area.y() / sy, area.width() / sx, area.height() / sy)
                             .toAlignedRect()
                             .adjusted(-1, -1, 1, 1);

    // Qt draws through the painter's transform, so text and shapes come out sharp at any scale.
    QPainter painter(&frame);
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(sx, sy);
    // The backdrop goes under the windows too: a part that fades in or out lets through what is under its
    // window, and that must be the same whatever was drawn there before.
    paintBackdrop(painter, QRectF(QPointF(), region.size()), backdrop);
    for (QWidget* window : windows) {
        const QPoint offset = window->geometry().topLeft() - region.topLeft();
        // An empty source would mean the whole window to Qt.
        const QRect source = points.translated(-offset) & window->rect();
        if (source.isEmpty()) continue;
        painter.save();
        painter.translate(offset);
        // A part may draw past its window's edge where the scale is not whole; on screen the window ends it.
        painter.setClipRect(window->rect(), Qt::IntersectClip);
        // Qt puts the source's top-left corner at the target offset.
        window->render(&painter, source.topLeft(), QRegion(source),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
        painter.restore();
    }
}

} // namespace dormio::WindowCapture
