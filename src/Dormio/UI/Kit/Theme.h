#pragma once

// The app's design constants: colours that follow the light or dark appearance, the type scale, spacing
// and corner radii, and (in Motion.h) its motion. One point of a design is one device-independent pixel.

#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Motion.h"

#include <QColor>
#include <QObject>
#include <cstdint>
#include <optional>

class QApplication;
class QWidget;

namespace dormio {

enum class Appearance { light, dark };

// A colour with one value per appearance, resolved when it is drawn, so that a change of appearance
// needs nothing re-created.
struct DynamicColor {
    uint32_t light = 0; // 0xRRGGBB; the top byte is not used
    uint32_t dark = 0;
    double lightAlpha = 1;
    double darkAlpha = 1;

    QColor resolve(Appearance appearance) const;
    operator QColor() const; // in the app's current appearance

    // The same colour with both opacities multiplied by `factor`.
    constexpr DynamicColor opacity(double factor) const {
        return {light, dark, lightAlpha * factor, darkAlpha * factor};
    }
    bool operator==(const DynamicColor&) const = default;
};

namespace Color {
constexpr DynamicColor dynamic(uint32_t light, uint32_t dark, double lightAlpha = 1, double darkAlpha = 1) {
    return DynamicColor{light, dark, lightAlpha, darkAlpha};
}
} // namespace Color

// Tells the widgets that draw with cached pictures when the appearance changes.
class ThemeEvents : public QObject {
    Q_OBJECT
public:
    static ThemeEvents* instance();
signals:
    void appearanceChanged(Appearance appearance);
};

namespace Theme {

inline constexpr DynamicColor paper = Color::dynamic(0xF5F3EF, 0x0D0C16);
inline constexpr DynamicColor panel = Color::dynamic(0xFCFBF8, 0x16142A);
inline constexpr DynamicColor ink = Color::dynamic(0x1B1830, 0xECE9F5);
inline constexpr DynamicColor ink2 = Color::dynamic(0x1B1830, 0xECE9F5, 0.64, 0.64);
inline constexpr DynamicColor ink3 = Color::dynamic(0x1B1830, 0xECE9F5, 0.42, 0.40);
inline constexpr DynamicColor rule = Color::dynamic(0x1B1830, 0xECE9F5, 0.12, 0.11);
inline constexpr DynamicColor ruleStrong = Color::dynamic(0x1B1830, 0xECE9F5, 0.24, 0.22);
inline constexpr DynamicColor wash = Color::dynamic(0x1B1830, 0xECE9F5, 0.045, 0.055);
inline constexpr DynamicColor indigo = Color::dynamic(0x3A1C71, 0x7A5FD0);
inline constexpr DynamicColor rose = Color::dynamic(0xC9606B, 0xE7838C);
inline constexpr DynamicColor amber = Color::dynamic(0xB98330, 0xD9A955);
// The brand colours stay the same in both appearances.
inline constexpr DynamicColor brandIndigo = Color::dynamic(0x3A1C71, 0x3A1C71);
inline constexpr DynamicColor brandRose = Color::dynamic(0xD76D77, 0xD76D77);
inline constexpr DynamicColor white = Color::dynamic(0xFFFFFF, 0xFFFFFF);

// The appearance the app draws in: the one a developer mode or a test forced, else the desktop's.
Appearance appearance();
// Forces an appearance, or with nothing follows the desktop again. A change repaints every widget,
// drops cached drawings and hands Qt's own widgets the matching palette.
void setAppearance(std::optional<Appearance> forced);
// At start-up: loads and checks the faces, hands Qt's own widgets the body font and the appearance's
// palette, and follows the desktop's palette from then on.
void install(QApplication& application);

// Whether a widget draws in the active colours: its window has the focus, or it is the one window drawn as
// active whatever its focus (the scripted demo's, while another application is in front).
bool drawsAsActive(const QWidget& widget);
// From now on `window` draws as active; it repaints at once. Every other window keeps its own answer.
void drawAsActive(QWidget* window);

// The system face (Inter, or JetBrains Mono for the monospaced design) at a size in pixels; without a
// weight the face's own default applies.
Font systemFont(qreal pixels, std::optional<QFont::Weight> weight = std::nullopt, bool monospaced = false);

namespace Typo {
const Font& title();
const Font& lede();
const Font& body();
const Font& bodyStrong();
const Font& small();
const Font& figure();
const Font& figureSmall();
const Font& time();
const Font& kicker();
} // namespace Typo

namespace Space {
inline constexpr qreal s = 8;
inline constexpr qreal m = 12;
inline constexpr qreal l = 16;
inline constexpr qreal xl = 24;
inline constexpr qreal xxl = 32;
} // namespace Space

namespace Radius {
inline constexpr qreal panel = 10;
inline constexpr qreal control = 6;
inline constexpr qreal tag = 4;
} // namespace Radius

} // namespace Theme

} // namespace dormio
