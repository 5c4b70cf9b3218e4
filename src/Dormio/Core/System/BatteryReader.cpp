#include "Dormio/Core/System/BatteryReader.h"

#include "Dormio/Core/System/PowerSupplySysfs.h"

#include <limits>

namespace dormio::BatteryReader {

namespace {

// The system's dictionaries are typed: a value of another type than the one asked for counts as missing.
std::optional<int64_t> integer(const QVariantMap& map, const QString& key) {
    const auto it = map.find(key);
    if (it == map.end()) return std::nullopt;
    switch (it->typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return it->toLongLong();
    default:
        return std::nullopt;
    }
}

std::optional<bool> boolean(const QVariantMap& map, const QString& key) {
    const auto it = map.find(key);
    if (it == map.end() || it->typeId() != QMetaType::Bool) return std::nullopt;
    return it->toBool();
}

std::optional<QString> string(const QVariantMap& map, const QString& key) {
    const auto it = map.find(key);
    if (it == map.end() || it->typeId() != QMetaType::QString) return std::nullopt;
    return it->toString();
}

// In whole numbers: in floating point 57 / 100 × 100 is 56.99…, which would truncate to 56.
int64_t percentOf(int64_t current, int64_t max) {
    if (max < 1) return current;
    constexpr int64_t limit = std::numeric_limits<int64_t>::max() / 100;
    if (current > limit || current < -limit) {
        // The product would overflow; in floating point, held inside the 64-bit range.
        const double percent = double(current) / double(max) * 100.0;
        if (percent >= 0x1p63) return std::numeric_limits<int64_t>::max();
        if (percent <= -0x1p63) return std::numeric_limits<int64_t>::min();
        return int64_t(percent);
    }
    return current * 100 / max;
}

BatteryInfo fromSource(const QVariantMap& source) {
    BatteryInfo info;
    const int64_t current = integer(source, QStringLiteral("Current Capacity")).value_or(0);
    const int64_t max = integer(source, QStringLiteral("Max Capacity")).value_or(100);
    info.percent = percentOf(current, max);
    info.isCharging = boolean(source, QStringLiteral("Is Charging")).value_or(false);
    info.onAC = string(source, QStringLiteral("Power Source State")) == QStringLiteral("AC Power");
    const auto minutes = integer(source, QStringLiteral("Time to Empty"));
    if (minutes && *minutes > 0) info.minutesRemaining = minutes;
    if (const auto health = string(source, QStringLiteral("BatteryHealth")))
        info.condition = health->toStdString();
    return info;
}

void addRegistry(BatteryInfo& info, const QVariantMap& registry) {
    info.cycleCount = integer(registry, QStringLiteral("CycleCount"));
    info.designCapacity = integer(registry, QStringLiteral("DesignCapacity"));
    info.maxCapacity = integer(registry, QStringLiteral("AppleRawMaxCapacity"));
    if (!info.maxCapacity) info.maxCapacity = integer(registry, QStringLiteral("NominalChargeCapacity"));
    const auto hundredths = integer(registry, QStringLiteral("Temperature"));
    if (hundredths && *hundredths >= 1) info.temperature = double(*hundredths) / 100.0;
}

} // namespace

std::optional<BatteryInfo> read(const std::vector<QVariantMap>& sources,
                                const std::optional<QVariantMap>& registry) {
    std::optional<BatteryInfo> info;
    for (const QVariantMap& source : sources) {
        if (string(source, QStringLiteral("Type")) != QStringLiteral("InternalBattery")) continue;
        if (boolean(source, QStringLiteral("Is Present")) == false) continue;
        // With several internal batteries the last one is reported.
        info = fromSource(source);
    }
    if (info && registry) addRegistry(*info, *registry);
    return info;
}

std::optional<BatteryInfo> read(const QString& powerSupplyRoot) {
    const PowerSupplySysfs::Reading reading = PowerSupplySysfs::read(powerSupplyRoot);
    return read(reading.sources, reading.registry);
}

} // namespace dormio::BatteryReader
