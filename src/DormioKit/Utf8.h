#pragma once

// Text that comes from outside (a child's output, a file) is turned into well-formed UTF-8 once, at the
// border, so that everything after it can rely on it.

#include <cstddef>
#include <string>
#include <string_view>

namespace dormio::Utf8 {

// How many bytes at the start are ASCII. Logs are nearly all ASCII, so eight bytes are checked at a time.
std::size_t asciiPrefix(std::string_view bytes);

// Whether the bytes are well-formed UTF-8 as they stand.
bool isWellFormed(std::string_view bytes);

// The bytes as well-formed UTF-8: each maximal subpart of an ill-formed sequence becomes one U+FFFD,
// the way the Unicode standard recommends (and ICU does). Well-formed input comes back unchanged; no
// byte-order mark is stripped and no line endings are touched.
std::string repaired(std::string_view bytes);

} // namespace dormio::Utf8
