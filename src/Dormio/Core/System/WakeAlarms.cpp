#include "Dormio/Core/System/WakeAlarms.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QVariantMap>

namespace dormio::WakeAlarms {

namespace {

constexpr int callTimeoutMs = 2000;
const QString systemd = QStringLiteral("org.freedesktop.systemd1");

QDBusMessage call(const QDBusConnection& bus, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(systemd, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection(bus).call(message, QDBus::Block, callTimeoutMs);
}

// The object paths of the timer units (ListUnitsByPatterns gives a(ssssssouso); the path is the 7th).
QStringList timerPaths(const QDBusConnection& bus) {
    const QDBusMessage reply = call(
        bus, QStringLiteral("/org/freedesktop/systemd1"), QStringLiteral("org.freedesktop.systemd1.Manager"),
        QStringLiteral("ListUnitsByPatterns"), {QStringList(), QStringList{QStringLiteral("*.timer")}});
    QStringList paths;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return paths;
    const QDBusArgument units = reply.arguments().first().value<QDBusArgument>();
    units.beginArray();
    while (!units.atEnd()) {
        QString name, description, load, active, sub, following, jobType;
        QDBusObjectPath path, jobPath;
        uint jobId = 0;
        units.beginStructure();
        units >> name >> description >> load >> active >> sub >> following >> path >> jobId >> jobType >>
            jobPath;
        units.endStructure();
        paths << path.path();
    }
    units.endArray();
    return paths;
}

QVariantMap properties(const QDBusConnection& bus, const QString& path, const QString& interface) {
    const QDBusMessage reply = call(bus, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("GetAll"), {interface});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return qdbus_cast<QVariantMap>(reply.arguments().first());
}

} // namespace

std::vector<WakeAlarm> rtc(const QString& root) {
    std::vector<WakeAlarm> alarms;
    for (const QString& clock : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile file(QDir(root).filePath(clock + QStringLiteral("/wakealarm")));
        if (!file.open(QIODevice::ReadOnly)) continue;
        bool ok = false;
        const qlonglong time = file.readAll().trimmed().toLongLong(&ok);
        if (ok && time > 0) alarms.push_back({clock.toStdString(), "RTC wake alarm", time});
    }
    return alarms;
}

std::vector<WakeTimer> timers(const QDBusConnection& bus) {
    std::vector<WakeTimer> found;
    if (!bus.isConnected()) return found;
    for (const QString& path : timerPaths(bus)) {
        const QVariantMap timer = properties(bus, path, QStringLiteral("org.freedesktop.systemd1.Timer"));
        if (!timer.value(QStringLiteral("WakeSystem")).toBool()) continue;
        const QVariantMap unit = properties(bus, path, QStringLiteral("org.freedesktop.systemd1.Unit"));
        found.push_back({unit.value(QStringLiteral("Id")).toString().toStdString(),
                         timer.value(QStringLiteral("Unit")).toString().toStdString(),
                         unit.value(QStringLiteral("Description")).toString().toStdString()});
    }
    return found;
}

} // namespace dormio::WakeAlarms
