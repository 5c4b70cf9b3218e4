#pragma once

// Tells when the machine has woken from sleep, from logind's PrepareForSleep signal on the system bus.
// Without a system bus or logind it simply never reports.

#include <QObject>

namespace dormio {

class SleepWatcher final : public QObject {
    Q_OBJECT

public:
    explicit SleepWatcher(QObject* parent = nullptr);

public slots:
    // logind sends true before sleeping and false after waking.
    void prepareForSleep(bool goingToSleep);

signals:
    void woke();
};

} // namespace dormio
