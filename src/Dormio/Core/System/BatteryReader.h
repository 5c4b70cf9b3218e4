#pragma once

#include "Dormio/Core/System/BatteryInfo.h"

#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace dormio::BatteryReader {

// The rules over the two inputs the system gives: power-source descriptions (keys such as "Type",
// "Current Capacity", "Power Source State") and the battery's registry entry ("CycleCount",
// "DesignCapacity", "AppleRawMaxCapacity", "NominalChargeCapacity", "Temperature").
std::optional<BatteryInfo> read(const std::vector<QVariantMap>& sources,
                                const std::optional<QVariantMap>& registry);

// The same rules over the kernel's power-supply folders.
std::optional<BatteryInfo> read(const QString& powerSupplyRoot = QStringLiteral("/sys/class/power_supply"));

} // namespace dormio::BatteryReader

namespace dormio {

// The battery as the store sees it: the kernel's power-supply folders (SysfsBattery), or a fake in tests
// and the developer modes. Read off the main thread.
class BatterySource {
public:
    virtual ~BatterySource() = default;
    virtual std::optional<BatteryInfo> read() = 0;
};

class SysfsBattery final : public BatterySource {
public:
    explicit SysfsBattery(QString powerSupplyRoot = QStringLiteral("/sys/class/power_supply"))
        : root_(std::move(powerSupplyRoot)) {}
    std::optional<BatteryInfo> read() override { return BatteryReader::read(root_); }

private:
    QString root_;
};

} // namespace dormio
