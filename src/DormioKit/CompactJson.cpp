#include "DormioKit/CompactJson.h"

#include "DormioKit/Utf8.h"

#include <charconv>
#include <cmath>

namespace dormio::CompactJson {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool Reader::literal(std::string_view word) {
    if (std::size_t(end_ - p_) < word.size() || std::string_view(p_, word.size()) != word) return false;
    p_ += word.size();
    return true;
}

bool Reader::string(std::string& out) {
    if (p_ == end_ || *p_ != '"') return false;
    out.clear();
    const char* q = p_ + 1;
    const char* run = q; // bytes that stand as they are, from here to q
    bool ascii = true;
    for (;;) {
        if (q == end_) return false;
        const auto byte = static_cast<unsigned char>(*q);
        if (byte == '"') break;
        if (byte < 0x20) return false;
        if (byte == '\\') {
            out.append(run, q);
            if (!escape(q, out)) return false;
            run = q;
            continue;
        }
        ascii = ascii && byte < 0x80;
        ++q;
    }
    out.append(run, q);
    // An escape adds a whole character, so a sequence cut by one stays ill-formed in the text read.
    if (!ascii && !Utf8::isWellFormed(out)) return false;
    p_ = q + 1;
    return true;
}

bool Reader::escape(const char*& q, std::string& out) const {
    if (end_ - q < 2) return false;
    char simple = 0;
    switch (q[1]) {
    case '"':
    case '\\':
    case '/':
        simple = q[1];
        break;
    case 'b':
        simple = '\b';
        break;
    case 'f':
        simple = '\f';
        break;
    case 'n':
        simple = '\n';
        break;
    case 'r':
        simple = '\r';
        break;
    case 't':
        simple = '\t';
        break;
    }
    if (simple) {
        out += simple;
        q += 2;
        return true;
    }
    if (q[1] != 'u' || end_ - q < 6) return false;
    unsigned code = 0;
    const auto [stop, error] = std::from_chars(q + 2, q + 6, code, 16);
    if (error != std::errc() || stop != q + 6 || (code >= 0xD800 && code <= 0xDFFF)) return false;
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
    q += 6;
    return true;
}

bool Reader::numberText(const char*& stop, bool& integer) const {
    const char* q = p_;
    if (q < end_ && *q == '-') ++q;
    if (q == end_ || !isDigit(*q)) return false;
    if (*q == '0') {
        ++q;
    } else {
        while (q < end_ && isDigit(*q))
            ++q;
    }
    integer = q == end_ || (*q != '.' && *q != 'e' && *q != 'E');
    if (q < end_ && *q == '.') {
        if (++q == end_ || !isDigit(*q)) return false;
        while (q < end_ && isDigit(*q))
            ++q;
    }
    if (q < end_ && (*q == 'e' || *q == 'E')) {
        ++q;
        if (q < end_ && (*q == '+' || *q == '-')) ++q;
        if (q == end_ || !isDigit(*q)) return false;
        while (q < end_ && isDigit(*q))
            ++q;
    }
    stop = q;
    return true;
}

bool Reader::number(double& value) {
    const char* stop = nullptr;
    bool integer = false;
    if (!numberText(stop, integer)) return false;
    const auto [parsed, error] = std::from_chars(p_, stop, value);
    if (error != std::errc() || parsed != stop || !std::isfinite(value)) return false;
    if (integer && value == 0) value = 0;
    p_ = stop;
    return true;
}

bool Reader::integer(int64_t& value) {
    const char* stop = nullptr;
    bool integer = false;
    if (!numberText(stop, integer) || !integer) return false;
    const auto [parsed, error] = std::from_chars(p_, stop, value);
    if (error != std::errc() || parsed != stop) return false;
    p_ = stop;
    return true;
}

bool Reader::boolean(bool& value) {
    if (literal("true")) {
        value = true;
        return true;
    }
    if (literal("false")) {
        value = false;
        return true;
    }
    return false;
}

} // namespace dormio::CompactJson
