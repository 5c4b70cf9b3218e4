#include "Dormio/Core/SleepWatcher.h"

#include <QDBusConnection>

namespace dormio {

SleepWatcher::SleepWatcher(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                SLOT(prepareForSleep(bool)));
}

void SleepWatcher::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep) emit woke();
}

} // namespace dormio
