#include "DormioKit/Utf8.h"

#include <cstdint>
#include <cstring>

namespace dormio::Utf8 {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";

// The length of the well-formed sequence at the start of `s`, or, when it is ill-formed, the negated
// length of its maximal subpart (at least one byte), following the table of well-formed byte sequences.
int sequenceLength(std::string_view s) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    const uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    int length = 0;
    uint8_t low = 0x80, high = 0xBF; // the range of the second byte; later bytes are always 80..BF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<size_t>(i) >= s.size()) return -i;
        const uint8_t b = byte(i);
        if (b < low || b > high) return -i;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

} // namespace

std::size_t asciiPrefix(std::string_view bytes) {
    constexpr uint64_t highBits = 0x8080808080808080ull;
    std::size_t i = 0;
    // Four words at a time while they last, then one.
    for (; i + 32 <= bytes.size(); i += 32) {
        uint64_t words[4];
        std::memcpy(words, bytes.data() + i, 32);
        if ((words[0] | words[1] | words[2] | words[3]) & highBits) break;
    }
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & highBits) break;
    }
    while (i < bytes.size() && static_cast<uint8_t>(bytes[i]) < 0x80)
        ++i;
    return i;
}

bool isWellFormed(std::string_view bytes) {
    // A log with a few characters beyond ASCII is still ASCII between them: each run is passed over a word
    // at a time.
    for (std::size_t i = asciiPrefix(bytes); i < bytes.size(); i += asciiPrefix(bytes.substr(i))) {
        const int length = sequenceLength(bytes.substr(i));
        if (length < 0) return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string repaired(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t copiedUpTo = 0;
    size_t i = asciiPrefix(bytes);
    while (i < bytes.size()) {
        if (static_cast<uint8_t>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const int length = sequenceLength(bytes.substr(i));
        if (length > 0) {
            i += static_cast<size_t>(length);
            continue;
        }
        out.append(bytes.substr(copiedUpTo, i - copiedUpTo));
        out.append(replacement);
        i += static_cast<size_t>(-length);
        copiedUpTo = i;
    }
    out.append(bytes.substr(copiedUpTo));
    return out;
}

} // namespace dormio::Utf8
