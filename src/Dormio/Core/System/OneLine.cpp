#include "Dormio/Core/System/OneLine.h"

#include "DormioKit/Utf8.h"

namespace dormio::OneLine {

std::string of(std::string_view bytes) {
    const std::string text = Utf8::repaired(bytes);
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = [&](std::size_t ahead) {
            return i + ahead < text.size() ? static_cast<unsigned char>(text[i + ahead]) : 0;
        };
        if (byte < 0x20 || byte == 0x7F) {
            line += ' ';
        } else if (byte == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) { // U+0080 .. U+009F
            line += ' ';
            i += 1;
        } else if (byte == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) {
            line += ' ';
            i += 2;
        } else {
            line += char(byte);
        }
    }
    return line;
}

} // namespace dormio::OneLine
