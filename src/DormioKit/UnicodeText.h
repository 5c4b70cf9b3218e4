#pragma once

// Small Unicode helpers for readers that work on UTF-8 bytes: well-formed views of raw bytes and the
// character classes the system's text tools use (numeric characters, white space).

#include <cstddef>
#include <string>
#include <string_view>

namespace dormio::UnicodeText {

// `bytes` itself when it is well-formed UTF-8 (no copy), else its repaired form (Utf8::repaired) kept
// in `storage`.
std::string_view wellFormed(std::string_view bytes, std::string& storage);

// Whether the character that starts at byte `at` has a Unicode numeric type (digits of any script,
// fractions, Roman numerals ...). False at the end of the text.
bool isNumericAt(std::string_view text, std::size_t at);

// The end of the run of numeric characters that starts at byte `from`.
std::size_t numericRunEnd(std::string_view text, std::size_t from);

// Full lower case in the root locale, so that the user's language (a Turkish dotless i) never changes a
// match. Plain ASCII, the usual case, lowers byte by byte without a trip through ICU.
std::string lowerCase(std::string_view text);

// The text without the space separators (Unicode category Zs) and tabs at either end.
std::string_view trimmedWhitespace(std::string_view text);

} // namespace dormio::UnicodeText
