// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A test that needs another program (ffmpeg, Xvfb, a window manager, ...)
// skips without it, naming the program. Under TAVIK_CI, which CI sets, it
// fails instead: a machine that lost a tool must not pass while checking
// nothing. Only what the test set-up does not install may still skip there,
// and by name (the window managers xfwm4 and KWin).

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace tavik {

// TAVIK_CI set to anything but empty or "0".
inline bool ToolsRequired() {
    const char* ci = std::getenv("TAVIK_CI");
    return ci && *ci && std::strcmp(ci, "0") != 0;
}

} // namespace tavik

// Ends the test (or its SetUp) where tool is missing: a skip, or under
// TAVIK_CI a failure. why is streamed after the tool's name.
#define TAVIK_SKIP_WITHOUT(tool, why)                                                              \
    do {                                                                                           \
        if (::tavik::ToolsRequired()) FAIL() << "needs " << (tool) << " (TAVIK_CI): " << why;      \
        GTEST_SKIP() << "needs " << (tool) << ": " << why;                                         \
    } while (false)
