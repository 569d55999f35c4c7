// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tavik-calc's commands, run in-process: each reads the options its button
// reads in the window, computes with the same core functions and gives the
// bare result (or, with --json, every input and the result) with its exit
// status. With --container the sums are those of a file as ffmpeg muxes it
// (core/Container.h) instead. check weighs recordings' bytes against a size.
//
// Nothing here prints; a failure is thrown, for the caller to report:
//   UsageError (CalcValues.h)   a bad option or value: status 2;
//   CalcError (core/CalcError.h) the calculation failed: status 1;
//   CommandError                 a recording could not be read: status 1, or 2 for check.

#include <QString>

#include <stdexcept>
#include <string>
#include <string_view>

class QCommandLineParser;

namespace tavik {

struct CommandRow;

// The command of that name (size, rate, time or check), or nullptr.
const CommandRow* FindCommand(const QString& name);

// Whether the command reads the option (named without its dashes).
bool Takes(const CommandRow& row, std::string_view option);

// What the command prints, and its exit status when the text is written.
struct Printed {
    std::string text;
    int status = 0;
};

// A recording that could not be probed, or that was gone when its length was
// read: reported as the error box would, with status 1 (check: 2, as cmp
// and diff give when they cannot read).
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& what, int status = 1)
        : std::runtime_error(what), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// Runs the command with the options the parser read (declared by AddOptions,
// CalcOptions.h). Probing recordings needs a QCoreApplication; a plain sum
// needs none.
Printed RunCommand(const QCommandLineParser& parser, const CommandRow& row);

} // namespace tavik
