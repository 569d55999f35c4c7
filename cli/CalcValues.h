// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The option values tavik-calc computes from, read strictly: unlike the
// window's fields, which quietly read bad text as 0, a value that does not
// convert or is out of range is a UsageError naming its option.

#include "core/Container.h"
#include "core/Formulas.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavik {

// A help or usage text in the language help is read in (UsageLanguage()):
// the source is the Japanese, marked in the context "CalcCommand", with %1,
// %2... standing for the values, which are put in as they are.
std::string UsageText(const char* source, std::initializer_list<std::string_view> values = {});

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A rate or a size: a number as the window's fields read it (decimal, or
// hexadecimal after "$", "x" or "0x"), from 0 to 2147483647.
std::int32_t ReadNumber(std::string_view option, std::string_view text);

// A time as M:SS, H:MM:SS or plain seconds (a number as ReadNumber reads
// it), as the minutes and seconds fields would hold it; in every form at most
// 2147483647 seconds, the longest playing time the window computes with.
MinSec ReadTime(std::string_view option, std::string_view text);

struct Split {
    std::int32_t saved;
    std::int32_t recorded;
};

// "N/D": N episodes saved of D recorded, each part read as ReadNumber does.
// D = 0 is left to the playing-time formula, which fails as the window does.
Split ReadSplit(std::string_view option, std::string_view text);

// A container's name as ContainerKey gives it, other than "none": the option
// names a container or is left out.
Container ReadContainer(std::string_view option, std::string_view text);

// A frame rate, whole ("25"), decimal ("29.97") or a fraction ("30000/1001"),
// in thousandths of a frame per second rounded up, so the share is never
// taken for a lower rate than the video's; above 0 and at most kMaxMilliFps.
std::int32_t ReadMilliFps(std::string_view option, std::string_view text);

// A transport stream's service (programme) ID: a number as ReadNumber reads
// it, from 1 to 65535.
std::uint16_t ReadService(std::string_view option, std::string_view text);

// M:SS, the seconds in two digits, so the text reads back through ReadTime.
std::string TimeText(MinSec time);

} // namespace tavik
