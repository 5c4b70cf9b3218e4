#pragma once

// The fixed colours the canvas drawings paint with, chosen once per drawing pass by the appearance.
// They carry the Theme's tones as plain values, except `rule`, a shade lighter than Theme::rule, and
// `darkWakeMark`, which the Theme has no tone for.

#include "Dormio/UI/Kit/Theme.h"

#include <QColor>

namespace dormio {

struct CanvasPalette {
    QColor ink;
    QColor ink2;
    QColor ink3;
    QColor rule;
    QColor ruleStrong;
    QColor indigo;
    QColor rose;
    QColor amber;
    QColor card;
    // The actogram's dark-wake marks: rose, or in the dark scheme a pale pink that stands out on that
    // scheme's light indigo bars.
    QColor darkWakeMark;

    explicit CanvasPalette(Appearance scheme);
    // The palette of the appearance the app draws in now.
    static CanvasPalette current() { return CanvasPalette(Theme::appearance()); }
};

// The colour with its opacity multiplied by `opacity`.
QColor faded(QColor color, qreal opacity);

} // namespace dormio
