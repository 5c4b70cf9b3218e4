#include "Dormio/UI/Charts/ChartPainting.h"

#include "Dormio/UI/Kit/Theme.h"

#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>

namespace dormio::Charts {

Font labelFont(qreal pixels, QFont::Weight weight) {
    return Theme::systemFont(pixels, weight, true);
}

void drawLabel(QPainter& painter, const Font& font, const QColor& color, const ChartLabel& label) {
    const qreal width = font.width(label.text);
    qreal left = label.at.x();
    qreal baseline = label.at.y() + font.ascent(); // for a top edge
    switch (label.anchor) {
    case Anchor::topCentre:
        left -= width / 2;
        break;
    case Anchor::topTrailing:
        left -= width;
        break;
    case Anchor::bottomCentre:
        left -= width / 2;
        baseline = label.at.y() - font.descent();
        break;
    case Anchor::bottomLeading:
        baseline = label.at.y() - font.descent();
        break;
    case Anchor::bottomTrailing:
        left -= width;
        baseline = label.at.y() - font.descent();
        break;
    case Anchor::leadingCentre:
        baseline = label.at.y() - font.height() / 2 + font.ascent();
        break;
    case Anchor::trailingCentre:
        left -= width;
        baseline = label.at.y() - font.height() / 2 + font.ascent();
        break;
    }
    painter.setPen(color);
    font.draw(painter, QPointF(left, baseline), label.text);
}

QImage picture(QSizeF size, qreal ratio, const std::function<void(QPainter&)>& draw) {
    QImage image((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QSemaphore done;
    QThreadPool* pool = QThreadPool::globalInstance();
    // A reserved thread starts at once, however many tasks the pool has queued.
    pool->reserveThread();
    pool->startOnReservedThread([&] {
        QPainter painter(&image);
        draw(painter);
        painter.end();
        done.release();
    });
    done.acquire();
    return image;
}

QPainterPath pathOf(const std::vector<QLineF>& lines) {
    QPainterPath path;
    for (const QLineF& line : lines) {
        path.moveTo(line.p1());
        path.lineTo(line.p2());
    }
    return path;
}

} // namespace dormio::Charts
