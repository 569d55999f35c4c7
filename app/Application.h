// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>

class QApplication;

namespace tavik {

class TavikWindow;

// Application-wide settings made once at start-up, before the window exists:
// title, style, icon and the timing of hints.
void SetUpApplication(QApplication& app);

// Tells on the stream what of the window's text no installed font draws and
// which Debian package to install; the window opens all the same.
void WarnOfMissingText(const TavikWindow& window, std::ostream& out);

// Start-up to exit: creates the window, shows it, runs the message loop and
// tells the help viewer at the end that it is no longer needed. Returns the
// process's exit code.
int RunTavik(QApplication& app);

} // namespace tavik
