#include "DormioKit/UnicodeText.h"

#include "DormioKit/Utf8.h"

#include <cstdint>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace dormio::UnicodeText {

namespace {

// ICU's forward macro is written for any index type, so sizes never narrow to 32 bits.
UChar32 nextCodePoint(std::string_view text, std::size_t& at) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const std::size_t length = text.size();
    UChar32 c;
    U8_NEXT(s, at, length, c);
    return c;
}

// Of ASCII, only the digits have a numeric type, and ASCII is nearly all a log holds.
bool isNumeric(UChar32 c) {
    if (c < 0x80) return c >= '0' && c <= '9';
    return u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE;
}

bool isWhitespace(UChar32 c) {
    return c == '\t' || (c >= 0 && u_charType(c) == U_SPACE_SEPARATOR);
}

} // namespace

std::string_view wellFormed(std::string_view bytes, std::string& storage) {
    if (Utf8::isWellFormed(bytes)) return bytes;
    storage = Utf8::repaired(bytes);
    return storage;
}

bool isNumericAt(std::string_view text, std::size_t at) {
    return at < text.size() && isNumeric(nextCodePoint(text, at));
}

std::size_t numericRunEnd(std::string_view text, std::size_t from) {
    std::size_t at = from;
    while (at < text.size()) {
        std::size_t next = at;
        if (!isNumeric(nextCodePoint(text, next))) break;
        at = next;
    }
    return at;
}

std::string_view trimmedWhitespace(std::string_view text) {
    std::size_t start = 0;
    std::size_t end = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t characterStart = at;
        if (isWhitespace(nextCodePoint(text, at))) continue;
        if (end == 0) start = characterStart;
        end = at;
    }
    return text.substr(start, end - start);
}

std::string lowerCase(std::string_view text) {
    if (Utf8::asciiPrefix(text) < text.size()) {
        std::string lower;
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
            .toLower(icu::Locale::getRoot())
            .toUTF8String(lower);
        return lower;
    }
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

} // namespace dormio::UnicodeText
