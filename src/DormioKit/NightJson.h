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
// hold it, and the file keeps its previous content rather than a damaged one. `texts`, when given, holds
// for each night the text this writer gives it where that is known already (`decodeNights`), or an empty
// view: a known text is put as it stands, since writing sixty busy nights anew takes tens of milliseconds.
bool writeNights(const std::vector<const Night*>& nights, const std::function<bool(std::string_view)>& put,
                 const std::vector<std::string_view>& texts = {});

// The whole document's text; none where `writeNights` fails.
std::optional<std::string> encodeNights(const std::vector<Night>& nights);

// None on any error anywhere in the document; there is no partial result. With `texts`, also one view per
// night: its text in `json` where that is the very text `writeNights` gives it, else an empty view.
std::optional<std::vector<Night>> decodeNights(std::string_view json,
                                               std::vector<std::string_view>* texts = nullptr);

} // namespace dormio
