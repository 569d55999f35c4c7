// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which Qt platform the program starts on. Placement and staying on top work
// only on X, so where an X display exists (also in a Wayland session, through
// Xwayland) the program asks for X; a platform the user chose always wins.

#include <string>
#include <vector>

namespace tavik {

// The variables the choice depends on; empty means unset.
struct PlatformEnvironment {
    std::string qpaPlatform;    // QT_QPA_PLATFORM
    std::string display;        // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
};

PlatformEnvironment ReadPlatformEnvironment();

struct PlatformChoice {
    enum class Kind {
        UserChoice, // -platform or QT_QPA_PLATFORM: left to Qt
        X11,        // an X display exists: "-platform xcb" is added
        Native,     // no X display, but Wayland: Qt's own choice
        NoDisplay,  // nothing to show a window on
    };
    Kind kind;
    std::string platform; // the platform to add to the arguments, or empty
};

// args: the command line without the program name.
PlatformChoice ChoosePlatform(const std::vector<std::string>& args,
                              const PlatformEnvironment& environment);

// The line printed once on stderr where the window runs natively.
extern const char kNativeNote[];

// The note to print once the platform `started` runs, or nullptr: where the
// program runs natively (not on X), staying on top is up to the compositor.
const char* StartUpNote(const PlatformChoice& choice, const std::string& started);
// The one line printed on stderr when there is no display.
extern const char kNoDisplayLine[];

// The line to print before exiting with status 1, where the window has no
// display to open on; null where the start goes on. Qt's plugin folders are
// looked at only where the program would run natively.
const char* RefusalLine(const PlatformChoice& choice);

} // namespace tavik
