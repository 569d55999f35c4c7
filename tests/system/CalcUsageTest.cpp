// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc's answers to what it cannot compute with: bad options and
// values, help and version, the language rule, and a result it cannot write.

#include "CalcProcess.h"
#include "support/ToolSkip.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace tavik {
namespace {

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* named; // what the one line must name
};

const UsageCase kUsageCases[] = {
    {"not_a_number", {"size", "--audio", "abc", "--video", "1", "--time", "1"}, "--audio"},
    {"negative", {"size", "--audio", "-5", "--video", "1", "--time", "1"}, "--audio"},
    {"above_a_number", {"size", "--audio", "1", "--video", "2147483648", "--time", "1"}, "--video"},
    {"fraction", {"rate", "--size", "1.5", "--time", "1", "--audio", "1"}, "--size"},
    {"trailing_blank", {"rate", "--size", "1 ", "--time", "1", "--audio", "1"}, "--size"},
    {"time_seconds_60", {"rate", "--size", "1", "--time", "1:60", "--audio", "1"}, "--time"},
    {"time_one_digit", {"rate", "--size", "1", "--time", "1:5", "--audio", "1"}, "--time"},
    {"time_minutes_60", {"rate", "--size", "1", "--time", "1:60:00", "--audio", "1"}, "--time"},
    {"time_four_fields", {"rate", "--size", "1", "--time", "1:00:00:00", "--audio", "1"}, "--time"},
    {"time_no_minutes", {"rate", "--size", "1", "--time", ":30", "--audio", "1"}, "--time"},
    {"time_signed", {"rate", "--size", "1", "--time", "+1:30", "--audio", "1"}, "--time"},
    {"time_word", {"rate", "--size", "1", "--time", "soon", "--audio", "1"}, "--time"},
    {"time_minutes_overflow",
     {"rate", "--size", "1", "--time", "2147483648:00", "--audio", "1"},
     "--time"},
    {"time_hours_overflow",
     {"rate", "--size", "1", "--time", "35791395:00:00", "--audio", "1"},
     "--time"},
    // One second over 2147483647, in each clock form.
    {"time_clock_seconds_overflow",
     {"rate", "--size", "1", "--time", "35791394:08", "--audio", "1"},
     "--time"},
    {"time_clock_hours_seconds_overflow",
     {"rate", "--size", "1", "--time", "596523:14:08", "--audio", "1"},
     "--time"},
    // Control characters and bytes that are not UTF-8 are escaped; "é" and
    // the blank are not.
    {"escaped_value",
     {"rate", "--size", "\xc3\xa9 \n\x1b[2J\xc2\x9b\xff", "--time", "1", "--audio", "1"},
     "'\xc3\xa9 \\n\\x1b[2J\\xc2\\x9b\\xff'"},
    {"escaped_command", {"\x1b]0;x\x07"}, "'\\x1b]0;x\\x07'"},
    {"time_takes_no_recordings",
     {"time", "--audio", "1", "--video", "1", "--size", "1", "a.ts"},
     "a.ts"},
    {"split_no_slash",
     {"size", "--audio", "1", "--video", "1", "--time", "1", "--split", "3"},
     "--split"},
    {"split_bad_part",
     {"size", "--audio", "1", "--video", "1", "--time", "1", "--split", "1/x"},
     "--split"},
    {"missing_option", {"size", "--audio", "1", "--video", "1"}, "--time"},
    {"option_not_taken",
     {"time", "--audio", "1", "--video", "1", "--size", "1", "--split", "1/1"},
     "--split"},
    {"video_not_taken",
     {"rate", "--size", "1", "--time", "1", "--audio", "1", "--video", "1"},
     "--video"},
    {"file_and_time",
     {"size", "--audio", "1", "--video", "1", "--time", "1", "--file", "a.ts"},
     "--time"},
    {"file_not_taken",
     {"time", "--audio", "1", "--video", "1", "--size", "1", "--file", "a.ts"},
     "--file"},
    {"unknown_option", {"size", "--frob"}, "frob"},
    {"missing_value", {"size", "--audio"}, "--audio"},
    {"unknown_command", {"volume", "--audio", "1"}, "volume"},
    {"no_command", {}, "command"},
    {"container_none",
     {"time", "--container", "none"},
     "--container: 'none' is not a container: ts, m2ts, ps, mp4, mkv"},
    {"estimate_with_container", {"rate", "--estimate", "--container", "ts"}, "--estimate"},
    {"fps_without_container", {"time", "--fps", "25"}, "--fps"},
    {"fps_zero_fraction", {"time", "--container", "ts", "--fps", "0/1001"}, "--fps"},
    {"fps_over_60", {"time", "--container", "ts", "--fps", "60.0001"}, "--fps"},
    {"fps_no_denominator", {"time", "--container", "ts", "--fps", "30000/0"}, "--fps"},
    {"fps_no_decimals", {"time", "--container", "ts", "--fps", "25."}, "--fps"},
    {"fps_comma", {"time", "--container", "ts", "--fps", "29,97"}, "--fps"},
    {"check_no_recordings", {"check", "--size", "1"}, "recordings"},
};

