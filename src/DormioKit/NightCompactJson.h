#pragma once

// A fast reader for "nights.json" exactly as `writeNights` writes it: compact, each record's members in
// the writer's order, the optional ones left out rather than null. Sixty nights
// of a machine in a wake storm are some 16 MB of numbers and short texts; this reads them several times
// faster than the general reader. Anything outside that form gives none, and `decodeNights` falls back to
// the general reader, so both accept the same documents and read them alike.

#include "DormioKit/Night.h"

#include <optional>
#include <string_view>
#include <vector>

namespace dormio::NightCompactJson {

// With `texts`, it also gives each night's text in `json` where that is the very text the writer gives the
// night, every number and text spelt as the writer spells it; an empty view where it is not. Such a night
// can be written again by copying its text.
std::optional<std::vector<Night>> read(std::string_view json, std::vector<std::string_view>* texts = nullptr);

} // namespace dormio::NightCompactJson
