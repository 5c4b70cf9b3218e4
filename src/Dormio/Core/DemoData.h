#pragma once

// A month of invented but realistic nights, live holders, a battery and energy shares, for the welcome
// tour and the developer modes. Everything follows from a fixed seed and today's date, so every run shows
// the same month, shifted to end last night.

#include "Dormio/Core/System/AppIdentity.h"
#include "DormioKit/Energy.h"
#include "DormioKit/Night.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

class Store;

namespace DemoData {

// Nights whose mornings are today and the 30 days before, oldest first, each marked as sample data.
std::vector<Night> makeNights();
// The last of makeNights(), made once on first use.
const std::optional<Night>& sampleNight();
// Six app shares of a night's battery loss (in percentage points); without a loss, no estimates.
std::vector<EnergyShare> energy(std::optional<int64_t> lost);
// Who a process of the sample nights is: the sample's apps (Music, Mail, …) are user apps at their bundle
// paths, as on the machine the sample stands for; none for the other processes.
std::optional<AppIdentity> identity(const std::string& process);
// Puts the store in demo mode and fills it with the sample data. Main thread only.
void apply(Store& store);

} // namespace DemoData

} // namespace dormio
