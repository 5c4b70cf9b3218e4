#pragma once

// A fast reader for "energy.json" exactly as the encoder writes it: compact, members in sorted order,
// keys in strictly ascending order. A full 14-day file holds close to
// a million amounts; this reads it several times faster than a general JSON parser. Anything outside that
// form gives none, and the caller falls back to the general reader, so both accept the same documents
// and read them alike.

#include "DormioKit/Energy.h"

#include <optional>
#include <string_view>

namespace dormio::EnergyCompactJson {

std::optional<EnergyFile> read(std::string_view json);

} // namespace dormio::EnergyCompactJson
