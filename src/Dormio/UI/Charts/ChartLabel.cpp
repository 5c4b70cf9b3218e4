#include "Dormio/UI/Charts/ChartLabel.h"

#include <algorithm>

namespace dormio::Charts {

qsizetype characterCount(std::string_view utf8) {
    // Every code point has exactly one byte that is not a continuation byte (10xxxxxx).
    return std::count_if(utf8.begin(), utf8.end(), [](char byte) { return (byte & 0xC0) != 0x80; });
}

} // namespace dormio::Charts
