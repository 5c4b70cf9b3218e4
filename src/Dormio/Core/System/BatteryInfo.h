#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dormio {

// One reading of the internal battery. Capacities are in the battery's own units (mWh or mAh).
struct BatteryInfo {
    int64_t percent = 0;
    bool isCharging = false;
    bool onAC = false;
    std::optional<int64_t> minutesRemaining;
    std::optional<int64_t> cycleCount;
    std::optional<int64_t> designCapacity;
    std::optional<int64_t> maxCapacity;
    std::optional<double> temperature;
    std::optional<std::string> condition;

    // What the battery holds now against what it was built for, in whole percent, at most 100.
    std::optional<int64_t> healthPercent() const;

    bool operator==(const BatteryInfo&) const = default;
};

} // namespace dormio