TEST(CalcCommand, BadValuesExit2WithOneLineNamingTheOption) {
    for (const UsageCase& c : kUsageCases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunCalc(c.args);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
    }
}

TEST(CalcCommand, HelpAndVersionGoToStdout) {
    const Outcome help = RunCalc({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tavik-calc size ", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--estimate"), std::string::npos);
    EXPECT_NE(help.out.find("--file=REC"), std::string::npos); // the option rows, not the usage
    const Outcome version = RunCalc({"size", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tavik-calc (Tavik) " TAVIK_VERSION "\n");
}

struct LanguageCase {
    const char* name;
    Locale locale;
    std::vector<std::string> args;
    int status;
    std::string starts; // how stdout (status 0) or stderr begins
};

const Locale kJapanese{"LANG=ja_JP.UTF-8"};
const Locale kEnglish{"LANG=en_US.UTF-8"};
const Locale kJapaneseFirst{"LANGUAGE=ja:en", "LANG=en_US.UTF-8"};
const std::vector<std::string> kNoRoom{"rate",   "--container", "ts",     "--audio", "192",
                                       "--size", "1",           "--time", "3600"};
const std::vector<std::string> kUnreadable{"rate",    "--size", "650",
                                           "--audio", "1",      "/nonexistent/a.ts"};

// The calculation's and the probe's messages are the window's, Japanese
// unless English is preferred; help and usage are English unless Japanese is.
// clang-format off
const LanguageCase kLanguageCases[] = {
    {"calc_error_C",        kC,       kNoRoom, 1, "tavik-calc: " + kNoRoomForVideo + "\n"},
    {"calc_error_en",       kEnglish, kNoRoom, 1, "tavik-calc: This file size cannot hold even the audio.\n"},
    {"calc_error_ja_en",    kJapaneseFirst, kNoRoom, 1, "tavik-calc: " + kNoRoomForVideo + "\n"},
    {"recording_en",        kEnglish, kUnreadable, 1, "tavik-calc: \"a.ts\" is not a readable file.\n"},
    {"help_ja",             kJapanese, {"--help"}, 0, "使い方: tavik-calc size "},
    {"help_C",              kC,        {"--help"}, 0, "Usage: tavik-calc size "},
    {"help_ja_en",          kJapaneseFirst, {"--help"}, 0, "使い方: tavik-calc size "},
    {"usage_ja",            kJapanese, {"volume"}, 2, "tavik-calc: 不明なコマンド 'volume'\n"},
};
// clang-format on

TEST(CalcCommand, FollowsTheLanguageRule) {
    for (const LanguageCase& c : kLanguageCases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunCalc(c.args, nullptr, c.locale);
        EXPECT_EQ(outcome.status, c.status);
        const std::string& shown = c.status == 0 ? outcome.out : outcome.err;
        EXPECT_EQ(shown.rfind(c.starts, 0), 0u) << shown;
    }
}

// A result that cannot be written is no success: a script would read nothing.
TEST(CalcCommand, UnwrittenResultExits1) {
    if (access("/dev/full", W_OK) != 0) TAVIK_SKIP_WITHOUT("/dev/full", "missing");
    const Outcome full =
        RunCalc({"size", "--audio", "192", "--video", "1150", "--time", "30:00"}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err.rfind("tavik-calc: write error", 0), 0u) << full.err;
}

// A script's call must not load the widgets: the command stays a Qt Core program.
TEST(CalcCommand, LinksNoGuiLibrary) {
    if (access("/usr/bin/ldd", X_OK) != 0)
        TAVIK_SKIP_WITHOUT("ldd", "missing (Debian package libc-bin)");
    const std::string libraries = Spawn({"/usr/bin/ldd", TAVIK_CALC_PATH}).out;
    EXPECT_NE(libraries.find("libQt6Core"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6Widgets"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6Gui"), std::string::npos) << libraries;
}

} // namespace
} // namespace tavik
