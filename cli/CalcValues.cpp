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
    return std::string(option) + ": '" + std::string(text) + "'";
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
    if (!seconds || *seconds / 60 > kMax)
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

} // namespace tavik
