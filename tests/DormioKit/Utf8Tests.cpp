#include "DormioKit/Utf8.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <unicode/ustring.h>
#include <vector>

using namespace dormio;

namespace {

const std::string fffd = "\xEF\xBF\xBD";

struct RepairCase {
    const char* what;
    std::string bytes;
    std::string expected;
};

// ICU's conversion with substitution follows the same recommended practice; it is the reference.
std::string repairedByIcu(const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    std::vector<UChar> utf16(bytes.size() + 1);
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    std::string out(static_cast<size_t>(length) * 3, '\0');
    int32_t written = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &written, utf16.data(), length, &status);
    EXPECT_TRUE(U_SUCCESS(status));
    out.resize(static_cast<size_t>(written));
    return out;
}

} // namespace

TEST(Utf8Repair, EachMaximalSubpartBecomesOneReplacement) {
    const std::vector<RepairCase> cases = {
        {"empty", "", ""},
        {"well-formed text is unchanged", "caf\xC3\xA9 \xE2\x80\x99 \xF0\x9F\x8C\x99",
         "caf\xC3\xA9 \xE2\x80\x99 \xF0\x9F\x8C\x99"},
        {"byte-order mark and CR LF are kept",
         "\xEF\xBB\xBF"
         "a\r\nb",
         "\xEF\xBB\xBF"
         "a\r\nb"},
        {"lone 0xFF",
         "a\xFF"
         "b",
         "a" + fffd + "b"},
        {"lone continuation bytes", "\x80\xBF", fffd + fffd},
        {"overlong two-byte lead", "\xC0\xAF", fffd + fffd},
        {"truncated three-byte sequence is one subpart",
         "\xE2\x80"
         "x",
         fffd + "x"},
        {"truncated at the end", "ok\xF0\x9F\x8C", "ok" + fffd},
        {"surrogate", "\xED\xA0\x80", fffd + fffd + fffd},
        {"above U+10FFFF", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},
        {"overlong three-byte", "\xE0\x80\x80", fffd + fffd + fffd},
        {"the standard's worked example", "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         "a" + fffd + fffd + fffd + "b" + fffd + "c" + fffd + fffd + "d"},
        {"NUL bytes are text", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8::repaired(c.bytes), c.expected) << c.what;
        EXPECT_EQ(Utf8::repaired(c.bytes), repairedByIcu(c.bytes)) << c.what;
        EXPECT_EQ(Utf8::isWellFormed(c.bytes), c.expected == c.bytes) << c.what;
    }
}

TEST(Utf8Repair, LongAsciiRunsAroundAFaultAreKept) {
    const std::string ascii(37, 'a');
    EXPECT_TRUE(Utf8::isWellFormed(ascii + "\xC3\xA9" + ascii));
    EXPECT_FALSE(Utf8::isWellFormed(ascii + "\xC3" + ascii));
    EXPECT_EQ(Utf8::repaired(ascii + "\xC3" + ascii), ascii + fffd + ascii);
    EXPECT_EQ(Utf8::asciiPrefix(ascii + "\xC3" + ascii), 37u);
}

TEST(Utf8Repair, AgreesWithIcuOnRandomBytes) {
    // Bytes drawn mostly from the interesting ranges (leads, continuations, the edges of the table).
    const std::vector<uint8_t> alphabet = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                           0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                                           0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
    std::mt19937 random(20240601);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (int i = length(random); i > 0; --i)
            bytes.push_back(static_cast<char>(alphabet[pick(random)]));
        const std::string repaired = repairedByIcu(bytes);
        ASSERT_EQ(Utf8::repaired(bytes), repaired) << testing::PrintToString(bytes);
        ASSERT_EQ(Utf8::isWellFormed(bytes), repaired == bytes) << testing::PrintToString(bytes);
    }
}
