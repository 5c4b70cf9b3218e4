#include "Dormio/Core/System/UPowerHistory.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <map>

namespace dormio {

namespace {

constexpr int64_t reach = 600; // seconds either way that a reading still tells the charge

std::optional<bool> onBattery(const QByteArray& state) {
    if (state == "discharging" || state == "empty" || state == "pending-discharge") return true;
    if (state == "charging" || state == "fully-charged" || state == "pending-charge") return false;
    return std::nullopt;
}

bool byTime(const ChargeReading& a, const ChargeReading& b) {
    return a.time < b.time;
}

// One timeline from several batteries: at each reading of any of them, the mean of every battery's
// latest charge, on battery when any of them discharges.
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

ChargeHistory read(const QString& folder) {
    std::vector<std::vector<ChargeReading>> batteries;
    const QStringList files = QDir(folder).entryList({QStringLiteral("history-charge-*.dat")},
                                                     QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : files) {
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
