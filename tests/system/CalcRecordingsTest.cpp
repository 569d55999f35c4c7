// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc over recordings: their time and audio rate as a drop onto the
// window reads them, a stop while ffprobe runs, and check's weighing.

#include "CalcProcess.h"
#include "media/RecordingProbe.h"
#include "support/MemoryWindow.h"
#include "support/TestMedia.h"
#include "support/ToolSkip.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace tavik {
namespace {

// How the recordings are given: --file before each, after one --file, after
// the options (as a shell glob gives them), or after "--".
enum class Given { EachFile, OneFile, Trailing, AfterDashes };

struct RecordingCase {
    const char* name;
    const char* command;
    std::vector<const char*> files;
    const char* audio; // --audio, or nullptr to take the recordings'
    int status;
    Given given = Given::EachFile;
};

// clang-format off
const RecordingCase kRecordingCases[] = {
    {"rate_audio_from_file", "rate", {"rec.ts"}, nullptr, 0},
    {"rate_audio_given",     "rate", {"rec.ts"}, "64", 0},
    {"size_times_summed",    "size", {"rec.ts", "rec.mkv"}, nullptr, 0},
    {"size_silent_given",    "size", {"silent.mp4", "rec.ts"}, "100", 0},
    {"size_silent_no_audio", "size", {"silent.mp4"}, nullptr, 2},
    {"rate_missing_file",    "rate", {"missing.ts"}, nullptr, 1},
    {"rate_shift_jis_name",  "rate", {kShiftJisName}, nullptr, 0},
    {"rate_raw_aac",         "rate", {"rec.aac"}, "128", 1},
    {"rate_joined",          "rate", {"joined.ts"}, nullptr, 0},
    {"rate_restarted_clock", "rate", {"restarted.ts", "hour-back.ts"}, nullptr, 0},
    {"size_new_pids_beside", "size", {"new-pids.ts", "two.ts"}, nullptr, 0},
    {"rate_glob",            "rate", {"rec.ts", "rec.mkv", "silent.mp4"}, "64", 0, Given::Trailing},
    {"size_after_one_file",  "size", {"rec.mkv", "rec.ts"}, nullptr, 0, Given::OneFile},
    {"rate_after_dashes",    "rate", {"-h", "rec.mkv"}, nullptr, 0, Given::AfterDashes},
};
// clang-format on

// --file gives what a drop of the same recordings gives in the window.
TEST(CalcCommand, RecordingsGiveWhatTheirDropGives) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    int argc = 1;
    char name[] = "tavik_calc_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv); // the probe's child process needs it
    for (const RecordingCase& c : kRecordingCases) {
        SCOPED_TRACE(c.name);
        const std::string command = c.command;
        std::vector<std::string> args{command, command == "size" ? "--video" : "--size", "650"};
        if (c.audio) args.insert(args.end(), {"--audio", c.audio});
        if (c.given == Given::OneFile) args.push_back("--file");
        if (c.given == Given::AfterDashes) args.push_back("--");
        QList<QByteArray> paths;
        for (const char* file : c.files) {
            paths << media.File(file);
            if (c.given == Given::EachFile) args.push_back("--file");
            args.push_back(paths.back().toStdString());
        }

        MemoryWindow w;
        w.Show();
        (command == "size" ? w.VideoRateBox : w.SizeBox).Type("650");
        const ProbeResult probed = ProbeRecordings(paths);
        ProbedRecordings dropped{probed.error.toStdString(), 0, {}};
        if (probed.summary) dropped = {"", probed.summary->playSec, probed.summary->audioKbps};
        w.delivery.Deliver([&] { w.frm.RecordingsProbed(dropped, w.frm.MarkDrop()); });
        if (c.audio) w.AudioRateBox.Type(c.audio);
        (command == "size" ? w.GetSizeBtn : w.GetVideoBtn).Click();

        const Outcome outcome = RunCalc(args);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        if (c.status == 0) {
            EXPECT_EQ(outcome.out, (command == "size" ? w.SizeBox : w.VideoRateBox).Text() + "\n");
        } else if (c.status == 1) {
            ASSERT_FALSE(w.errorBox.shown.empty());
            EXPECT_EQ(outcome.err, "tavik-calc: " + w.errorBox.shown.front().text + "\n");
        } else {
            EXPECT_NE(outcome.err.find("--audio"), std::string::npos) << outcome.err;
        }
    }
}

template <typename Condition> bool WaitFor(Condition condition) {
    for (int i = 0; i < 2000 && !condition(); ++i)
        usleep(10000);
    return condition();
}

