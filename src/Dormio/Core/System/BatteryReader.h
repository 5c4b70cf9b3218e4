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
