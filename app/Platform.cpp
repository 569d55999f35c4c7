// SPDX-License-Identifier: GPL-3.0-or-later
#include "Platform.h"

#include <cstdlib>

namespace tavik {

const char kNativeNote[] =
    "tavik: no X display; running natively, where staying on top is left to the compositor";
const char kNoDisplayLine[] = "tavik: no display to open the window on";

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Qt reads "-platform NAME" and "--platform NAME"; a trailing one without a
// name is ignored by Qt, so it is no choice either.
bool NamesOption(const std::vector<std::string>& args, const char* option) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == std::string("-") + option || arg == std::string("--") + option) return true;
    }
    return false;
}

} // namespace

PlatformEnvironment ReadPlatformEnvironment() {
    return {Variable("QT_QPA_PLATFORM"), Variable("DISPLAY"), Variable("WAYLAND_DISPLAY")};
}

PlatformChoice ChoosePlatform(const std::vector<std::string>& args,
                              const PlatformEnvironment& environment) {
    using Kind = PlatformChoice::Kind;
    if (NamesOption(args, "platform") || !environment.qpaPlatform.empty())
        return {Kind::UserChoice, ""};
    // Qt's X platform takes its display from -display as well as from DISPLAY.
    if (!environment.display.empty() || NamesOption(args, "display")) return {Kind::X11, "xcb"};
    if (!environment.waylandDisplay.empty()) return {Kind::Native, ""};
    return {Kind::NoDisplay, ""};
}

const char* StartUpNote(const PlatformChoice& choice, const std::string& started) {
    return choice.kind == PlatformChoice::Kind::Native && started != "xcb" ? kNativeNote : nullptr;
}

} // namespace tavik
