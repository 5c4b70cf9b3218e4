#pragma once

// The app's palette and type: colours that follow the light or dark appearance, fonts set in pixels.

#include <QColor>
#include <QFont>
#include <cstdint>
#include <optional>

namespace dormio {

enum class Appearance { light, dark };

// A colour with one value per appearance, resolved when it is drawn.
struct DynamicColor {
    uint32_t light = 0; // 0xRRGGBB
    uint32_t dark = 0;
    double lightAlpha = 1;
    double darkAlpha = 1;

    QColor resolve(Appearance appearance) const;
    operator QColor() const; // in the app's current appearance
};

namespace Color {
constexpr DynamicColor dynamic(uint32_t light, uint32_t dark, double lightAlpha = 1, double darkAlpha = 1) {
    return DynamicColor{light, dark, lightAlpha, darkAlpha};
}
} // namespace Color

namespace Theme {

// The appearance the app draws in: the one a developer mode set, else the desktop palette's.
Appearance appearance();
void setAppearance(std::optional<Appearance> forced);

inline constexpr DynamicColor panel = Color::dynamic(0xFCFBF8, 0x16142A);
inline constexpr DynamicColor ink = Color::dynamic(0x1B1830, 0xECE9F5);
inline constexpr DynamicColor ink3 = Color::dynamic(0x1B1830, 0xECE9F5, 0.42, 0.40);
inline constexpr DynamicColor ruleStrong = Color::dynamic(0x1B1830, 0xECE9F5, 0.24, 0.22);
inline constexpr DynamicColor indigo = Color::dynamic(0x3A1C71, 0x7A5FD0);

// The system face (Inter, or JetBrains Mono for the monospaced design) at a size in pixels. Without a
// weight the face's own default applies.
QFont systemFont(double pixels, std::optional<QFont::Weight> weight = std::nullopt, bool monospaced = false);

namespace Typo {
const QFont& body();
} // namespace Typo

} // namespace Theme

namespace Motion {
// The desktop's Reduce Motion: DORMIO_REDUCE_MOTION set to anything but "" or "0", else GNOME's
// enable-animations switched off. Read once; a developer mode or a test may force it.
bool reduceMotion();
void setReduceMotion(std::optional<bool> forced);
} // namespace Motion

} // namespace dormio
