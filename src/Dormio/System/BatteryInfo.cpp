#include "Dormio/System/BatteryInfo.h"

#include <algorithm>
#include <cmath>

namespace dormio {

std::optional<int64_t> BatteryInfo::healthPercent() const {
    if (!designCapacity || !maxCapacity || *designCapacity < 1) return std::nullopt;
    const double ratio = double(*maxCapacity) / double(*designCapacity) * 100.0;
    return std::min<int64_t>(int64_t(std::round(ratio)), 100);
}

} // namespace dormio
