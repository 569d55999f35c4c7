// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: StrToIntRange against a plain reference reader, and the
// round trip through the canonical text.
#include "core/IntField.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool AllOf(std::string_view s, const char* alphabet) {
    for (char c : s)
        if (c == '\0' || std::strchr(alphabet, c) == nullptr) return false;
    return true;
}

std::string_view StripLeading(std::string_view s, char c) {
    while (!s.empty() && s.front() == c)
        s.remove_prefix(1);
    return s;
}

std::optional<std::int64_t> ReferenceConvert(std::string_view text) {
    text = StripLeading(text, ' ');
    std::string_view hex;
    bool isHex = false;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        hex = text.substr(1);
        isHex = true;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
        isHex = true;
    }
    if (isHex) {
        if (hex.empty() || !AllOf(hex, "0123456789abcdefABCDEF")) return std::nullopt;
        const std::string_view significant = StripLeading(hex, '0');
        if (significant.size() > 8) return std::nullopt;
        const std::int64_t value = std::strtoll(std::string(hex).c_str(), nullptr, 16);
        return value >= (std::int64_t{1} << 31) ? value - (std::int64_t{1} << 32) : value;
    }
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !AllOf(digits, "0123456789")) return std::nullopt;
    const std::string_view significant = StripLeading(digits, '0');
    if (significant.size() > 10) return std::nullopt;
    std::int64_t value = significant.empty() ? 0 : std::stoll(std::string(significant));
    if (negative) value = -value;
    if (value < -(std::int64_t{1} << 31) || value > (std::int64_t{1} << 31) - 1)
        return std::nullopt;
    return value;
}

std::int32_t ReferenceRange(std::optional<std::int64_t> converted, std::int32_t lo,
                            std::int32_t hi) {
    if (!converted) return lo;
    std::int64_t v = *converted;
    if (v < lo && hi >= lo) v = lo;
    if (v > hi && hi > lo) v = hi;
    return static_cast<std::int32_t>(v);
}

std::int32_t ReadInt32(const std::uint8_t* data) {
    std::uint32_t bits;
    std::memcpy(&bits, data, sizeof bits);
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t lo = 0, hi = 0;
    if (size >= 8) {
        lo = ReadInt32(data);
        hi = ReadInt32(data + 4);
        data += 8;
        size -= 8;
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::optional<std::int64_t> expected = ReferenceConvert(text);
    if (tavik::StrToIntRange(text, lo, hi) != ReferenceRange(expected, lo, hi)) std::abort();

    if (expected) {
        const std::string canonical = tavik::IntToStr(*expected);
        if (tavik::StrToIntRange(canonical, lo, hi) != ReferenceRange(expected, lo, hi))
            std::abort();
        // Inverted bounds let any converted value through unchanged.
        if (tavik::IntToStr(tavik::StrToIntRange(canonical, 1, 0)) != canonical) std::abort();
    }
    return 0;
}
