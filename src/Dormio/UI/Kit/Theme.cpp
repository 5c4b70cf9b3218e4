#include "Dormio/UI/Kit/Theme.h"

#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <cmath>

namespace dormio {

namespace {

std::optional<Appearance> forcedAppearance;
std::optional<bool> forcedReduceMotion;

bool desktopReducesMotion() {
    const QByteArray flag = qgetenv("DORMIO_REDUCE_MOTION");
    if (!flag.isEmpty()) return flag != "0";
    const QString gsettings = QStandardPaths::findExecutable("gsettings");
    if (gsettings.isEmpty()) return false;
    QProcess query;
    query.start(gsettings, {"get", "org.gnome.desktop.interface", "enable-animations"});
    if (!query.waitForFinished(1000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.readAllStandardOutput().trimmed() == "false";
}

} // namespace

QColor DynamicColor::resolve(Appearance appearance) const {
    const bool isDark = appearance == Appearance::dark;
    const uint32_t rgb = isDark ? dark : light;
    QColor color((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    color.setAlphaF(float(isDark ? darkAlpha : lightAlpha));
    return color;
}

DynamicColor::operator QColor() const {
    return resolve(Theme::appearance());
}

namespace Theme {

Appearance appearance() {
    if (forcedAppearance) return *forcedAppearance;
    // A desktop in a dark style hands the application a dark window colour.
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() < 128 ? Appearance::dark : Appearance::light;
}

void setAppearance(std::optional<Appearance> forced) {
    forcedAppearance = forced;
}

QFont systemFont(double pixels, std::optional<QFont::Weight> weight, bool monospaced) {
    QFont font;
    font.setFamilies(monospaced ? QStringList{"JetBrains Mono", "DejaVu Sans Mono"}
                                : QStringList{"Inter", "DejaVu Sans"});
    font.setStyleHint(monospaced ? QFont::Monospace : QFont::SansSerif);
    if (pixels == std::floor(pixels)) {
        font.setPixelSize(int(pixels));
    } else {
        // Qt takes only whole pixel sizes; a fractional one goes through points at the screen's density.
        const QScreen* screen = QGuiApplication::primaryScreen();
        font.setPointSizeF(pixels * 72.0 / (screen ? screen->logicalDotsPerInch() : 96.0));
    }
    if (weight) font.setWeight(*weight);
    return font;
}

namespace Typo {

const QFont& body() {
    static const QFont font = systemFont(13);
    return font;
}

} // namespace Typo

} // namespace Theme

bool Motion::reduceMotion() {
    if (forcedReduceMotion) return *forcedReduceMotion;
    static const bool desktop = desktopReducesMotion();
    return desktop;
}

void Motion::setReduceMotion(std::optional<bool> forced) {
    forcedReduceMotion = forced;
}

} // namespace dormio
