// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What tavik and tavik-calc say on a terminal: their answers on standard
// output, their complaints on standard error, and the user's text echoed in
// them made harmless. Neither program prints any other way.

#include <string>
#include <string_view>

namespace tavik {

// Text as a message echoes it: control characters, and bytes that are not
// UTF-8, as \n, \t, \r or \xNN, so an echoed value cannot move the cursor or
// start an escape sequence on the terminal.
std::string Printable(std::string_view text);

// Writes the answer to standard output. Returns 0, or 1 when it could not be
// written, which is then told on standard error.
int Print(const char* program, const std::string& text);

// "<program>: <message>" on standard error; returns `status` for the caller
// to exit with.
int Fail(const char* program, int status, std::string_view message);

// The first line of --version: "<program> (Tavik) <version>".
std::string VersionLine(const char* program);

} // namespace tavik
