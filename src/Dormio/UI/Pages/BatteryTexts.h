#pragma once

// The words of the Battery page that follow from one battery reading alone: the health word, the health
// sentence and the eight facts of the "Spec sheet" card. Pure and free of widgets, so that the self-test
// can check them without a window.

#include "Dormio/Core/System/BatteryInfo.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace dormio::BatteryTexts {

// Full charge against design capacity in whole percent, halves away from zero, without the cap of
// BatteryInfo::healthPercent: a battery holding more than it was built for reads above 100. None unless
// both capacities are known and the design capacity is at least 1.
std::optional<int64_t> rawHealth(const BatteryInfo& info);

// "Like new", "Good", "Worn" or "Consider a service" by the raw health; "Charging" or "Charged" without it.
QString healthWord(const BatteryInfo& info);
// "Holds 91 % of its design capacity — 4550 of 5000 mAh.", the share capped at 100.
QString healthLine(const BatteryInfo& info);

using SpecRow = std::pair<QString, QString>; // label, value
// Always eight rows in a fixed order; a value the battery does not report shows as "—".
std::vector<SpecRow> specs(const BatteryInfo& info);

} // namespace dormio::BatteryTexts
