// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc against the window: each row is run through the built command,
// as a child process, and through the in-memory window (typing the same
// inputs and clicking the command's button); both must give the same text.

#include "CalcProcess.h"
#include "core/Container.h"
#include "support/MemoryWindow.h"
#include "support/ToolSkip.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

#include <map>
#include <string>
#include <vector>

namespace tavik {
namespace {

const std::string kIntDivide = "ゼロによる除算.";
const std::string kFloatDivide = "0 による浮動小数点数除算.";
const std::string kInvalidOp = "不正な浮動小数点数演算命令.";

struct CalcCase {
    const char* name;
    const char* command;
    const char* audio;
    const char* video;   // size and time
    const char* size;    // rate and time
    const char* time;    // size and rate, as given to --time
    const char* minutes; // the same time as typed into the window
    const char* seconds;
    const char* saved; // the split, or nullptr for none given
    const char* recorded;
    bool estimate;
    std::string expected; // the result, or the error box's text
    int status;
    const char* calcRefuses = nullptr; // what tavik-calc fails with instead (status 1)
};

const std::string kNoRoomForVideo = "このファイルサイズには音声だけでも収まりません.";

// clang-format off
const CalcCase kCases[] = {
    {"size_startup",        "size", "192", "1150", nullptr, "30:00", "30", "0", nullptr, nullptr, false, "295", 0},
    {"size_split",          "size", "192", "1150", nullptr, "45:00", "45", "0", "3", "4", false, "332", 0},
    {"size_tie_to_even",    "size", "128", "0", nullptr, "160", "0", "160", nullptr, nullptr, false, "2", 0},
    {"size_hex_audio",      "size", "$C0", "1150", nullptr, "0:30:00", "30", "0", nullptr, nullptr, false, "295", 0},
    {"size_time_at_limit",  "size", "1", "0", nullptr, "35791394:07", "35791394", "7", nullptr, nullptr, false, "262144", 0},
    {"size_no_episodes",    "size", "192", "1150", nullptr, "30:00", "30", "0", "1", "0", false, kIntDivide, 1},
    {"rate_exact_fit",      "rate", "192", nullptr, "650", "30:00", "30", "0", nullptr, nullptr, false, "2768", 0},
    {"rate_estimate",       "rate", "192", nullptr, "650", "1800", "0", "1800", nullptr, nullptr, true, "2722", 0},
    {"rate_hours",          "rate", "192", nullptr, "4482", "1:30:00", "90", "0", nullptr, nullptr, false, "6608", 0},
    {"rate_minutes",        "rate", "192", nullptr, "4482", "90:00", "90", "0", nullptr, nullptr, false, "6608", 0},
    {"rate_seconds",        "rate", "192", nullptr, "4482", "5400", "0", "5400", nullptr, nullptr, false, "6608", 0},
    {"rate_split",          "rate", "128", nullptr, "700", "1:00:00", "60", "0", "2", "3", false, "2263", 0},
    {"rate_below_audio",    "rate", "192", nullptr, "1", "1:00:00", "60", "0", nullptr, nullptr, true, "-189", 0, kNoRoomForVideo.c_str()},
    {"rate_estimate_all_audio", "rate", "8072", nullptr, "1", "1", "0", "1", nullptr, nullptr, true, "0", 0},
    {"rate_exact_below_audio", "rate", "192", nullptr, "100", "2:00:00", "120", "0", nullptr, nullptr, false, "-78", 0, kNoRoomForVideo.c_str()},
    {"rate_no_time",        "rate", "192", nullptr, "650", "0:00", "0", "0", nullptr, nullptr, false, kFloatDivide, 1},
    {"rate_no_time_nor_size", "rate", "192", nullptr, "0", "0", "0", "0", nullptr, nullptr, false, kInvalidOp, 1},
    {"rate_no_episodes",    "rate", "192", nullptr, "0", "0", "0", "0", "1", "0", false, kIntDivide, 1},
    {"time_startup",        "time", "192", "1150", "650", nullptr, nullptr, nullptr, nullptr, nullptr, false, "65:09", 0},
    {"time_under_a_minute", "time", "192", "1150", "1", nullptr, nullptr, nullptr, nullptr, nullptr, false, "0:06", 0},
    {"time_no_rate",        "time", "0", "0", "650", nullptr, nullptr, nullptr, nullptr, nullptr, false, kFloatDivide, 1},
    {"time_no_rate_nor_size", "time", "0", "0", "0", nullptr, nullptr, nullptr, nullptr, nullptr, false, kInvalidOp, 1},
};
// clang-format on

std::vector<std::string> Arguments(const CalcCase& c) {
    std::vector<std::string> args{c.command};
    const auto add = [&](const char* option, const char* value) {
        if (value) args.insert(args.end(), {option, value});
    };
    add("--audio", c.audio);
    add("--video", c.video);
    add("--size", c.size);
    add("--time", c.time);
    if (c.saved) args.insert(args.end(), {"--split", std::string(c.saved) + "/" + c.recorded});
    if (c.estimate) args.push_back("--estimate");
    return args;
}

// What the window shows after the click: the result field's text (or the
// error box's), and its fields under the names --json gives them.
struct WindowView {
    std::string text;
    std::map<std::string, std::string> json;
};

// Types the row's inputs and clicks the command's button.
WindowView InWindow(const CalcCase& c) {
    MemoryWindow w;
    w.Show();
    w.NearRateChk.SetChecked(!c.estimate);
    const std::string command = c.command;
    if (c.size) w.SizeBox.Type(c.size);
    if (c.time) {
        w.MonthEdit.Type(c.minutes);
        w.SecEdit.Type(c.seconds);
    }
    if (c.saved) { // after the time, whose change resets the split
        w.PieceEdit.Type(c.saved);
        w.TotalEdit.Type(c.recorded);
    }
    w.AudioRateBox.Type(c.audio);
    if (c.video) w.VideoRateBox.Type(c.video);
    WindowView view;
    if (command == "size") {
        w.GetSizeBtn.Click();
        view.text = w.SizeBox.Text();
    } else if (command == "rate") {
        w.GetVideoBtn.Click();
        view.text = w.VideoRateBox.Text();
        view.json["exact"] = c.estimate ? "false" : "true";
    } else {
        w.GetTimeBtn.Click();
        const std::string s = w.SecEdit.Text();
        view.text = w.MonthEdit.Text() + (s.size() < 2 ? ":0" : ":") + s;
        view.json["time"] = view.text;
    }
    view.json["command"] = command;
    view.json["audio_kbps"] = w.AudioRateBox.Text();
    if (c.video || command == "rate") view.json["video_kbps"] = w.VideoRateBox.Text();
    if (c.size || command == "size") view.json["size_mb"] = w.SizeBox.Text();
    view.json["time_s"] =
        std::to_string(std::stoll(w.MonthEdit.Text()) * 60 + std::stoll(w.SecEdit.Text()));
    if (command != "time") {
        view.json["split_saved"] = w.PieceEdit.Text();
        view.json["split_recorded"] = w.TotalEdit.Text();
    }
    if (!w.errorBox.shown.empty()) view.text = w.errorBox.shown.back().text;
    return view;
}

std::string JsonText(const QJsonValue& value) {
    if (value.isBool()) return value.toBool() ? "true" : "false";
    if (value.isString()) return value.toString().toStdString();
    return value.isDouble() ? std::to_string(value.toInteger(-1)) : "(missing)";
}

TEST(CalcCommand, GivesTheWindowsResults) {
    for (const CalcCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const WindowView window = InWindow(c);
        EXPECT_EQ(window.text, c.expected);
        // The window shows a rate below zero; the command refuses it.
        const int status = c.calcRefuses ? 1 : c.status;
        const Outcome plain = RunCalc(Arguments(c));
        EXPECT_EQ(plain.status, status);
        EXPECT_EQ(status == 0 ? plain.out : plain.err,
                  (status == 0 ? "" : "tavik-calc: ") +
                      (c.calcRefuses ? c.calcRefuses : c.expected) + "\n");
        EXPECT_EQ(status == 0 ? plain.err : plain.out, "");
        if (status != 0) continue;

        // Every input, as the window normalised it, and the result.
        std::vector<std::string> args = Arguments(c);
        args.push_back("--json");
        const Outcome json = RunCalc(args);
        ASSERT_EQ(json.status, 0);
        const QJsonObject object =
            QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
        for (const auto& [key, text] : window.json)
            EXPECT_EQ(JsonText(object.value(QString::fromStdString(key))), text) << key;
    }
}

struct FitCase {
    const char* name;
    const char* command;
    const char* container;
    const char* fps;       // --fps, or nullptr
    std::int32_t milliFps; // what the command reads it as
};

// clang-format off
const FitCase kFitCases[] = {
    {"size_ts",              "size", "ts",   nullptr, kMaxMilliFps},
    {"size_m2ts_fps_exact",  "size", "m2ts", "24000/1000", 24000},
    {"rate_ps_fps_fraction", "rate", "ps",   "30000/1001", 29971},
    {"rate_mp4_fps_decimal", "rate", "mp4",  "29.97", 29970},
    {"rate_mkv_fps_beyond",  "rate", "mkv",  "23.9760001", 23977},
    {"time_ts_fps_most",     "time", "ts",   "60", 60000},
    {"time_ps_fps_zeros",    "time", "ps",   "59.940000", 59940},
};
// clang-format on

// With --container the results are the core's fitted sums, and --json adds
// the container's share of the file. The sums' values are ContainerTest's
// and the real muxes'; here the point is that each option reaches them.
TEST(CalcCommand, ContainerGivesTheFittedSums) {
    for (const FitCase& c : kFitCases) {
        SCOPED_TRACE(c.name);
        const std::string command = c.command;
        std::vector<std::string> args{command,     "--json",  "--container",
                                      c.container, "--audio", "192"};
        if (command != "rate") args.insert(args.end(), {"--video", "1150"});
        if (command != "size") args.insert(args.end(), {"--size", "4482"});
        if (command != "time") args.insert(args.end(), {"--time", "5400"});
        if (c.fps) args.insert(args.end(), {"--fps", c.fps});
        const QJsonObject object =
            QJsonDocument::fromJson(QByteArray::fromStdString(RunCalc(args).out)).object();
        const Container k = *ContainerOfKey(c.container);
        const std::int32_t video =
            command == "rate" ? FittedVideoRate(k, 4482, 5400, 192, c.milliFps) : 1150;
        const std::int32_t seconds =
            command == "time" ? FittedTime(k, 192, 1150, 4482, c.milliFps) : 5400;
        EXPECT_EQ(object["size_mb"].toInteger(),
                  command == "size" ? FittedSizeMB(k, 192, 1150, 5400, c.milliFps) : 4482);
        EXPECT_EQ(object["video_kbps"].toInteger(), video);
        EXPECT_EQ(object["time_s"].toInteger(), seconds);
        EXPECT_EQ(object["container"].toString(), QLatin1String(c.container));
        EXPECT_EQ(object["container_bytes"].toInteger(-1),
                  ContainerShare(k, 192, video, seconds, c.milliFps));
        EXPECT_EQ(qRound(object["fps"].toDouble(0) * 1000), c.fps ? c.milliFps : 0);
    }
    // Not even the audio fits: an error, as the window's rate below zero is.
    const Outcome tooSmall =
        RunCalc({"rate", "--container", "ts", "--size", "1", "--time", "3600", "--audio", "192"});
    EXPECT_EQ(tooSmall.status, 1);
    EXPECT_EQ(tooSmall.err, "tavik-calc: " + kNoRoomForVideo + "\n");
}

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
