#include "Dormio/UI/Kit/CanvasPalette.h"

#include <algorithm>

namespace dormio {

namespace {
// The charts' hairlines sit a shade lighter than the views' rules.
constexpr DynamicColor canvasRule{Theme::ink.light, Theme::ink.dark, 0.11, 0.10};
constexpr DynamicColor roseOrPink{Theme::rose.light, 0xFFC2C7};
} // namespace

CanvasPalette::CanvasPalette(Appearance scheme)
    : ink(Theme::ink.resolve(scheme)), ink2(Theme::ink2.resolve(scheme)), ink3(Theme::ink3.resolve(scheme)),
      rule(canvasRule.resolve(scheme)), ruleStrong(Theme::ruleStrong.resolve(scheme)),
      indigo(Theme::indigo.resolve(scheme)), rose(Theme::rose.resolve(scheme)),
      amber(Theme::amber.resolve(scheme)), card(Theme::panel.resolve(scheme)),
      darkWakeMark(roseOrPink.resolve(scheme)) {}

QColor faded(QColor color, qreal opacity) {
    // A spring's opacity overshoots its end a little; a colour's alpha may not.
    color.setAlphaF(float(color.alphaF() * std::clamp<qreal>(opacity, 0, 1)));
    return color;
}

} // namespace dormio
