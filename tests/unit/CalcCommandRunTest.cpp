// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc's commands run in-process: every field --json gives, and which
// failure each fault throws (its status follows from the kind, in main). The
// texts and statuses of whole runs are the system suite's (CalcCommandTest).

#include "cli/CalcCommand.h"
#include "cli/CalcOptions.h"
#include "cli/CalcValues.h"
#include "core/CalcError.h"

#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QCoreApplication>

#include <string>
#include <vector>

namespace tavik {
namespace {

enum class Thrown { Nothing, Usage, Calc, Unreadable };

struct Outcome {
    Thrown thrown = Thrown::Nothing;
    std::string text; // what is printed, or the failure's message
    int status = -1;  // the printed output's; none where the command threw
};

Outcome RunInProcess(const std::vector<const char*>& args) {
    QStringList arguments{QStringLiteral("tavik-calc")};
    for (const char* arg : args)
        arguments << QString::fromLatin1(arg);
    QCommandLineParser parser;
    AddOptions(parser);
    EXPECT_TRUE(parser.parse(arguments));
    const CommandRow* row = FindCommand(parser.positionalArguments().value(0));
    if (!row) return {Thrown::Usage, "no command"};
    try {
        const Printed printed = RunCommand(parser, *row);
        return {Thrown::Nothing, printed.text, printed.status};
    } catch (const UsageError& e) {
        return {Thrown::Usage, e.what()};
    } catch (const CalcError& e) {
        return {Thrown::Calc, e.what()};
    } catch (const CommandError& e) {
        return {Thrown::Unreadable, e.what()};
    }
}

struct RunCase {
    const char* name;
    std::vector<const char*> args;
    Thrown thrown;
    std::string text; // printed exactly (status 0), or a part of the failure's message
};

// clang-format off
const RunCase kCases[] = {
    {"size_split_json", {"size", "--json", "--audio", "192", "--video", "1150", "--time", "45:00", "--split", "3/4"}, Thrown::Nothing,
     R"({"audio_kbps":192,"command":"size","play_s":2025,"size_mb":332,"split_recorded":4,"split_saved":3,"time":"45:00","time_s":2700,"video_kbps":1150})" "\n"},
    {"rate_mp4_fps_json", {"rate", "--json", "--container", "mp4", "--fps", "29.97", "--size", "4482", "--time", "5400", "--audio", "192"}, Thrown::Nothing,
     R"({"audio_kbps":192,"command":"rate","container":"mp4","container_bytes":10368208,"exact":true,"fps":29.97,"play_s":5400,"size_mb":4482,"split_recorded":1,"split_saved":1,"time":"90:00","time_s":5400,"video_kbps":6755})" "\n"},
    {"time_ts",            {"time", "--container", "ts", "--audio", "192", "--video", "1150", "--size", "4482"}, Thrown::Nothing, "423:59\n"},
    {"check_refuses_audio", {"check", "--size", "1", "--audio", "1", "a.ts"}, Thrown::Usage, "--audio"},
    {"no_episodes",        {"size", "--audio", "192", "--video", "1150", "--time", "30:00", "--split", "1/0"}, Thrown::Calc, "ゼロによる除算"},
    {"check_unreadable",   {"check", "--size", "1", "--file", "/nonexistent/b.ts"}, Thrown::Unreadable, "b.ts"},
};
// clang-format on

TEST(CalcCommandRun, GivesEachCommandsOutputOrFailure) {
    int argc = 1;
    char name[] = "tavik_calc_command_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv); // the probe's child process needs it
    for (const RunCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunInProcess(c.args);
        EXPECT_EQ(outcome.thrown, c.thrown) << outcome.text;
        if (c.thrown == Thrown::Nothing) {
            EXPECT_EQ(outcome.text, c.text);
            EXPECT_EQ(outcome.status, 0);
        } else {
            EXPECT_NE(outcome.text.find(c.text), std::string::npos) << outcome.text;
        }
    }
}

// Every option's help starts in one column, two blanks after the longest
// option; the text after them depends on the language.
TEST(CalcCommandRun, HelpLinesUpTheOptions) {
    const std::string help = HelpText();
    for (const std::string left : {"\n      --json            ", "\n      --container=NAME  "}) {
        const std::size_t at = help.find(left);
        ASSERT_NE(at, std::string::npos) << left;
        EXPECT_NE(help.at(at + left.size()), ' ') << left;
    }
}

} // namespace
} // namespace tavik
