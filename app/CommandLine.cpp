// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "TavikConfig.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavik {

namespace {

const char kHelp[] = R"(Usage: tavik [QT-OPTION]...
  or:  tavik --help | --version
Open the Tavik window: from the audio rate, the video rate, the file size and
the playing time of an MPEG recording it works out the missing one (the file
size, the video rate that fills a size, or the recordable time). Recordings
dropped onto the window fill in their playing time. tavik-calc does the same
calculations for scripts.

  -h, --help       display this help and exit
  -v, --version    output version information and exit

Qt's own options apply as well, among them -platform NAME, -display DISPLAY,
-style STYLE and -reverse.

Exit status: 0 when the window is closed, 1 when there is no display to open
it on, 2 on a bad option or argument.
)";

const char kLicence[] = R"(Copyright (C) 2026 Tavik 開発班
License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
)";

// The options Qt itself reads (QGuiApplication, QApplication, the X11
// platform), with one dash or two, so they pass through to it.
const char* const kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowtitle",
    "title",
    "qwindowicon",
    "icon",
    "session",
    "display",
    "name",
    "visual",
    "style",
    "stylesheet",
    "qmljsdebugger",
};
const char* const kQtFlags[] = {"reverse", "widgetcount", "testability",
                                "sync",    "nograb",      "dograb"};

// A message echoes the user's text: control characters would reach the
// terminal as commands.
std::string Printable(const QString& text) {
    std::string line = text.toStdString();
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    return line;
}

int Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tavik: write error: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int Refuse(const QString& message) {
    std::fprintf(stderr, "tavik: %s\n", Printable(message).c_str());
    return 2;
}

} // namespace

std::optional<int> AnswerCommandLine(const std::vector<std::string>& args) {
    // The usual start, from a launcher, skips the parser's set-up.
    if (args.empty()) return std::nullopt;
    QCommandLineParser parser;
    // Qt's options are words after a single dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kQtOptionsWithValue)
        parser.addOption(
            QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("value")));
    for (const char* name : kQtFlags)
        parser.addOption(QCommandLineOption(QLatin1String(name)));

    QStringList arguments{QStringLiteral("tavik")};
    for (const std::string& arg : args)
        arguments << QString::fromLocal8Bit(arg.data(), static_cast<qsizetype>(arg.size()));
    if (!parser.parse(arguments)) return Refuse(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return Refuse(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) return Print(kHelp);
    if (parser.isSet(version))
        return Print(std::string("tavik (Tavik) ") + TAVIK_VERSION + "\n" + kLicence);
    return std::nullopt;
}

} // namespace tavik
