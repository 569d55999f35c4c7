// SPDX-License-Identifier: GPL-3.0-or-later
#include "Platform.h"

#include <QDir>
#include <QLibraryInfo>
#include <QString>
#include <QStringList>

#include <cstdlib>

namespace tavik {

const char kNativeNote[] =
    "tavik: no X display; running natively, where staying on top is left to the compositor";
const char kNoDisplayLine[] = "tavik: no display to open the window on";

namespace {

// Where the only display is a Wayland one and Qt's Wayland platform is not
// installed.
const char kNoWaylandPlatformLine[] = "tavik: no X display, and Qt's Wayland platform is missing; "
                                      "install the Debian package qt6-wayland";

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

namespace {

// Whether one of Qt's Wayland platform plugins is installed where Qt looks:
// the folder a variable names, each plugin folder of QT_PLUGIN_PATH and Qt's
// own.
bool WaylandPlatformInstalled() {
    QStringList folders;
    if (const std::string direct = Variable("QT_QPA_PLATFORM_PLUGIN_PATH"); !direct.empty())
        folders << QString::fromStdString(direct);
    for (const QString& path : QString::fromStdString(Variable("QT_PLUGIN_PATH"))
                                   .split(QDir::listSeparator(), Qt::SkipEmptyParts))
        folders << path + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    for (const QString& folder : folders)
        if (!QDir(folder).entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty())
            return true;
    return false;
}

} // namespace

const char* RefusalLine(const PlatformChoice& choice) {
    using Kind = PlatformChoice::Kind;
    if (choice.kind == Kind::NoDisplay) return kNoDisplayLine;
    if (choice.kind == Kind::Native && !WaylandPlatformInstalled()) return kNoWaylandPlatformLine;
    return nullptr;
}

} // namespace tavik
