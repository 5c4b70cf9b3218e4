#pragma once

// "nights.json": one compact JSON array of nights.

#include "DormioKit/Night.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio {

// Hands the document's text to `put` piece by piece, a night at a time, so that it never stands whole in
// memory. False when `put` refuses a piece, or when a date, duration or seconds is not finite: JSON cannot
// hold it, and the file keeps its previous content rather than a damaged one.
bool writeNights(const std::vector<const Night*>& nights, const std::function<bool(std::string_view)>& put);

// The whole document's text; none where `writeNights` fails.
std::optional<std::string> encodeNights(const std::vector<Night>& nights);

// None on any error anywhere in the document; there is no partial result.
std::optional<std::vector<Night>> decodeNights(std::string_view json);

} // namespace dormio
