#pragma once

#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace dormio::PowerSupplySysfs {

// The power-source descriptions and the battery registry entry that BatteryReader's rules expect.
struct Reading {
    std::vector<QVariantMap> sources;
    std::optional<QVariantMap> registry;
};

// Reads every supply under root (normally /sys/class/power_supply). The internal batteries that are
// present make one description together: their capacities added up in mAh (an energy figure converted
// through the battery's design voltage, left out without one), the charge from the sums. Missing,
// unreadable or out-of-range files leave their keys out.
Reading read(const QString& root);

} // namespace dormio::PowerSupplySysfs
