#pragma once

// Whole decimal integers in the tools' text: the pids of the log and of the assertion listing, and the
// numbers that follow a marker ("Charge:80%", "Created for PID: 456.").

#include "DormioKit/UnicodeText.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace dormio::DecimalText {

// The whole text as a decimal integer: an optional sign, then ASCII digits only. None when anything else
// stands in it, when it is empty, or when the value is out of range.
template <class Integer> std::optional<Integer> integer(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt; // from_chars takes a minus sign of its own
    }
    Integer value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The run of numeric characters (of any script) that opens the text, read as above: an empty run, or one
// that holds anything but the ASCII digits, gives none.
template <class Integer> std::optional<Integer> leadingInteger(std::string_view text) {
    return integer<Integer>(text.substr(0, UnicodeText::numericRunEnd(text, 0)));
}

} // namespace dormio::DecimalText
