#pragma once

// What the kit's tests share: a fixed appearance and a clock moved by hand for the length of a test,
// widgets rendered off screen at a device pixel ratio, colour probes and contrast, and the gallery of PNGs a
// person can look at.

#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>

namespace dormio::test {

// Forces an appearance for the length of a scope.
class AppearanceScope {
public:
    explicit AppearanceScope(Appearance appearance) { Theme::setAppearance(appearance); }
    ~AppearanceScope() { Theme::setAppearance(std::nullopt); }
    AppearanceScope(const AppearanceScope&) = delete;
    AppearanceScope& operator=(const AppearanceScope&) = delete;
};

// The UI's animation clock in another mode for the length of a scope.
class ClockMode {
public:
    explicit ClockMode(AnimationClock::Mode mode) { AnimationClock::shared().setMode(mode); }
    ~ClockMode() { AnimationClock::shared().setMode(AnimationClock::Mode::running); }
    ClockMode(const ClockMode&) = delete;
    ClockMode& operator=(const ClockMode&) = delete;
};

// Time moves only when the test moves it.
class SteppedClock : ClockMode {
public:
    SteppedClock() : ClockMode(AnimationClock::Mode::stepped) {}
    void advance(std::chrono::milliseconds time) const { AnimationClock::shared().advance(time); }
};

// Every animation shows its end at once.
class InstantClock : ClockMode {
public:
    InstantClock() : ClockMode(AnimationClock::Mode::instant) {}
};

inline const char* nameOf(Appearance appearance) {
    return appearance == Appearance::dark ? "dark" : "light";
}

// The pointer entering or leaving a widget, as Qt tells it.
inline void enter(QWidget* widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(widget, &event);
}
inline void leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

// The widget at its size hint (or its current size when it has one), drawn over `ground` at `ratio`.
inline QImage render(QWidget& widget, qreal ratio = 1, const QColor& ground = Qt::transparent) {
    widget.ensurePolished();
    if (!widget.testAttribute(Qt::WA_Resized)) widget.resize(widget.sizeHint());
    QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The colour at a point in logical pixels, sampled at the image's own ratio.
inline QColor probe(const QImage& image, qreal x, qreal y) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(x * ratio), int(y * ratio));
}

// A colour laid over another, as the painter composes it.
inline QColor over(const QColor& top, const QColor& bottom) {
    const qreal a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

// The contrast ratio a reader meets (1 to 21, as the web's accessibility guidelines measure it) between a
// colour laid over a ground and the ground itself.
inline double contrast(const QColor& top, const QColor& ground) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double a = luminance(over(top, ground)), b = luminance(ground);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// Colours equal within `tolerance` per channel (0 to 255), for antialiased and composed pixels.
inline bool near(const QColor& a, const QColor& b, int tolerance = 3) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

// Writes a PNG under the build folder's gallery/ for a person to open and look at.
inline bool writeGallery(const QImage& image, const QString& name) {
    const QDir folder(QStringLiteral(DORMIO_GALLERY_DIR));
    if (!folder.exists() && !QDir().mkpath(folder.path())) return false;
    return image.save(folder.filePath(name + QStringLiteral(".png")));
}

} // namespace dormio::test
