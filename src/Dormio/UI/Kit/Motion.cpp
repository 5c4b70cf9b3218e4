#include "Dormio/UI/Kit/Motion.h"

#include <QEvent>
#include <QPointF>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>
#include <cmath>
#include <numbers>

namespace dormio::Motion {

namespace {

std::optional<bool> forcedReduceMotion;

// An underdamped spring released from 0 towards 1; its swing dies down as
// exp(-damping * omega * t).
struct Spring {
    double response;
    double damping;

    double omega() const { return 2 * std::numbers::pi / response; }
    double settleSeconds() const { return std::log(2000.0) / (damping * omega()); }
    double valueAt(double t) const {
        const double decay = damping * omega();
        const double damped = omega() * std::sqrt(1 - damping * damping);
        return 1 - std::exp(-decay * t) * (std::cos(damped * t) + decay / damped * std::sin(damped * t));
    }
    Curve curve(QEasingCurve::EasingFunction function) const {
        QEasingCurve easing;
        easing.setCustomType(function);
        return {easing, int(std::lround(settleSeconds() * 1000))};
    }
};

constexpr Spring snappySpring{0.2, 0.85};
constexpr Spring standardSpring{0.3, 0.86};

// QEasingCurve takes a plain function of progress, so each spring gets its own.
template <const Spring& spring> qreal springProgress(qreal progress) {
    if (progress >= 1) return 1;
    return spring.valueAt(progress * spring.settleSeconds());
}

Curve bezier(double seconds, QPointF c1, QPointF c2) {
    QEasingCurve easing(QEasingCurve::BezierSpline);
    easing.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return {easing, int(std::lround(seconds * 1000))};
}

} // namespace

Curve snappy() {
    return snappySpring.curve(springProgress<snappySpring>);
}

Curve standard() {
    return standardSpring.curve(springProgress<standardSpring>);
}

Curve standardOrReduced() {
    return reduceMotion() ? easeInOut(0.2) : standard();
}

Curve unlessReduced(Curve curve) {
    if (reduceMotion()) curve.milliseconds = 0;
    return curve;
}

Curve easeInOut(double seconds) {
    return bezier(seconds, {0.42, 0}, {0.58, 1});
}

Curve easeOut(double seconds) {
    return bezier(seconds, {0, 0}, {0.58, 1});
}

Curve linear(double seconds) {
    return {QEasingCurve(QEasingCurve::Linear), int(std::lround(seconds * 1000))};
}

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

bool reduceMotion() {
    if (forcedReduceMotion) return *forcedReduceMotion;
    static const bool desktop = desktopReducesMotion();
    return desktop;
}

void setReduceMotion(std::optional<bool> forced) {
    forcedReduceMotion = forced;
}

Value::Value(QWidget* owner, qreal value, std::function<void(qreal)> onStep)
    : owner_(owner), value_(value), target_(value), onStep_(std::move(onStep)) {}

Value::~Value() {
    if (animation_) animation_->stop();
}

bool Value::running() const {
    return animation_ && animation_->isRunning();
}

void Value::animateTo(qreal target, const Curve& curve, std::function<void()> done) {
    if (animation_) animation_->stop();
    target_ = target;
    if (value_ == target) {
        show(target);
        if (done) done();
        return;
    }
    animation_ = AnimationClock::shared().animate(
        owner_, {value_, target, std::chrono::milliseconds(curve.milliseconds), curve.easing,
                 [this](double value) { show(value); }, std::move(done)});
}

void Value::jumpTo(qreal value) {
    if (animation_) animation_->stop();
    target_ = value;
    show(value);
}

void Value::show(qreal value) {
    value_ = value;
    if (onStep_) onStep_(value);
    owner_->update();
}

Loop::Loop(QWidget* owner, Curve curve, bool reverses, std::chrono::milliseconds interval)
    : QObject(owner), owner_(owner), curve_(std::move(curve)), reverses_(reverses), interval_(interval) {
    owner->installEventFilter(this);
}

Loop::~Loop() {
    if (animation_) animation_->stop();
}

void Loop::setWanted(bool wanted) {
    wanted_ = wanted;
    follow();
}

bool Loop::running() const {
    return animation_ && animation_->isRunning();
}

bool Loop::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::ParentChange:
        follow();
        break;
    default:
        break;
    }
    return false;
}

// Runs the loop exactly while it is wanted and seen; watches the window the widget sits in, since
// minimising or hiding a window tells only the window.
void Loop::follow() {
    QWidget* window = owner_->window();
    if (window != window_) {
        if (window_ && window_ != owner_) window_->removeEventFilter(this);
        window_ = window;
        if (window != owner_) window->installEventFilter(this);
    }
    const bool seen = owner_->isVisible() && !window->isMinimized();
    if (wanted_ && seen && !running()) {
        const int period = curve_.milliseconds * (reverses_ ? 2 : 1);
        animation_ = AnimationClock::shared().loop(
            owner_, std::chrono::milliseconds(period),
            [this](double p) {
                const qreal leg = reverses_ ? (p < 0.5 ? 2 * p : 2 - 2 * p) : p;
                phase_ = curve_.easing.valueForProgress(leg);
                owner_->update();
            },
            interval_);
    } else if (!(wanted_ && seen) && running()) {
        animation_->stop();
        phase_ = 0;
        owner_->update();
    }
}

} // namespace dormio::Motion
