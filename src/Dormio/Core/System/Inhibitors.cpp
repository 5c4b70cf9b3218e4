#include "Dormio/Core/System/Inhibitors.h"

#include "Dormio/Core/System/OneLine.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

namespace dormio {

namespace {

constexpr int callTimeoutMs = 2000;
constexpr uint sessionSuspendFlag = 4;
constexpr uint sessionIdleFlag = 8;

QDBusMessage call(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method) {
    return QDBusConnection(bus).call(QDBusMessage::createMethodCall(service, path, interface, method),
                                     QDBus::Block, callTimeoutMs);
}

bool replied(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

// The lock files logind keeps ("WHAT=", "WHO=", "PID=" ... lines), written when a lock is taken: their
// times give the locks' ages.
std::map<std::string, QDateTime> lockTimes(const QString& folder) {
    std::map<std::string, QDateTime> times;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) continue;
        QString what, who, pid;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("WHAT=")) what = QString::fromUtf8(line.mid(5));
            if (line.startsWith("WHO=")) who = QString::fromUtf8(line.mid(4));
            if (line.startsWith("PID=")) pid = QString::fromUtf8(line.mid(4));
        }
        times[(pid + QLatin1Char('\n') + what + QLatin1Char('\n') + who).toStdString()] = info.lastModified();
    }
    return times;
}

} // namespace

BusInhibitors::BusInhibitors(QDBusConnection system, QDBusConnection session, int64_t now,
                             QString stateFolder)
    : system_(std::move(system)), session_(std::move(session)), now_(now),
      stateFolder_(std::move(stateFolder)) {}

std::vector<Inhibitor> BusInhibitors::inhibitors() {
    std::vector<Inhibitor> all = logind();
    std::vector<Inhibitor> more = session();
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

std::vector<Inhibitor> BusInhibitors::logind() {
    std::vector<Inhibitor> locks;
    if (!system_.isConnected()) return locks;
    const QDBusMessage reply =
        call(system_, QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
             QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors"));
    if (!replied(reply)) return locks;
    const auto times = lockTimes(stateFolder_);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(now_, Qt::UTC);
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        Inhibitor lock{what.toStdString(), who.toStdString(), why.toStdString(),
                       mode.toStdString(), int32_t(pid),      {}};
        const auto taken = times.find(
            (QString::number(pid) + QLatin1Char('\n') + what + QLatin1Char('\n') + who).toStdString());
        if (taken != times.end()) lock.age = std::max<qint64>(taken->second.secsTo(now), 0);
        locks.push_back(std::move(lock));
    }
    list.endArray();
    return locks;
}

std::vector<Inhibitor> BusInhibitors::session() {
    std::vector<Inhibitor> locks;
    if (!session_.isConnected()) return locks;
    const QString service = QStringLiteral("org.gnome.SessionManager");
    const QDBusMessage reply = call(session_, service, QStringLiteral("/org/gnome/SessionManager"), service,
                                    QStringLiteral("GetInhibitors"));
    if (!replied(reply)) return locks;
    const QString inhibitorInterface = QStringLiteral("org.gnome.SessionManager.Inhibitor");
    const auto text = [&](const QString& path, const char* method) {
        const QDBusMessage answer =
            call(session_, service, path, inhibitorInterface, QString::fromLatin1(method));
        return replied(answer) ? answer.arguments().first() : QVariant();
    };
    for (const QDBusObjectPath& path : qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().first())) {
        const uint flags = text(path.path(), "GetFlags").toUInt();
        const std::string who = text(path.path(), "GetAppId").toString().toStdString();
        const std::string why = text(path.path(), "GetReason").toString().toStdString();
        // Registered clients say their process; others are known by their application id only.
        int32_t pid = 0;
        const QString client = text(path.path(), "GetClientId").value<QDBusObjectPath>().path();
        if (!client.isEmpty() && client != QStringLiteral("/")) {
            const QDBusMessage answer =
                call(session_, service, client, QStringLiteral("org.gnome.SessionManager.Client"),
                     QStringLiteral("GetUnixProcessId"));
            if (replied(answer)) pid = int32_t(answer.arguments().first().toUInt());
        }
        if (flags & sessionSuspendFlag) locks.push_back({"sleep", who, why, "block", pid, {}});
        if (flags & sessionIdleFlag) locks.push_back({"screensaver", who, why, "block", pid, {}});
    }
    return locks;
}

namespace AssertionListing {

namespace {

bool has(const std::string& what, std::string_view kind) {
    std::size_t at = 0;
    while (at <= what.size()) {
        const std::size_t end = std::min(what.find(':', at), what.size());
        if (std::string_view(what).substr(at, end - at) == kind) return true;
        at = end + 1;
    }
    return false;
}

// The assertion type a lock stands for; none for locks that keep nothing awake.
std::optional<std::string> typeOf(const Inhibitor& lock) {
    if (has(lock.what, "sleep")) return lock.mode == "delay" ? "BackgroundTask" : "PreventSystemSleep";
    if (has(lock.what, "idle")) return "PreventUserIdleSystemSleep";
    if (has(lock.what, "screensaver")) return "PreventUserIdleDisplaySleep";
    return std::nullopt;
}

// A name the listing's "pid N(name): " cannot misread.
std::string processName(const Inhibitor& lock) {
    std::string name = OneLine::of(lock.who.empty() ? "pid " + std::to_string(lock.pid) : lock.who);
    for (std::size_t at = name.find("): "); at != std::string::npos; at = name.find("): ", at))
        name.replace(at, 3, ") : ");
    return name;
}

std::string hms(double seconds) {
    const auto whole = int64_t(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(whole / 3600),
                  static_cast<long long>(whole / 60 % 60), static_cast<long long>(whole % 60));
    return text;
}

std::string dateLine(int64_t now) {
    const time_t t = now;
    std::tm local{};
    localtime_r(&t, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    return text;
}

} // namespace

std::string write(const std::vector<Inhibitor>& inhibitors, int64_t now) {
    std::map<std::string, int> counts;
    std::string rows;
    int slot = 0;
    for (const Inhibitor& lock : inhibitors) {
        const auto type = typeOf(lock);
        if (!type) continue;
        ++counts[*type];
        char group[32];
        std::snprintf(group, sizeof group, "[0x%04x %s]", ++slot, lock.mode == "delay" ? "delay" : "block");
        rows += "   pid " + std::to_string(lock.pid) + "(" + processName(lock) + "): " + group + " " +
                hms(lock.age.value_or(0)) + " " + *type + " named: \"" + OneLine::of(lock.why) + "\" \n";
    }
    std::string text = dateLine(now) + " \nAssertion status system-wide:\n";
    for (const auto& [type, count] : counts) {
        std::string name = "   " + type;
        name.resize(std::max<std::size_t>(name.size() + 1, 34), ' ');
        text += name + std::to_string(count) + "\n";
    }
    return text + "Listed by owning process:\n" + rows;
}

} // namespace AssertionListing
} // namespace dormio
