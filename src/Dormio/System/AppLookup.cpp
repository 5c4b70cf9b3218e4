#include "Dormio/System/AppLookup.h"

#include "Dormio/System/InstalledApps.h"
#include "Dormio/System/ProcessTable.h"
#include "Dormio/System/RunningApps.h"
#include "DormioKit/ProcessNames.h"

#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace dormio {

namespace {

QString lastComponent(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

AppIdentity identityOf(const RunningApp& app, const std::string& fallbackName) {
    AppIdentity identity;
    identity.isUserApp = app.policy == ActivationPolicy::regular;
    identity.name = app.localizedName ? app.localizedName->toStdString() : fallbackName;
    if (app.executablePath) {
        const std::string executable = app.executablePath->toStdString();
        identity.path = ProcessNames::appBundle(executable).value_or(executable);
    }
    if (app.bundleID) identity.bundleID = app.bundleID->toStdString();
    return identity;
}

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

AppIdentity AppLookup::identity(int32_t pid, const std::string& fallbackName) {
    if (const auto app = RunningApps::forPid(pid)) return identityOf(*app, fallbackName);
    const auto executable = executablePath(pid);
    if (!executable) return {fallbackName, std::nullopt, std::nullopt, false};
    const auto bundle = ProcessNames::appBundle(*executable);
    if (!bundle) return {fallbackName, executable, std::nullopt, false};
    // A bundle on this system has no information keys, so no bundle id.
    return {displayName(*bundle).value_or(fallbackName), bundle, std::nullopt, false};
}

AppIdentity AppLookup::identity(const std::string& processName) {
    const QString name = QString::fromStdString(processName);
    for (const RunningApp& app : RunningApps::list()) {
        const bool executableMatches = app.executablePath && lastComponent(*app.executablePath) == name;
        if (executableMatches || app.localizedName == name) return identityOf(app, processName);
    }
    // Installed but not running: the entry's program by its file name.
    const auto catalog = InstalledApps::all();
    for (const InstalledApp& app : catalog->apps)
        if (!app.executable.isEmpty() && lastComponent(app.executable) == name)
            return {processName, app.executable.toStdString(), std::nullopt, false};
    return {ProcessNames::friendly(processName), std::nullopt, std::nullopt, false};
}

std::optional<std::string> AppLookup::displayName(const std::string& bundlePath) {
    const QString path = QString::fromStdString(bundlePath);
    if (path.endsWith(QStringLiteral(".desktop")))
        if (const auto entry = DesktopEntryFile::read(path); entry && !entry->name.isEmpty())
            return entry->name.toStdString();
    QString name = lastComponent(path);
    if (const qsizetype dot = name.lastIndexOf(QLatin1Char('.')); dot > 0) name.truncate(dot);
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> AppLookup::executablePath(int32_t pid) {
    if (pid < 1) return std::nullopt;
    return ProcessTable::exePath(pid);
}

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
