#pragma once

// The wakes the system was asked for: the RTC's wake alarm (sysfs), and the systemd timers that wake the
// system (WakeSystem=yes) with the units they start, read from systemd over D-Bus.

#include "Dormio/Core/System/WakeAlarm.h"

#include <QDBusConnection>
#include <QString>
#include <vector>

namespace dormio::WakeAlarms {

// The alarm of each clock under `root` (normally /sys/class/rtc) that has one set.
std::vector<WakeAlarm> rtc(const QString& root = QStringLiteral("/sys/class/rtc"));

// The timers with WakeSystem=yes. Nothing without systemd on the bus.
std::vector<WakeTimer> timers(const QDBusConnection& bus);

} // namespace dormio::WakeAlarms
