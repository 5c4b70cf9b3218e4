#pragma once

// The fixed colours the canvas drawings paint with, chosen once per drawing pass by the appearance.
// They carry the Theme's tones as plain values, except `rule`, a shade lighter than Theme::rule.

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

    explicit CanvasPalette(Appearance scheme);
    // The palette of the appearance the app draws in now.
    static CanvasPalette current() { return CanvasPalette(Theme::appearance()); }
};

} // namespace dormio
