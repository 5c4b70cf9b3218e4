#include "OstrelKit/KitClock.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace dormio {

namespace {

qint64 milliseconds(double seconds) {
    return std::llround(std::max(0.0, seconds) * 1000.0);
}

} // namespace

KitClock::KitClock(Mode mode, QObject* parent)
    : QObject(parent), mode_(mode), start_(QDateTime::currentDateTimeUtc()) {}

KitClock& KitClock::shared() {
    static KitClock* const clock = new KitClock(Mode::system, QCoreApplication::instance());
    return *clock;
}

QDateTime KitClock::now() const {
    if (mode_ == Mode::system) return QDateTime::currentDateTimeUtc();
    return start_.addMSecs(elapsedMs_);
}

double KitClock::seconds() const {
    if (mode_ == Mode::system)
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    return double(elapsedMs_) / 1000.0;
}

void KitClock::after(double seconds, QObject* receiver, std::function<void()> action) {
    schedule(seconds, false, receiver, std::move(action));
}

void KitClock::every(double seconds, QObject* receiver, std::function<void()> action) {
    schedule(seconds, true, receiver, std::move(action));
}

void KitClock::schedule(double seconds, bool repeating, QObject* receiver, std::function<void()> action) {
    const qint64 ms = milliseconds(seconds);
    if (mode_ == Mode::step) {
        stepped_.add(elapsedMs_ + ms, {receiver, std::move(action)}, repeating, ms);
        return;
    }
    // The timer belongs to the receiver, so it stops when the receiver goes.
    auto* timer = new QTimer(receiver);
    timer->setSingleShot(!repeating);
    timer->setInterval(std::chrono::milliseconds(ms));
    connect(timer, &QTimer::timeout, receiver, [timer, repeating, action = std::move(action)] {
        if (!repeating) timer->deleteLater();
        action();
    });
    timer->start();
}

void KitClock::advance(double seconds) {
    const qint64 end = elapsedMs_ + milliseconds(seconds);
    stepped_.runUntil(end, [this](uint64_t id, const Pending& timer, int64_t at) {
        if (!timer.receiver) return stepped_.remove(id);
        elapsedMs_ = at;
        timer.action();
    });
    elapsedMs_ = end;
}

} // namespace dormio
