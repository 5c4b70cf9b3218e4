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
        pending_.append(
            {elapsedMs_ + ms, repeating ? std::max<qint64>(ms, 1) : 0, receiver, std::move(action)});
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
    for (;;) {
        auto next = std::min_element(pending_.begin(), pending_.end(),
                                     [](const Pending& a, const Pending& b) { return a.dueMs < b.dueMs; });
        if (next == pending_.end() || next->dueMs > end) break;
        elapsedMs_ = next->dueMs;
        Pending due = *next;
        if (due.intervalMs > 0 && due.receiver)
            next->dueMs += due.intervalMs;
        else
            pending_.erase(next);
        if (due.receiver) due.action();
    }
    elapsedMs_ = end;
}

} // namespace dormio
