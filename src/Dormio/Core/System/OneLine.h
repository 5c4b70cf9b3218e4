#pragma once

// Text from the system (a journal message, a lock's reason) made fit to stand inside one line of the texts
// the model reads: those readers break lines at LF, CR, NEL, U+2028 and U+2029, so a character of those,
// or any other control character, left in place would end a row early and let the rest pose as a row.

#include <string>
#include <string_view>

namespace dormio::OneLine {

// Well-formed UTF-8 (ill-formed bytes repaired) in which every control character (C0, DEL, C1) and the
// line and paragraph separators are a space.
std::string of(std::string_view bytes);

} // namespace dormio::OneLine
