#pragma once

// "nights.json": one compact JSON array of nights.

#include "DormioKit/Night.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio {

// None when a date, duration or seconds is not finite: JSON cannot hold it, and the file keeps its
// previous content rather than a damaged one.
std::optional<std::string> encodeNights(const std::vector<Night>& nights);

// None on any error anywhere in the document; there is no partial result.
std::optional<std::vector<Night>> decodeNights(std::string_view json);

} // namespace dormio
