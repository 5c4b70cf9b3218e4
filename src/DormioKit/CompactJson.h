#pragma once

// Reading the stored files' JSON in the one form their encoders write: compact, members in a fixed order.
// The general JSON reader spends most of its time on what that form never holds; a reader of the form
// alone is several times faster. Each step gives false on anything outside the form,
// and the caller then falls back to the general reader, so that both accept the same documents and read
// them alike, to the bit.

#include <cstdint>
#include <string>
#include <string_view>

namespace dormio::CompactJson {

class Reader {
public:
    explicit Reader(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool atEnd() const { return p_ == end_; }
    // Where the next step reads, for a caller that wants the text of what it read.
    const char* position() const { return p_; }

    // The exact text `word` next, passed over.
    bool literal(std::string_view word);

    // A string without control bytes, its bytes beyond ASCII well-formed UTF-8, its escapes read; a
    // surrogate is left to the general reader, which pairs them.
    bool string(std::string& out);

    // A JSON number, finite, read as the general reader reads it: one without fraction or exponent is
    // held as an integer there, so "-0" reads as +0.
    bool number(double& value);

    // A JSON number without fraction or exponent that fits in 64 bits.
    bool integer(int64_t& value);

    bool boolean(bool& value);

private:
    // One escape at `q`, its character added to `out` and `q` moved past it.
    bool escape(const char*& q, std::string& out) const;

    // Passes over a number's text as JSON spells it, saying whether it has a fraction or an exponent.
    bool numberText(const char*& stop, bool& integer) const;

    const char* p_;
    const char* end_;
};

} // namespace dormio::CompactJson
