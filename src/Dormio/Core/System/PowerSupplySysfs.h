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

// Reads every supply under root (normally /sys/class/power_supply). Missing or unreadable files
// leave their keys out.
Reading read(const QString& root);

} // namespace dormio::PowerSupplySysfs
