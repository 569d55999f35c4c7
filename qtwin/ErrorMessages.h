// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <string>

namespace tavik {

// The message the error box shows for a failure, in the installed language:
// the calculator's failures are translated by their kind, since the core
// states them in Japanese without Qt; any other failure's text was
// translated where it was made.
std::string ErrorMessage(const std::exception& failure);

} // namespace tavik
