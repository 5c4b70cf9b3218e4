#include "Dormio/Core/System/UPowerHistory.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <map>

namespace dormio {

namespace {

constexpr int64_t reach = 600;     // seconds either way that a reading still tells the charge
constexpr int64_t holding = 86400; // seconds that a reading holds when no other comes

std::optional<bool> onBattery(const QByteArray& state) {
    if (state == "discharging" || state == "empty" || state == "pending-discharge") return true;
    if (state == "charging" || state == "fully-charged" || state == "pending-charge") return false;
    return std::nullopt;
}

bool byTime(const ChargeReading& a, const ChargeReading& b) {
    return a.time < b.time;
}

// One timeline from several batteries: at each reading of any of them, the mean of every battery's
// latest charge of the day before, on battery when any of them discharges.
std::vector<ChargeReading> combined(const std::vector<std::vector<ChargeReading>>& batteries) {
    if (batteries.size() == 1) return batteries.front();
    std::vector<ChargeReading> all;
    for (const auto& readings : batteries)
        all.insert(all.end(), readings.begin(), readings.end());
    std::stable_sort(all.begin(), all.end(), byTime);
    std::vector<std::size_t> next(batteries.size(), 0);
    std::vector<ChargeReading> result;
    for (const ChargeReading& moment : all) {
        double sum = 0;
        int count = 0;
        std::optional<bool> anyOnBattery;
        for (std::size_t b = 0; b < batteries.size(); ++b) {
            while (next[b] < batteries[b].size() && batteries[b][next[b]].time <= moment.time)
                ++next[b];
            if (next[b] == 0) continue;
            const ChargeReading& latest = batteries[b][next[b] - 1];
            if (moment.time - latest.time > holding) continue;
            sum += double(latest.percent);
            ++count;
            if (latest.onBattery) anyOnBattery = anyOnBattery.value_or(false) || *latest.onBattery;
        }
        result.push_back({moment.time, std::lround(sum / count), anyOnBattery});
    }
    return result;
}

} // namespace

ChargeHistory::ChargeHistory(std::vector<ChargeReading> readings) : readings_(std::move(readings)) {
    std::stable_sort(readings_.begin(), readings_.end(), byTime);
}

std::optional<ChargeReading> ChargeHistory::near(int64_t time) const {
    const auto after = std::lower_bound(readings_.begin(), readings_.end(), time,
                                        [](const ChargeReading& r, int64_t t) { return r.time < t; });
    std::optional<ChargeReading> best;
    if (after != readings_.end() && after->time - time <= reach) best = *after;
    if (after != readings_.begin()) {
        const ChargeReading& before = *std::prev(after);
        if (time - before.time <= reach && (!best || time - before.time < best->time - time)) best = before;
        if (!best && time - before.time <= holding) best = before;
    }
    return best;
}

namespace UPowerHistory {

std::vector<ChargeReading> parse(const QByteArray& text) {
    std::vector<ChargeReading> readings;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() < 2) continue;
        bool timeOK = false, percentOK = false;
        const qlonglong time = fields[0].toLongLong(&timeOK);
        const double percent = fields[1].toDouble(&percentOK);
        if (!timeOK || !percentOK || time <= 0 || !(percent >= 0 && percent <= 100)) continue;
        readings.push_back(
            {time, std::lround(percent), fields.size() > 2 ? onBattery(fields[2]) : std::nullopt});
    }
    std::stable_sort(readings.begin(), readings.end(), byTime);
    return readings;
}

bool namesBattery(const QString& id, const QString& model, const QString& serial) {
    // UPower keeps a part only when it is longer than two characters, and replaces these characters.
    const auto part = [](QString text) {
        for (const QChar c : QStringLiteral("\\\t\"?' /,."))
            text.replace(c, QLatin1Char('_'));
        return text.size() > 2 ? text : QString();
    };
    const QString first = part(model), last = part(serial);
    if (first.isEmpty() && last.isEmpty() && id == QStringLiteral("generic_id")) return true;
    QStringView rest(id);
    if (!first.isEmpty()) {
        if (!rest.startsWith(first)) return false;
        rest = rest.mid(first.size());
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char('-'))) return false;
        rest = rest.mid(rest.isEmpty() ? 0 : 1);
    }
    if (!last.isEmpty()) {
        if (!rest.endsWith(last)) return false;
        rest.chop(last.size());
        if (!rest.isEmpty() && !rest.endsWith(QLatin1Char('-'))) return false;
        rest.chop(rest.isEmpty() ? 0 : 1);
    }
    // What is left is the design capacity in watt-hours, when UPower knew it.
    return std::all_of(rest.begin(), rest.end(), [](QChar c) { return c.isDigit(); }) &&
           (!rest.isEmpty() || !first.isEmpty() || !last.isEmpty());
}

namespace {

struct Battery {
    QString model, serial;
};

// The batteries of the machine itself, not those of attached devices (scope Device).
std::vector<Battery> systemBatteries(const QString& powerSupplies) {
    std::vector<Battery> batteries;
    const QDir root(powerSupplies);
    const auto text = [&](const QString& supply, const char* attribute) {
        QFile file(root.filePath(supply + QLatin1Char('/') + QLatin1String(attribute)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.read(4096).trimmed()) : QString();
    };
    for (const QString& supply : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (text(supply, "type") == QStringLiteral("Battery") &&
            text(supply, "scope") != QStringLiteral("Device"))
            batteries.push_back({text(supply, "model_name"), text(supply, "serial_number")});
    return batteries;
}

} // namespace

ChargeHistory read(const QString& folder, const QString& powerSupplies) {
    const std::vector<Battery> system = systemBatteries(powerSupplies);
    std::vector<std::vector<ChargeReading>> batteries;
    const QString prefix = QStringLiteral("history-charge-"), suffix = QStringLiteral(".dat");
    const QStringList files = QDir(folder).entryList({prefix + QLatin1Char('*') + suffix},
                                                     QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : files) {
        const QString id = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (std::none_of(system.begin(), system.end(),
                         [&](const Battery& b) { return namesBattery(id, b.model, b.serial); }))
            continue;
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        std::vector<ChargeReading> readings = parse(file.readAll());
        if (!readings.empty()) batteries.push_back(std::move(readings));
    }
    if (batteries.empty()) return {};
    return ChargeHistory(combined(batteries));
}

} // namespace UPowerHistory
} // namespace dormio
