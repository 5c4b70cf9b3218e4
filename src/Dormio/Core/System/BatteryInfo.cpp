#include "Dormio/Core/System/BatteryInfo.h"

#include <algorithm>
#include <cmath>

namespace dormio {

std::optional<int64_t> BatteryInfo::healthPercent() const {
    if (!designCapacity || !maxCapacity || *designCapacity < 1) return std::nullopt;
    const double ratio = double(*maxCapacity) / double(*designCapacity) * 100.0;
    // Capped before it becomes a whole number: a ratio of absurd capacities stays inside the 64-bit range.
    return int64_t(std::round(std::clamp(ratio, -0x1p63, 100.0)));
}

} // namespace dormio
