#pragma once

// The kit's own clock for its timers. In a normal run it is the system's; a test switches a clock of its
// own to step mode and moves it by hand, so a check due in six hours happens at once and in order, by the
// rule of every stepped clock (OstrelKit/SteppedTimers.h).

#include "OstrelKit/SteppedTimers.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>

namespace dormio {

class KitClock : public QObject {
    Q_OBJECT
public:
    enum class Mode { system, step };
    explicit KitClock(Mode mode = Mode::system, QObject* parent = nullptr);

    // The clock of the running application.
    static KitClock& shared();

    QDateTime now() const;
    // Seconds on a clock that never jumps back: the system's monotonic clock, or the stepped time. Only
    // differences mean anything.
    double seconds() const;

    // Runs `action` once, `seconds` from now; nothing runs once `receiver` is gone.
    void after(double seconds, QObject* receiver, std::function<void()> action);
    // Runs `action` every `seconds`, for as long as `receiver` lives.
    void every(double seconds, QObject* receiver, std::function<void()> action);

    // Step mode only: moves the clock on, running every timer that falls due on the way, in time order.
    void advance(double seconds);

private:
    struct Pending {
        QPointer<QObject> receiver;
        std::function<void()> action;
    };

    void schedule(double seconds, bool repeating, QObject* receiver, std::function<void()> action);

    Mode mode_;
    QDateTime start_;
    qint64 elapsedMs_ = 0;
    SteppedTimers<Pending> stepped_;
};

} // namespace dormio
