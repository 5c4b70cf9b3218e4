#include "Dormio/UI/Kit/StateStyle.h"

namespace dormio {

namespace {

DynamicColor dynamicOf(const QColor& light, const QColor& dark) {
    return Color::dynamic(light.rgb() & 0xFFFFFF, dark.rgb() & 0xFFFFFF, light.alphaF(), dark.alphaF());
}

const CanvasPalette& lightPalette() {
    static const CanvasPalette palette(Appearance::light);
    return palette;
}

const CanvasPalette& darkPalette() {
    static const CanvasPalette palette(Appearance::dark);
    return palette;
}

} // namespace

StateStyle stateStyle(PowerState state, const CanvasPalette& p) {
    switch (state) {
    case PowerState::asleep:
        return {p.indigo, p.ink, 1.25, p.indigo, p.indigo, p.indigo};
    case PowerState::dark:
        return {p.rose, p.rose, 2, std::nullopt, std::nullopt, std::nullopt};
    case PowerState::awake:
        return {faded(p.rose, 0.55), faded(p.rose, 0.6),  2,
                faded(p.rose, 0.10), faded(p.rose, 0.22), faded(p.rose, 0.38)};
    case PowerState::screenOn:
        return {p.amber, p.amber, 2, faded(p.amber, 0.12), faded(p.amber, 0.28), faded(p.amber, 0.7)};
    }
    return stateStyle(PowerState::asleep, p);
}

DynamicColor stateKey(PowerState state) {
    return dynamicOf(stateStyle(state, lightPalette()).key, stateStyle(state, darkPalette()).key);
}

DynamicColor stateSwatch(PowerState state) {
    const StateStyle light = stateStyle(state, lightPalette());
    const StateStyle dark = stateStyle(state, darkPalette());
    return dynamicOf(light.bar.value_or(light.key), dark.bar.value_or(dark.key));
}

} // namespace dormio
