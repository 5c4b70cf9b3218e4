#pragma once

// The app's motion: springs and eases as easing curves of the right length, the desktop's Reduce Motion,
// and the values and loops that run on the animation clock (whose instant mode stills them for pictures).

#include "Dormio/UI/Kit/AnimationClock.h"

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class QWidget;

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
// The desktop's setting read afresh, as reduceMotion() reads it once.
bool desktopReducesMotion();

// A number that moves to each target it is given along a curve on the animation clock, repainting its
// widget (and telling `onStep`, when given) at every step. In the clock's instant mode, or with a curve
// of no length, it jumps.
class Value {
public:
    explicit Value(QWidget* owner, qreal value = 0, std::function<void(qreal)> onStep = {});
    ~Value();
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    qreal value() const { return value_; }
    qreal target() const { return target_; }
    bool running() const;
    // `done` runs once the target is reached, unless another target or a jump came first.
    void animateTo(qreal target, const Curve& curve, std::function<void()> done = {});
    void jumpTo(qreal value);

private:
    void show(qreal value);
    QWidget* owner_;
    qreal value_;
    qreal target_;
    std::function<void(qreal)> onStep_;
    QPointer<Animation> animation_;
};

// A phase from 0 to 1 that repeats along a curve, forwards only or there and back, repainting its widget
// at every step, one step every `interval` at most. It runs while it is wanted and its widget shows in a
// window that is neither hidden nor minimised, and rests at 0 otherwise; so a hidden window keeps no
// animation timer running. On the clock's instant mode it rests too.
class Loop : public QObject {
public:
    Loop(QWidget* owner, Curve curve, bool reverses,
         std::chrono::milliseconds interval = AnimationClock::frameInterval);
    ~Loop() override;

    void setWanted(bool wanted);
    bool wanted() const { return wanted_; }
    bool running() const;
    qreal phase() const { return phase_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();
    QWidget* owner_;
    Curve curve_;
    bool reverses_;
    std::chrono::milliseconds interval_;
    bool wanted_ = false;
    qreal phase_ = 0;
    QPointer<QWidget> window_;
    QPointer<Animation> animation_;
};

} // namespace dormio::Motion
