// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc against the window: each row is run through the built command,
// as a child process, and through the in-memory window (typing the same
// inputs and clicking the command's button); both must give the same text.

#include "CalcProcess.h"
#include "core/Container.h"
#include "support/MemoryWindow.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

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
    const char* container = nullptr;   // both as --container and the settings' keys: the
    const char* fps = nullptr;         // results are then the window's, whatever they are
};

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
    add("--container", c.container);
    add("--fps", c.fps);
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
    w.ContainerBox.Select(c.container ? c.container : "none");
    w.FpsBox.Select(c.fps ? c.fps : "upto60");
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

// The table, and its rows of every kind of result and failure again for
// every container at every frame rate the settings page offers.
std::vector<CalcCase> Cases() {
    std::vector<CalcCase> cases(std::begin(kCases), std::end(kCases));
    for (const ContainerRow& k : kContainers)
        for (const FrameRateRow& f : kFrameRates)
            for (const int row : {1, 5, 11, 15, 18, 20})
                if (k.container != Container::None) {
                    cases.push_back(kCases[row]);
                    cases.back().container = k.key.data(); // the keys are literals
                    cases.back().fps = &f == kFrameRates ? nullptr : f.key.data();
                }
    return cases;
}

TEST(CalcCommand, GivesTheWindowsResults) {
    for (CalcCase c : Cases()) {
        SCOPED_TRACE(std::string(c.name) + " " + (c.container ? c.container : "") + " " +
                     (c.fps ? c.fps : ""));
        const WindowView window = InWindow(c);
        if (c.container) {
            c.status = window.text.back() == '.' ? 1 : 0; // the error box's text ends so
            c.expected = window.text;
        }
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
        // The window's frame rate is the one tavik-calc reads from its key.
        if (c.fps) {
            EXPECT_EQ(qRound(object["fps"].toDouble() * 1000), MilliFpsOfKey(c.fps));
        }
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

} // namespace
} // namespace tavik
