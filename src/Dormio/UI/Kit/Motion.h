#pragma once

// The app's motion: springs and eases as easing curves of the right length, the desktop's Reduce Motion,
// and the snapshot mode's freeze of looping animations.

#include <QEasingCurve>
#include <optional>

namespace dormio::Motion {

// An easing curve and how long it runs.
struct Curve {
    QEasingCurve easing;
    int milliseconds = 0;
};

// The springs run until their swing has died down to 1/2000 of the travel.
// Hover and tick changes: response 0.2 s, damping fraction 0.85 (about 0.28 s).
Curve snappy();
// Page changes, entrances and list changes: response 0.3 s, damping fraction 0.86 (about 0.42 s).
Curve standard();
// The standard spring, or a 0.2 s ease-in-out while Reduce Motion is on.
Curve standardOrReduced();
// The curve, or none at all while Reduce Motion is on: the change then shows its end at once.
Curve unlessReduced(Curve curve);
Curve easeInOut(double seconds);
Curve easeOut(double seconds);
Curve linear(double seconds);

// The desktop's Reduce Motion: DORMIO_REDUCE_MOTION set to anything but "" or "0", else GNOME's
// enable-animations switched off. Read once; a developer mode or a test may force it.
bool reduceMotion();
void setReduceMotion(std::optional<bool> forced);

// DORMIO_SNAPSHOT_DIR present (any value, the empty one too): looping animations stay still so that
// snapshot images come out the same every time. Read whenever a view asks, as it comes on screen.
bool snapshotMode();
// Whether a looping animation may start now.
bool loopsAllowed();

} // namespace dormio::Motion
