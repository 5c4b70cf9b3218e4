#pragma once

// One way to fold a record's fields into a hash, so that every record hashes its fields the same way:
// arrays as their count then their elements, optionals as a presence mark then the value.

#include "DormioKit/Date.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace dormio {

class Hasher {
public:
    std::size_t value() const { return state; }

    void add(bool flag) { mix(flag ? 1 : 0); }
    void add(int32_t number) { add(static_cast<int64_t>(number)); }
    void add(int64_t number) { mix(std::hash<int64_t>{}(number)); }
    // +0.0 and -0.0 compare equal, so they must hash the same.
    void add(double number) { mix(std::hash<double>{}(number == 0.0 ? 0.0 : number)); }
    void add(std::string_view text) { mix(std::hash<std::string_view>{}(text)); }
    void add(Date date) { add(date.seconds); }

    template <typename T> void add(const std::optional<T>& value) {
        add(value.has_value());
        if (value) add(*value);
    }

    template <typename Record> void add(const std::vector<Record>& records) {
        mix(records.size());
        for (const Record& record : records)
            mix(std::hash<Record>{}(record));
    }

private:
    void mix(std::size_t h) { state ^= h + 0x9e3779b97f4a7c15ULL + (state << 12) + (state >> 4); }

    std::size_t state = 0;
};

} // namespace dormio
