#include "DormioKit/DurationText.h"

#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace dormio::PowerLogParser {

namespace {

// The whole piece must be one number in the C locale's notation, whatever locale the process runs in.
std::optional<double> number(std::string_view piece) {
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

// Nearly every duration in a log is "hh:mm:ss" with two digits in each place; that form skips the
// general reader (its values are small integers, exact either way).
std::optional<double> twoDigitForm(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    int fields[3];
    for (int i = 0; i < 3; ++i) {
        const unsigned tens = static_cast<unsigned char>(text[i * 3]) - '0';
        const unsigned ones = static_cast<unsigned char>(text[i * 3 + 1]) - '0';
        if (tens > 9 || ones > 9) return std::nullopt;
        fields[i] = static_cast<int>(tens * 10 + ones);
    }
    return fields[0] * 3600.0 + fields[1] * 60.0 + fields[2];
}

} // namespace

double parseDuration(std::string_view text) {
    if (const auto seconds = twoDigitForm(text)) return *seconds;
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
