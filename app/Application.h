#pragma once

class QApplication;

namespace tavik {

// Application-wide settings made once at start-up, before the window exists:
// title, style, icon and the timing of hints.
void SetUpApplication(QApplication& app);

// Start-up to exit: creates the window, shows it, runs the message loop and
// tells the help viewer at the end that it is no longer needed. Returns the
// process's exit code.
int RunTavik(QApplication& app);

} // namespace tavik
