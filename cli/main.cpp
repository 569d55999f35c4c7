// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc: the window's three calculations for scripts, and check. This
// file reads the command line and reports; the commands themselves are
// CalcCommand.h, their options and help CalcOptions.h.
// Exit status 2: a bad option or value, or check could not read a recording;
// 1: the calculation failed, or check's recordings do not fit.
//
// argv is bytes: it is read as Latin-1, which maps every byte to one
// character and back, so a recording's name reaches the probe as the bytes
// the shell gave, UTF-8 or not.

#include "CalcCommand.h"
#include "CalcOptions.h"
#include "CalcValues.h"

#include "console/Console.h"
#include "core/CalcError.h"
#include "i18n/CalcMessages.h"
#include "i18n/Language.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <optional>
#include <string>

namespace tavik {
namespace {

constexpr char kProgram[] = "tavik-calc";

int Fail(int status, const std::string& message) {
    return tavik::Fail(kProgram, status, message);
}

int Print(const std::string& text) {
    return tavik::Print(kProgram, text);
}

int Run(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    const auto echoed = [](const QString& text) {
        return Printable(text.toLatin1().toStdString());
    };
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) return Fail(2, echoed(parser.errorText()));
    if (parser.isSet("help")) return Print(HelpText());
    if (parser.isSet("version")) return Print(VersionLine(kProgram));

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Fail(2, UsageText(QT_TRANSLATE_NOOP(
                           "CalcCommand", "コマンドがありません: size、rate、time、check の"
                                          "どれかを指定してください (--help を参照)")));
    const CommandRow* row = FindCommand(positional.first());
    if (!row)
        return Fail(2, UsageText(QT_TRANSLATE_NOOP("CalcCommand", "不明なコマンド '%1'"),
                                 {echoed(positional.first())}));
    // After the command come recordings, for the commands that read them.
    if (positional.size() > 1 && !Takes(*row, "file"))
        return Fail(2, UsageText(QT_TRANSLATE_NOOP("CalcCommand", "余分な引数 '%1'"),
                                 {echoed(positional.at(1))}));

    // The probe runs ffprobe as a child process, which needs an application
    // object; plain calculations start faster without one.
    std::optional<QCoreApplication> application;
    if (parser.isSet(QStringLiteral("file")) || positional.size() > 1) {
        application.emplace(argc, argv);
        // The probe's messages are the window's, translated as it translates them.
        InstallTranslations(MessageLanguage());
    }

    Printed printed;
    try {
        printed = RunCommand(parser, *row);
    } catch (const UsageError& e) {
        return Fail(2, e.what());
    } catch (const CalcError& e) {
        // The window's message, in its language; looked up only on failure,
        // so a plain sum loads no translation.
        return Fail(
            1, ErrorBoxText(Translate(MessageLanguage(), kCalcErrorContext, CalcMessageSource(e))
                                .toStdString()));
    } catch (const CommandError& e) {
        return Fail(e.status(), ErrorBoxText(e.what()));
    }
    const int written = Print(printed.text);
    return written != 0 ? written : printed.status;
}

} // namespace
} // namespace tavik

int main(int argc, char** argv) {
    return tavik::Run(argc, argv);
}
