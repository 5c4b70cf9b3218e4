#pragma once

// "energy.json" as text: the general reader and writer of the per-app energy history.

#include "DormioKit/Energy.h"

#include <optional>
#include <string>
#include <string_view>

namespace dormio {

// None when an amount or a date is not finite.
std::optional<std::string> encodeEnergyFile(const EnergyFile& file);
// None on any error anywhere in the document.
std::optional<EnergyFile> decodeEnergyFile(std::string_view json);

} // namespace dormio
