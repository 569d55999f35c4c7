// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// Reads a whole field text as a 32-bit integer: leading ASCII blanks, then a
// decimal number with optional sign, or a hexadecimal one after "$", "x", "X",
// "0x" or "0X". Never fails: text that does not convert yields lo. A value
// below lo is raised to lo when hi >= lo; a value above hi is lowered to hi
// when hi > lo, so equal bounds act as a lower bound only.
std::int32_t StrToIntRange(std::string_view text, std::int32_t lo, std::int32_t hi);

// The conversion StrToIntRange starts with, for a caller that must tell a
// text that does not convert from one that does: nullopt for the former.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// The canonical text a number is written back as: "-" for negatives, no
// leading zeros, no blanks, no grouping.
std::string IntToStr(std::int64_t value);

} // namespace tavik
