// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The calculator's failures by kind, for the window's error box and
// tavik-calc alike: the core states them in Japanese without Qt, so their
// translations are kept here, once.

#include "core/CalcError.h"

#include <QString>

namespace tavik {

// The translation context of the calculator's failures.
inline constexpr char kCalcErrorContext[] = "CalcError";

// The failure's source text: the core's Japanese.
const char* CalcMessageSource(const CalcError& error);

} // namespace tavik
