// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tavik-calc's options and the help that lists them. Every option is declared
// to the parser whatever the command; which command takes which is the
// command table's business.

#include <string>
#include <vector>

class QCommandLineParser;

namespace tavik {

struct OptionRow {
    const char* name;
    const char* valueName; // nullptr for a flag
    const char* help;      // marked in "CalcCommand", translated as help is shown
};

// Every option, in the order --help lists them.
const std::vector<OptionRow>& OptionTable();

// Declares every option, --help and --version too, without their help: the
// parser's own help text is never shown.
void AddOptions(QCommandLineParser& parser);

// The --help text, in the language help is read in.
std::string HelpText();

} // namespace tavik
