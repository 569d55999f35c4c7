// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IntField.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace tavik {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ReadCase {
    const char* name;
    std::string text;
    std::int32_t withZeroBounds; // bounds (0, 0)
    std::int32_t withOneBounds;  // bounds (1, 1)
};

// Texts that fail give the lower bound; values below it are raised to it.
const ReadCase kReadCases[] = {
    {"plain", "30", 30, 30},
    {"leading_blank", " 30", 30, 30},
    {"many_leading_blanks", "     30", 30, 30},
    {"trailing_blank", "30 ", 0, 1},
    {"plus_sign", "+30", 30, 30},
    {"leading_zero", "030", 30, 30},
    {"dollar_hex", "$1E", 30, 30},
    {"x_hex", "x1e", 30, 30},
    {"X_hex", "X1E", 30, 30},
    {"0x_hex", "0x1E", 30, 30},
    {"0X_hex", "0X1E", 30, 30},
    {"blank_then_hex", " $1E", 30, 30},
    {"sign_before_hex", "-$1E", 0, 1},
    {"plus_before_hex", "+$1E", 0, 1},
    {"negative", "-5", 0, 1},
    {"zero", "0", 0, 1},
    {"minus_zero", "-0", 0, 1},
    {"empty", "", 0, 1},
    {"blanks_only", "   ", 0, 1},
    {"letters", "abc", 0, 1},
    {"digit_letter", "3a", 0, 1},
    {"decimal_point", "1.5", 0, 1},
    {"exponent", "1e3", 0, 1},
    {"lone_minus", "-", 0, 1},
    {"minus_blank_digits", "- 30", 0, 1},
    {"lone_dollar", "$", 0, 1},
    {"lone_0x", "0x", 0, 1},
    {"fullwidth_digits", "３０", 0, 1},
    {"tab_is_no_blank", "\t30", 0, 1},
    {"fullwidth_blank_is_no_blank", "　30", 0, 1},
    {"hex_minus_one", "$FFFFFFFF", 0, 1},
    {"hex_max", "$7FFFFFFF", kMax, kMax},
    {"decimal_max", "2147483647", kMax, kMax},
    {"decimal_max_plus_one", "2147483648", 0, 1},
    {"nine_hex_digits", "$100000000", 0, 1},
    // A ninth significant digit fails even where the low 32 bits would read.
    {"nine_hex_digits_do_not_wrap", "$123456789", 0, 1},
    {"nine_hex_digits_after_a_zero", "$0123456789", 0, 1},
    {"eight_hex_digits_after_zeros", "$0012345678", 305419896, 305419896},
    {"hex_lower_digits", "$abcdef", 11259375, 11259375},
    {"hex_upper_digits", "0XABCDEF", 11259375, 11259375},
    {"hex_g_is_no_digit", "x1g", 0, 1},
    {"x_after_another_digit", "1x1E", 0, 1},
    {"nines", "99", 99, 99},
    {"hex_leading_zeros_do_not_count", "$0000000000001E", 30, 30},
    {"long_leading_zeros", std::string(500, '0') + "30", 30, 30},
    {"very_long_digits", std::string(500, '9'), 0, 1},
    {"double_prefix", "00x1E", 0, 1},
    {"hex_bad_digit", "$1G", 0, 1},
    {"large_value_kept", "800", 800, 800},
    {"embedded_nul", std::string("30\0", 3), 0, 1},
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, BoundsActAsLowerBoundOnly) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(StrToIntRange(c.text, 0, 0), c.withZeroBounds);
    EXPECT_EQ(StrToIntRange(c.text, 1, 1), c.withOneBounds);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadTest, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ConvertCase {
    const char* name;
    const char* text;
    std::int32_t lo, hi, expected;
};

// Bounds the window never uses show the general rules: hi > lo clamps from
// above too; hi < lo lets any converted value through.
TEST(StrToIntRange, GeneralBounds) {
    const ConvertCase cases[] = {
        {"upper_bound_applies", "250", 0, 100, 100},
        {"inverted_bounds_pass_value", "250", 5, 3, 250},
        {"inverted_bounds_pass_negative", "-7", 5, 3, -7},
        {"inverted_bounds_failure_gives_lo", "x", 5, 3, 5},
        {"hex_sign_bit", "$80000000", 5, 3, kMin},
        {"decimal_min", "-2147483648", 5, 3, kMin},
        {"below_min_fails", "-2147483649", -9, -9, -9},
        {"hex_minus_one_unbounded", "$FFFFFFFF", kMin, kMin, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StrToIntRange(c.text, c.lo, c.hi), c.expected);
    }
}

TEST(IntToStr, CanonicalForm) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(30), "30");
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(kMin), "-2147483648");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
}

TEST(IntToStr, RoundTripsThroughTheReader) {
    for (std::int32_t v : {kMin, kMin + 1, -1000, -1, 0, 1, 7, 650, kMax - 1, kMax}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(StrToIntRange(IntToStr(v), kMin, kMin), v);
    }
}

} // namespace
} // namespace tavik
