#include "DormioKit/DecimalText.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace dormio;

TEST(DecimalText, WholeTextsWithAnOptionalSign) {
    const std::vector<std::pair<std::string, std::optional<int32_t>>> cases = {
        {"412", 412},
        {"+7", 7},
        {"-7", -7},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", {}},
        {"3000000000", {}},
        {"", {}},
        {"+", {}},
        {"-", {}},
        {"+-1", {}},
        {"-+1", {}},
        {"--1", {}},
        {" 1", {}},
        {"1 ", {}},
        {"1 2", {}},
        {"12a", {}},
        {"0x10", {}},
        {"\u0663", {}},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(DecimalText::integer<int32_t>(text), value) << '"' << text << '"';
    EXPECT_EQ(DecimalText::integer<int64_t>("9000000000"), 9000000000);
}

TEST(DecimalText, TheLeadingRunOfNumericCharacters) {
    const std::vector<std::pair<std::string, std::optional<int64_t>>> cases = {
        {"80%)", 80},
        {"456.", 456},
        {"3600 secs", 3600},
        {"", {}},
        {"%", {}},
        {" 80", {}},
        {"-5", {}},
        {"\u0668\u0660%", {}},
        {"8\u0660", {}},
        {"\uFF14\uFF15", {}},
        {"99999999999999999999", {}},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(DecimalText::leadingInteger<int64_t>(text), value) << '"' << text << '"';
}
