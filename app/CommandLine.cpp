// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "console/Console.h"
#include "i18n/Language.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace tavik {

namespace {

// The designed language is the source text; English, the default for help
// on a terminal, is its translation.
const char kHelp[] = QT_TRANSLATE_NOOP(
    "CommandLine",
    "使い方: tavik [Qt のオプション]...\n"
    "  または: tavik --help | --version\n"
    "Tavik のウィンドウを開きます。MPEG の録画の音声ビットレート、映像ビットレート、\n"
    "ファイルサイズ、再生時間から、足りない一つ (ファイルサイズ、そのサイズを満たす\n"
    "映像ビットレート、または録画可能時間) を求めます。ウィンドウに録画ファイルを\n"
    "ドロップすると、その再生時間が入ります。tavik-calc はスクリプト向けに同じ計算を\n"
    "します。\n"
    "\n"
    "  -h, --help       このヘルプを表示して終了します\n"
    "  -v, --version    バージョン情報を表示して終了します\n"
    "\n"
    "Qt 自身のオプションも使えます。-platform NAME、-display DISPLAY、\n"
    "-style STYLE、-reverse などです。\n"
    "\n"
    "終了ステータス: ウィンドウを閉じたとき 0、ウィンドウを開くディスプレイがないとき 1、\n"
    "オプションや引数が正しくないとき 2。\n");

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

constexpr char kProgram[] = "tavik";

int Refuse(const QString& message) {
    return Fail(kProgram, 2, Printable(message.toStdString()));
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
    if (parser.isSet(help))
        return Print(kProgram, Translate(UsageLanguage(), "CommandLine", kHelp).toStdString());
    if (parser.isSet(version)) return Print(kProgram, VersionLine(kProgram) + kLicence);
    return std::nullopt;
}

} // namespace tavik
