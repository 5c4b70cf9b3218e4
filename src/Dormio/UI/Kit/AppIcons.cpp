#include "Dormio/UI/Kit/AppIcons.h"

#include "Dormio/Core/System/DesktopEntry.h"
#include "Dormio/Core/System/InstalledApps.h"

#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace dormio {

namespace {

QHash<QString, QIcon>& iconCache() {
    static QHash<QString, QIcon> cache;
    return cache;
}

QIcon iconNamed(const QString& name) {
    if (name.isEmpty()) return {};
    if (name.startsWith(QLatin1Char('/'))) return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : QIcon();
}

// Without an icon theme (a bare session, the offscreen platform) a program still gets a recognisable
// picture: a terminal window with a prompt.
QPixmap drawnExecutable(int px) {
    QPixmap pixmap(px, px);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = px / 32.0;
    const QRectF frame(3 * unit, 5 * unit, 26 * unit, 22 * unit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3c, 0x3f, 0x46));
    painter.drawRoundedRect(frame, 3 * unit, 3 * unit);
    painter.setBrush(QColor(0x6b, 0x70, 0x7a));
    painter.drawRoundedRect(QRectF(frame.left(), frame.top(), frame.width(), 5 * unit), 3 * unit, 3 * unit);
    QPen pen(QColor(0xe8, 0xea, 0xed), 2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.drawPolyline(QPolygonF(
        {QPointF(8 * unit, 14 * unit), QPointF(12 * unit, 17.5 * unit), QPointF(8 * unit, 21 * unit)}));
    painter.drawLine(QPointF(14 * unit, 21 * unit), QPointF(21 * unit, 21 * unit));
    return pixmap;
}

QIcon genericExecutableIcon() {
    static const QIcon generic = [] {
        QIcon themed = iconNamed(QStringLiteral("application-x-executable"));
        if (!themed.isNull()) return themed;
        QIcon drawn;
        for (const int px : {16, 32, 64, 128})
            drawn.addPixmap(drawnExecutable(px));
        return drawn;
    }();
    return generic;
}

// The icon of an application entry, or of the executable that an installed entry launches.
QIcon entryIcon(const QString& path) {
    if (path.endsWith(QStringLiteral(".desktop"))) {
        const auto entry = DesktopEntryFile::read(path);
        return entry ? iconNamed(entry->icon) : QIcon();
    }
    const auto catalog = InstalledApps::all();
    const InstalledApp* app = catalog->launching(QFileInfo(path).canonicalFilePath());
    return app ? iconNamed(app->entry.icon) : QIcon();
}

// Saturation 0 with Rec. 709 weights, then contrast 1.05 about the middle grey.
QImage grayed(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const double luma =
                (0.2125 * qRed(pixel) + 0.7154 * qGreen(pixel) + 0.0721 * qBlue(pixel)) / 255.0;
            const int gray = int(std::lround(std::clamp((luma - 0.5) * 1.05 + 0.5, 0.0, 1.0) * 255.0));
            line[x] = qRgba(gray, gray, gray, qAlpha(pixel));
        }
    }
    return image;
}

} // namespace

QIcon AppLookup::icon(const std::optional<std::string>& path) {
    const QString key = path ? QString::fromStdString(*path) : QStringLiteral("-");
    if (const auto it = iconCache().constFind(key); it != iconCache().cend()) return *it;
    QIcon image;
    if (path && QFileInfo::exists(key)) image = entryIcon(key);
    if (image.isNull()) image = genericExecutableIcon();
    iconCache().insert(key, image);
    return image;
}

QIcon AppLookup::grayIcon(const std::optional<std::string>& path) {
    const QString key =
        QStringLiteral("gray:") + (path ? QString::fromStdString(*path) : QStringLiteral("-"));
    if (const auto it = iconCache().constFind(key); it != iconCache().cend()) return *it;
    const QIcon plain = icon(path);
    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    QIcon result = plain;
    if (!canvas.isNull()) {
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            plain.paint(&painter, QRect(0, 0, 64, 64));
        }
        QPixmap pixmap = QPixmap::fromImage(grayed(canvas.convertToFormat(QImage::Format_ARGB32)));
        if (!pixmap.isNull()) {
            // 64 pixels shown in 32 points.
            pixmap.setDevicePixelRatio(2);
            result = QIcon(pixmap);
        }
    }
    iconCache().insert(key, result);
    return result;
}

} // namespace dormio
