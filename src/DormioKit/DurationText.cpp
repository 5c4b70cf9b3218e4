#include "DormioKit/PowerLogParser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace dormio::PowerLogParser {

namespace {

// Nearly every piece in a log is a few plain digits; those skip the general reader. Up to 15 digits
// the value is exact either way.
std::optional<double> plainDigits(std::string_view piece) {
    if (piece.empty() || piece.size() > 15) return std::nullopt;
    int64_t value = 0;
    for (const char c : piece) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return static_cast<double>(value);
}

// The whole piece must be one number in the C locale's notation, whatever locale the process runs in.
std::optional<double> number(std::string_view piece) {
    if (const auto value = plainDigits(piece)) return value;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (piece.empty() || !cLocale) return std::nullopt;
    const char first = piece.front();
    if (first == ' ' || (first >= '\t' && first <= '\r')) return std::nullopt; // strtod would skip these
    const std::string text(piece);
    char* end = nullptr;
    const double value = strtod_l(text.c_str(), &end, cLocale);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

} // namespace

double parseDuration(std::string_view text) {
    double parts[3];
    std::size_t count = 0;
    std::size_t start = 0;
    // Pieces are a few bytes long: a plain loop finds the colons faster than a library search call.
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != ':') continue;
        if (count == 3) return 0;
        const auto value = number(text.substr(start, at - start));
        // An infinite piece or sum would poison every rounding and sum that follows, so it reads as
        // unreadable.
        if (!value || !std::isfinite(*value) || *value < 0) return 0;
        parts[count++] = *value;
        start = at + 1;
    }
    if (count != 3) return 0;
    const double seconds = (parts[0] * 3600 + parts[1] * 60) + parts[2];
    return std::isfinite(seconds) ? seconds : 0;
}

} // namespace dormio::PowerLogParser
