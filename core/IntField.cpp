// SPDX-License-Identifier: GPL-3.0-or-later
#include "IntField.h"

#include <charconv>
#include <limits>
#include <optional>

namespace tavik {

namespace {

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// At most 8 significant hex digits; the 32-bit pattern is read as signed.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int d = HexValue(c);
        if (d < 0) return std::nullopt;
        if (value != 0 || d != 0) ++significant;
        if (significant > 8) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    // Two's complement reinterpretation without relying on a narrowing cast.
    if (value <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        return static_cast<std::int32_t>(value);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(value) - (std::int64_t{1} << 32));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulate the magnitude in 64 bits; stop as soon as it cannot fit.
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{1} << 31) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    text.remove_prefix(start);
    if (text.front() == '$' || text.front() == 'x' || text.front() == 'X')
        return ParseHex(text.substr(1));
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHex(text.substr(2));
    return ParseDecimal(text);
}

std::int32_t StrToIntRange(std::string_view text, std::int32_t lo, std::int32_t hi) {
    const std::optional<std::int32_t> converted = TryStrToInt(text);
    if (!converted) return lo;
    std::int32_t value = *converted;
    if (value < lo && hi >= lo) value = lo;
    if (value > hi && hi > lo) value = hi;
    return value;
}

std::string IntToStr(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace tavik
