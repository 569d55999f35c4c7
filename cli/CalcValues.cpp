// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcValues.h"

#include "core/IntField.h"

#include <charconv>
#include <limits>
#include <optional>

namespace tavik {

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::string Quoted(std::string_view option, std::string_view text) {
    return std::string(option) + ": '" + Printable(text) + "'";
}

// The length of the UTF-8 sequence at the start of text, or 0 where it is
// not one (cut short, overlong, a surrogate, beyond U+10FFFF).
std::size_t Utf8Length(std::string_view text, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) return 0;
    return length;
}

std::optional<std::int32_t> NotNegative(std::string_view text) {
    const std::optional<std::int32_t> value = TryStrToInt(text);
    if (!value || *value < 0) return std::nullopt;
    return value;
}

// ASCII digits only, as a clock shows them: no sign, blank or prefix.
std::optional<std::int64_t> ClockDigits(std::string_view text, std::size_t width) {
    if (text.empty() || (width != 0 && text.size() != width)) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Seconds of "M:SS" or "H:MM:SS"; the fields after the first are below 60.
std::optional<std::int64_t> ClockSeconds(std::string_view text) {
    std::int64_t seconds = 0;
    for (std::size_t field = 0; field < 3; ++field) {
        const std::size_t colon = text.find(':');
        const std::optional<std::int64_t> value =
            ClockDigits(text.substr(0, colon), field == 0 ? 0 : 2);
        if (!value || (field != 0 && *value >= 60)) return std::nullopt;
        seconds = seconds * 60 + *value;
        if (colon == std::string_view::npos)
            return field == 0 ? std::nullopt : std::optional(seconds);
        text.remove_prefix(colon + 1);
    }
    return std::nullopt; // a third colon
}

} // namespace

std::int32_t ReadNumber(std::string_view option, std::string_view text) {
    const std::optional<std::int32_t> value = NotNegative(text);
    if (!value)
        throw UsageError(Quoted(option, text) + " is not a whole number from 0 to 2147483647");
    return *value;
}

MinSec ReadTime(std::string_view option, std::string_view text) {
    std::optional<std::int64_t> seconds;
    if (text.find(':') == std::string_view::npos) {
        if (const auto plain = NotNegative(text)) seconds = *plain;
    } else {
        seconds = ClockSeconds(text);
    }
    if (!seconds || *seconds > kMax)
        throw UsageError(Quoted(option, text) + " is not a time as M:SS, H:MM:SS or seconds");
    return {static_cast<std::int32_t>(*seconds / 60), static_cast<std::int32_t>(*seconds % 60)};
}

Split ReadSplit(std::string_view option, std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        const auto saved = NotNegative(text.substr(0, slash));
        const auto recorded = NotNegative(text.substr(slash + 1));
        if (saved && recorded) return {*saved, *recorded};
    }
    throw UsageError(Quoted(option, text) + " is not a split as N/D (episodes saved/recorded)");
}

std::string TimeText(MinSec time) {
    return IntToStr(time.minutes) + (time.seconds < 10 ? ":0" : ":") + IntToStr(time.seconds);
}

std::string Printable(std::string_view text) {
    std::string shown;
    while (!text.empty()) {
        char32_t code = 0;
        const std::size_t length = Utf8Length(text, code);
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0); // C0, DEL, C1
        if (length != 0 && !control) {
            shown.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        // One byte at a time: each escape names a byte of the value.
        const auto byte = static_cast<unsigned char>(text.front());
        text.remove_prefix(1);
        if (byte == '\n' || byte == '\t' || byte == '\r') {
            shown += byte == '\n' ? "\\n" : byte == '\t' ? "\\t" : "\\r";
            continue;
        }
        constexpr char kHex[] = "0123456789abcdef";
        shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return shown;
}

} // namespace tavik
