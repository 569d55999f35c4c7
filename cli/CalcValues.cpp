// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcValues.h"

#include "console/Console.h"
#include "core/IntField.h"
#include "i18n/Language.h"

#include <QCoreApplication>

#include <charconv>
#include <limits>
#include <optional>

namespace tavik {

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::string Quoted(std::string_view option, std::string_view text) {
    return std::string(option) + ": '" + Printable(text) + "'";
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

// Whole digits of a frame rate's part: ASCII digits only, up to 2^32 - 1.
std::optional<std::uint64_t> FpsDigits(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// ceil(rate * 1000) for "N/D", "W.F" or "W"; exact, since an inexact rate
// rounded up could land one thousandth above the limit.
std::optional<std::uint64_t> CeilMilli(std::string_view text) {
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        const auto n = FpsDigits(text.substr(0, slash));
        const auto d = FpsDigits(text.substr(slash + 1));
        if (!n || !d || *d == 0) return std::nullopt;
        return (*n * 1000 + *d - 1) / *d;
    }
    const std::size_t dot = text.find('.');
    const auto whole = FpsDigits(text.substr(0, dot));
    if (!whole) return std::nullopt;
    std::uint64_t milli = *whole * 1000;
    if (dot == std::string_view::npos) return milli;
    const std::string_view fraction = text.substr(dot + 1);
    if (fraction.empty()) return std::nullopt;
    std::uint64_t scale = 100;
    bool beyond = false; // a digit other than 0 after the thousandths
    for (const char c : fraction) {
        if (c < '0' || c > '9') return std::nullopt;
        milli += static_cast<std::uint64_t>(c - '0') * scale;
        beyond = beyond || (scale == 0 && c != '0');
        scale /= 10;
    }
    return milli + (beyond ? 1 : 0);
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

std::string UsageText(const char* source, std::initializer_list<std::string_view> values) {
    // Asked once, and only when a text is shown: a plain sum never asks.
    static const Language language = UsageLanguage();
    const std::string text = Translate(language, "CalcCommand", source).toStdString();
    // In one pass, so a value that holds "%2" is not replaced in turn.
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : 0;
        if (text[i] == '%' && i + 1 < text.size() && n < values.size()) {
            filled += values.begin()[n];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::int32_t ReadNumber(std::string_view option, std::string_view text) {
    const std::optional<std::int32_t> value = NotNegative(text);
    if (!value)
        throw UsageError(UsageText(
            QT_TRANSLATE_NOOP("CalcCommand", "%1 は 0 から 2147483647 までの整数ではありません"),
            {Quoted(option, text)}));
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
        throw UsageError(UsageText(
            QT_TRANSLATE_NOOP("CalcCommand", "%1 は M:SS、H:MM:SS または秒数の時間ではありません"),
            {Quoted(option, text)}));
    return {static_cast<std::int32_t>(*seconds / 60), static_cast<std::int32_t>(*seconds % 60)};
}

Split ReadSplit(std::string_view option, std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        const auto saved = NotNegative(text.substr(0, slash));
        const auto recorded = NotNegative(text.substr(slash + 1));
        if (saved && recorded) return {*saved, *recorded};
    }
    throw UsageError(UsageText(
        QT_TRANSLATE_NOOP("CalcCommand", "%1 は N/D (残す話数/録画した話数) の分割ではありません"),
        {Quoted(option, text)}));
}

Container ReadContainer(std::string_view option, std::string_view text) {
    const std::optional<Container> c = ContainerOfKey(text);
    if (c && *c != Container::None) return *c;
    std::string names;
    for (const ContainerRow& row : kContainers)
        if (row.container != Container::None)
            names += std::string(names.empty() ? "" : ", ") + std::string(row.key);
    throw UsageError(UsageText(QT_TRANSLATE_NOOP("CalcCommand", "%1 はコンテナではありません: %2"),
                               {Quoted(option, text), names}));
}

std::int32_t ReadMilliFps(std::string_view option, std::string_view text) {
    const std::optional<std::uint64_t> milli = CeilMilli(text);
    if (!milli || *milli == 0 || *milli > static_cast<std::uint64_t>(kMaxMilliFps))
        throw UsageError(UsageText(QT_TRANSLATE_NOOP("CalcCommand",
                                                     "%1 は 0 より大きく 60 以下のフレームレート "
                                                     "(25、29.97、30000/1001 など) ではありません"),
                                   {Quoted(option, text)}));
    return static_cast<std::int32_t>(*milli);
}

std::uint16_t ReadService(std::string_view option, std::string_view text) {
    const std::optional<std::int32_t> value = NotNegative(text);
    if (!value || *value < 1 || *value > 65535)
        throw UsageError(UsageText(
            QT_TRANSLATE_NOOP("CalcCommand", "%1 は 1 から 65535 までのサービス ID ではありません"),
            {Quoted(option, text)}));
    return static_cast<std::uint16_t>(*value);
}

std::string TimeText(MinSec time) {
    return IntToStr(time.minutes) + (time.seconds < 10 ? ":0" : ":") + IntToStr(time.seconds);
}

} // namespace tavik
