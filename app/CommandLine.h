// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's own command line: --help and --version, answered before any
// display is opened. Everything else on it is Qt's (-platform, -style, ...);
// anything Qt does not take either is refused.

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// args: the command line without the program name. Prints the help, the
// version or the one-line error and returns the exit status (0; 2 for a bad
// option or argument; 1 when the answer cannot be written), or returns
// nothing when the window is to open.
std::optional<int> AnswerCommandLine(const std::vector<std::string>& args);

} // namespace tavik
