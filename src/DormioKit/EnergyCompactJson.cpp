#include "DormioKit/EnergyCompactJson.h"

#include <charconv>
#include <cmath>
#include <string>

namespace dormio::EnergyCompactJson {

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool atEnd() const { return p_ == end_; }

    bool literal(std::string_view word) {
        if (size_t(end_ - p_) < word.size() || std::string_view(p_, word.size()) != word) return false;
        p_ += word.size();
        return true;
    }

    // Printable ASCII only: escapes, control bytes and UTF-8 are left to the general reader.
    bool string(std::string_view& out) {
        if (p_ == end_ || *p_ != '"') return false;
        const char* start = ++p_;
        for (; p_ < end_ && *p_ != '"'; ++p_)
            if (*p_ == '\\' || static_cast<unsigned char>(*p_) < 0x20 ||
                static_cast<unsigned char>(*p_) >= 0x80)
                return false;
        if (p_ == end_) return false;
        out = std::string_view(start, size_t(p_ - start));
        ++p_;
        return true;
    }

    // A JSON number (checked against JSON's grammar, which from_chars alone does not enforce), finite.
    // Read as the general reader reads it, to the bit: that one holds a number without fraction or
    // exponent as an integer, so "-0" reads as +0.
    bool number(double& value) {
        const char* start = p_;
        const char* q = p_;
        if (q < end_ && *q == '-') ++q;
        if (q == end_ || !isDigit(*q)) return false;
        if (*q == '0') {
            ++q;
        } else {
            while (q < end_ && isDigit(*q))
                ++q;
        }
        const bool integer = q == end_ || (*q != '.' && *q != 'e' && *q != 'E');
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
        const auto [stop, error] = std::from_chars(start, q, value);
        if (error != std::errc() || stop != q || !std::isfinite(value)) return false;
        if (integer && value == 0) value = 0;
        p_ = q;
        return true;
    }

private:
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    const char* p_;
    const char* end_;
};

// Members of an object in strictly ascending key order; `member` reads one value after its colon.
template <typename Member> bool ascendingMembers(Reader& in, Member&& member) {
    if (!in.literal("{")) return false;
    if (in.literal("}")) return true;
    std::string_view previous;
    bool first = true;
    do {
        std::string_view key;
        if (!in.string(key) || !in.literal(":")) return false;
        if (!first && !(previous < key)) return false;
        if (!member(key)) return false;
        previous = key;
        first = false;
    } while (in.literal(","));
    return in.literal("}");
}

bool appInfo(Reader& in, std::string_view key, EnergyFile& file) {
    std::string_view name, path;
    if (!in.literal("{\"name\":") || !in.string(name)) return false;
    EnergyAppInfo info{std::string(name), std::nullopt};
    if (in.literal(",\"path\":")) {
        if (!in.string(path)) return false;
        info.path = std::string(path);
    }
    if (!in.literal("}")) return false;
    file.apps.emplace_hint(file.apps.end(), key, std::move(info));
    return true;
}

bool sample(Reader& in, EnergyFile& file) {
    EnergySample sample;
    const bool amounts = in.literal("{\"apps\":") && ascendingMembers(in, [&](std::string_view key) {
                             double millijoules = 0;
                             if (!in.number(millijoules)) return false;
                             sample.apps.emplace_hint(sample.apps.end(), key, millijoules);
                             return true;
                         });
    if (!amounts || !in.literal(",\"t\":") || !in.number(sample.t.seconds) || !in.literal("}")) return false;
    file.samples.push_back(std::move(sample));
    return true;
}

} // namespace

std::optional<EnergyFile> read(std::string_view json) {
    Reader in(json);
    EnergyFile file;
    if (!in.literal("{\"apps\":") ||
        !ascendingMembers(in, [&](std::string_view key) { return appInfo(in, key, file); }))
        return std::nullopt;
    if (!in.literal(",\"samples\":[")) return std::nullopt;
    if (!in.literal("]")) {
        do {
            if (!sample(in, file)) return std::nullopt;
        } while (in.literal(","));
        if (!in.literal("]")) return std::nullopt;
    }
    if (!in.literal("}") || !in.atEnd()) return std::nullopt;
    return file;
}

} // namespace dormio::EnergyCompactJson
