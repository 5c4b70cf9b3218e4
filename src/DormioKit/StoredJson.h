#pragma once

// Reading and writing the stored files' JSON: every member that is not optional is required, a wrong
// JSON type is an error, and any error fails the whole document. Errors travel as `Malformed` inside one
// document's encoder or decoder and never leave it.

#include "DormioKit/Date.h"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace dormio::StoredJson {

using Json = nlohmann::json;

struct Malformed {};

// JSON has no form for infinities or NaN; such a value makes the document unwritable.
inline Json finite(double number) {
    if (!std::isfinite(number)) throw Malformed{};
    return number;
}

inline Json seconds(Date date) {
    return finite(date.seconds);
}

// Compact text. Strings from the log can hold bytes that are not UTF-8; they are written as U+FFFD
// rather than failing the whole file.
inline std::string compact(const Json& document) {
    return document.dump(-1, ' ', false, Json::error_handler_t::replace);
}

template <typename Encode> std::optional<std::string> encode(Encode&& build) {
    try {
        return compact(build());
    } catch (...) {
        return std::nullopt;
    }
}

template <typename Decode>
auto decode(std::string_view text, Decode&& read) -> std::optional<decltype(read(Json{}))> {
    try {
        return read(Json::parse(text));
    } catch (...) {
        return std::nullopt;
    }
}

inline const Json& member(const Json& object, const char* name) {
    if (!object.is_object()) throw Malformed{};
    auto found = object.find(name);
    if (found == object.end()) throw Malformed{};
    return *found;
}

// An optional member reads as absent when it is missing or null.
inline const Json* optionalMember(const Json& object, const char* name) {
    if (!object.is_object()) throw Malformed{};
    auto found = object.find(name);
    if (found == object.end() || found->is_null()) return nullptr;
    return &*found;
}

inline double number(const Json& value) {
    if (!value.is_number()) throw Malformed{};
    double number = value.get<double>();
    if (!std::isfinite(number)) throw Malformed{};
    return number;
}

inline Date date(const Json& value) {
    return Date{number(value)};
}

// A whole number may be written with a zero fraction (80.0); a real fraction or a value outside the
// 64-bit range is an error, checked before any conversion since converting such a float is undefined.
inline int64_t wholeNumber(const Json& value) {
    if (value.is_number_integer() && !value.is_number_unsigned()) return value.get<int64_t>();
    if (value.is_number_unsigned()) {
        auto number = value.get<uint64_t>();
        if (number > static_cast<uint64_t>(INT64_MAX)) throw Malformed{};
        return static_cast<int64_t>(number);
    }
    double number = StoredJson::number(value);
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (number != std::trunc(number) || number < -limit || number >= limit) throw Malformed{};
    return static_cast<int64_t>(number);
}

inline const std::string& string(const Json& value) {
    if (!value.is_string()) throw Malformed{};
    return value.get_ref<const std::string&>();
}

inline bool boolean(const Json& value) {
    if (!value.is_boolean()) throw Malformed{};
    return value.get<bool>();
}

inline const Json::array_t& array(const Json& value) {
    if (!value.is_array()) throw Malformed{};
    return value.get_ref<const Json::array_t&>();
}

inline const Json::object_t& object(const Json& value) {
    if (!value.is_object()) throw Malformed{};
    return value.get_ref<const Json::object_t&>();
}

} // namespace dormio::StoredJson