// Killing the command while ffprobe runs ends ffprobe too: on SIGTERM the
// command kills and reaps it before dying; on SIGKILL the kernel kills it
// (PR_SET_PDEATHSIG) and it comes to this test, its nearest subreaper.
TEST(CalcCommand, KilledWhileProbingLeavesNoFfprobe) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const std::string pidFile = media.Scratch("ffprobe.pid").toStdString();
    QDir().mkpath(media.Scratch("bin"));
    media.StandIn("bin/ffprobe", QStringLiteral("echo $$ > '%1.part'; mv '%1.part' '%1'\n"
                                                "exec sleep 600")
                                     .arg(QString::fromStdString(pidFile)));
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        std::remove(pidFile.c_str());
        // env execs the command in its own process: calc.pid is the command's.
        const Started calc =
            Start({"/usr/bin/env",
                   "PATH=" + media.Scratch("bin").toStdString() + ":" + std::getenv("PATH"),
                   TAVIK_CALC_PATH, "rate", "--size", "650", media.File("rec.ts").toStdString()});
        ASSERT_TRUE(WaitFor([&] { return std::ifstream(pidFile).good(); }));
        pid_t probe = 0;
        std::ifstream(pidFile) >> probe;
        ASSERT_GT(probe, 0);
        kill(calc.pid, signal);
        EXPECT_EQ(Finish(calc).signal, signal);
        int status = 0;
        if (signal == SIGTERM) {
            EXPECT_EQ(waitpid(probe, &status, WNOHANG), -1); // never ours: already reaped
        } else {
            bool reaped = false;
            WaitFor([&] { return reaped = reaped || waitpid(probe, &status, WNOHANG) == probe; });
            EXPECT_TRUE(reaped);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        }
        if (kill(probe, SIGKILL) == 0) waitpid(probe, &status, 0);
    }
}

struct CheckCase {
    const char* name;
    // rec.ts (2.52 s, read as 2.612 s: its last audio PES taken as long as the one
    // before) padded with zeros to a length (0: none made), and its bytes over that
    std::vector<std::pair<qint64, qint64>> files;
    const char* size;
    int status;
    const char* verdict; // the last line; nullptr: the file cannot be read
};

// clang-format off
const CheckCase kCheckCases[] = {
    {"fits_to_the_byte",   {{1048576, 3211}}, "1", 0, "fits: 0.00 MB spare"},
    {"one_byte_over",      {{1048577, 3211}}, "1", 1, "does not fit: 0.01 MB over"},
    {"spare_rounded_down", {{1048576, 3211}, {1028653, 3150}}, "3", 0, "fits: 1.01 MB spare"},
    {"no_room",            {{1048576, 3211}}, "0", 1, "does not fit: 1.00 MB over"},
    {"missing",            {{0, 0}}, "1", 2, nullptr}, // as cmp and diff: could not read
};
// clang-format on

TEST(CalcCommand, CheckWeighsRecordingsAgainstTheSize) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    for (const CheckCase& c : kCheckCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"check", "--size", c.size};
        std::string lines;
        QJsonArray files;
        qint64 bytes = 0;
        for (const auto& [length, kbps] : c.files) {
            const QString path =
                media.Scratch(QStringLiteral("%1-%2.ts").arg(c.name).arg(files.size()));
            if (length) QFile::copy(media.Path(QStringLiteral("rec.ts")), path);
            if (length) QFile(path).resize(length);
            args.insert(args.end(), {"--file", QFile::encodeName(path).toStdString()});
            lines += args.back() + "\t" + std::to_string(length) + " bytes\t2.612 s\t" +
                     std::to_string(kbps) + " kbit/s\n";
            files.append(QJsonObject{
                {"name", path}, {"bytes", length}, {"seconds", 2.612245}, {"kbps", kbps}});
            bytes += length;
        }
        const Outcome plain = RunCalc(args);
        EXPECT_EQ(plain.status, c.status);
        const std::string unreadable = NotAReadableFile(args.back().c_str()).toStdString();
        EXPECT_EQ(plain.err, c.verdict ? "" : "tavik-calc: " + unreadable + "\n"); // ends in 。
        if (!c.verdict) continue;
        EXPECT_EQ(plain.out, lines + c.verdict + "\n");
        args.push_back("--json");
        const Outcome json = RunCalc(args);
        EXPECT_EQ(json.status, c.status);
        QJsonObject out = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
        QJsonArray read = out["files"].toArray();
        for (QJsonValueRef file : read) { // what was read of the stream, beside the weighing
            QJsonObject o = file.toObject();
            EXPECT_EQ(o.take("stretches"), 1);
            for (const char* key :
                 {"audio", "audio_kbps", "programme", "programmes", "stretch_seconds"})
                EXPECT_FALSE(o.take(key).isUndefined()) << key;
            file = o;
        }
        out["files"] = read;
        EXPECT_EQ(out, (QJsonObject{{"command", "check"},
                                    {"size_mb", std::stoi(c.size)},
                                    {"bytes", bytes},
                                    {"fits", c.status == 0},
                                    {"spare_bytes", std::stoll(c.size) * 1048576 - bytes},
                                    {"files", files}}));
    }
}

} // namespace
} // namespace tavik
