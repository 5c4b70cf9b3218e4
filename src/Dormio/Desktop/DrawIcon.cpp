// Draws the application's icon, a crescent moon on a night sky, at the sizes of the icon theme:
//
//   draw-icon FOLDER NAME SIZE...
//
// writes FOLDER/hicolor/SIZExSIZE/apps/NAME.png for every size.

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

// The icon on a canvas of 256 × 256 units, scaled to the picture.
void paintIcon(QPainter& painter, int size) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);
    painter.setPen(Qt::NoPen);

    QLinearGradient sky(0, 16, 0, 240);
    sky.setColorAt(0, QColor(0x2b, 0x3a, 0x78));
    sky.setColorAt(1, QColor(0x12, 0x1a, 0x3d));
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(16, 16, 224, 224), 52, 52);

    QPainterPath moon;
    moon.addEllipse(QPointF(116, 134), 78, 78);
    QPainterPath shadow;
    shadow.addEllipse(QPointF(158, 100), 66, 66);
    QLinearGradient light(60, 70, 190, 210);
    light.setColorAt(0, QColor(0xff, 0xf4, 0xc7));
    light.setColorAt(1, QColor(0xf2, 0xc9, 0x5c));
    painter.setBrush(light);
    painter.drawPath(moon.subtracted(shadow));

    painter.setBrush(QColor(0xff, 0xf4, 0xc7));
    painter.drawEllipse(QPointF(190, 72), 7, 7);
    painter.setOpacity(0.8);
    painter.drawEllipse(QPointF(206, 122), 4.5, 4.5);
    painter.setOpacity(0.7);
    painter.drawEllipse(QPointF(58, 60), 4, 4);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: draw-icon FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0 || size > 4096) {
            std::fprintf(stderr, "draw-icon: %s is not a size in pixels\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintIcon(painter, size);
        painter.end();
        const QString folder =
            QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = folder + QLatin1Char('/') + QString::fromLocal8Bit(argv[2]) + ".png";
        if (!QDir().mkpath(folder) || !image.save(file)) {
            std::fprintf(stderr, "draw-icon: %s could not be written\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
