#include "Dormio/UI/Kit/Motion.h"

#include <QPointF>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <numbers>

namespace dormio::Motion {

namespace {

std::optional<bool> forcedReduceMotion;

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

bool reduceMotion() {
    if (forcedReduceMotion) return *forcedReduceMotion;
    static const bool desktop = desktopReducesMotion();
    return desktop;
}

void setReduceMotion(std::optional<bool> forced) {
    forcedReduceMotion = forced;
}

bool snapshotMode() {
    return qEnvironmentVariableIsSet("DORMIO_SNAPSHOT_DIR");
}

bool loopsAllowed() {
    return !reduceMotion() && !snapshotMode();
}

} // namespace dormio::Motion
