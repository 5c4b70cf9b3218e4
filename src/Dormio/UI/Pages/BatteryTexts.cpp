#include "Dormio/UI/Pages/BatteryTexts.h"

#include "DormioKit/Fmt.h"

#include <algorithm>
#include <cmath>

namespace dormio::BatteryTexts {

namespace {

const QString missing = QStringLiteral("\u2014");

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString orMissing(const std::optional<int64_t>& value, const QString& unit = {}) {
    return value ? QString::number(*value) + unit : missing;
}

QString power(const BatteryInfo& info) {
    if (!info.onAC) return QStringLiteral("On battery");
    return info.isCharging ? QStringLiteral("Charging") : QStringLiteral("Plugged in");
}

QString timeLeft(const std::optional<int64_t>& minutes) {
    // In floating point: a reading of absurdly many minutes must not overflow on its way to seconds.
    return minutes ? qs(Fmt::duration(double(*minutes) * 60, false)) : missing;
}

QString temperature(const std::optional<double>& celsius) {
    if (!celsius || !std::isfinite(*celsius)) return missing;
    return QString::asprintf("%.1f", *celsius) + QStringLiteral(" \u00B0C");
}

} // namespace

std::optional<int64_t> rawHealth(const BatteryInfo& info) {
    if (!info.designCapacity || !info.maxCapacity || *info.designCapacity < 1) return std::nullopt;
    const double ratio = double(*info.maxCapacity) / double(*info.designCapacity) * 100.0;
    // Held inside the 64-bit range before it becomes a whole number: absurd capacities still read.
    constexpr double limit = 0x1p62;
    return int64_t(std::round(std::clamp(ratio, -limit, limit)));
}

QString healthWord(const BatteryInfo& info) {
    const auto health = rawHealth(info);
    if (!health) return info.isCharging ? QStringLiteral("Charging") : QStringLiteral("Charged");
    if (*health > 89) return QStringLiteral("Like new");
    if (*health > 79) return QStringLiteral("Good");
    if (*health < 70) return QStringLiteral("Consider a service");
    return QStringLiteral("Worn");
}

QString healthLine(const BatteryInfo& info) {
    const auto health = rawHealth(info);
    if (!health) return QStringLiteral("Health details aren\u2019t available on this Mac.");
    return QStringLiteral("Holds ") + qs(Fmt::percent(std::min<int64_t>(*health, 100))) +
           QStringLiteral(" of its design capacity \u2014 ") + QString::number(*info.maxCapacity) +
           QStringLiteral(" of ") + QString::number(*info.designCapacity) + QStringLiteral(" mAh.");
}

std::vector<SpecRow> specs(const BatteryInfo& info) {
    const QString mAh = QStringLiteral(" mAh");
    return {
        {QStringLiteral("Charge now"), qs(Fmt::percent(info.percent))},
        {QStringLiteral("Power"), power(info)},
        {QStringLiteral("Time left"), timeLeft(info.minutesRemaining)},
        {QStringLiteral("Cycle count"), orMissing(info.cycleCount)},
        {QStringLiteral("Full charge"), orMissing(info.maxCapacity, mAh)},
        {QStringLiteral("Design capacity"), orMissing(info.designCapacity, mAh)},
        {QStringLiteral("Temperature"), temperature(info.temperature)},
        {QStringLiteral("Condition"), info.condition ? qs(*info.condition) : QStringLiteral("Normal")},
    };
}

} // namespace dormio::BatteryTexts
