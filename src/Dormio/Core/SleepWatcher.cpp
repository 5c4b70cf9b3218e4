#include "Dormio/Core/SleepWatcher.h"

#include "Dormio/Core/ReadThreads.h"

#include <QDBusConnection>
#include <QFutureWatcher>
#include <QtConcurrent>

namespace dormio {

SleepWatcher::SleepWatcher(QObject* parent) : QObject(parent) {
    // Reaching the system bus takes as long as the bus takes to answer, which must not hold the main thread;
    // once reached, the connection is shared and subscribing to it is quick.
    auto* reached = new QFutureWatcher<bool>(this);
    connect(reached, &QFutureWatcherBase::finished, this, [this, reached] {
        reached->deleteLater();
        if (!reached->result()) return;
        QDBusConnection::systemBus().connect(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
            SLOT(prepareForSleep(bool)));
    });
    reached->setFuture(
        QtConcurrent::run(&ReadThreads::pool(), [] { return QDBusConnection::systemBus().isConnected(); }));
}

void SleepWatcher::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep) emit woke();
}

} // namespace dormio
