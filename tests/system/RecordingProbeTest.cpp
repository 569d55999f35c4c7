// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/RecordingProbe.h"
#include "support/TestMedia.h"
#include "support/ToolSkip.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include <signal.h>

namespace tavik {
namespace {

// The report ffprobe would give, for the stand-ins.
QString Report(const char* json) {
    return QStringLiteral("cat <<'EOF'\n%1\nEOF").arg(QString::fromUtf8(json));
}

// What a probe must give: the summary, or a message containing error.
void Check(const ProbeResult& r, std::int32_t playSec, std::optional<std::int32_t> audioKbps,
           const char* error) {
    if (error) {
        EXPECT_FALSE(r.summary);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(error))) << r.error.toStdString();
        EXPECT_TRUE(r.error.endsWith(QStringLiteral("。"))); // the box adds no "."
        return;
    }
    ASSERT_TRUE(r.summary) << r.error.toStdString();
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(r.summary->playSec, playSec);
    EXPECT_EQ(r.summary->audioKbps, audioKbps);
}

struct ReportCase {
    const char* name;
    std::vector<const char*> reports; // ffprobe's JSON, one per file
    std::int32_t playSec;
    std::optional<std::int32_t> audioKbps;
    const char* error; // a part of the message; nullptr: success
    const char* warnings = "";
    const char* path = "/media/rec.ts";
};

const ReportCase kReportCases[] = {
    {"hours_147", {R"({"format": {"duration": "529200.000000"}})"}, 0, {}, "24 時間を超えています"},
    {"just_24_hours", {R"({"format": {"duration": "86400.000000"}})"}, 86400, {}, nullptr},
    {"wrapped_container_video_wins",
     {R"({"streams": [{"codec_type": "video", "duration": "1800.000001"},
                      {"codec_type": "audio", "bit_rate": "192000"},
                      {"codec_type": "audio", "bit_rate": "64001"}],
          "format": {"duration": "95443.717678"}})"},
     1801,
     257,
     nullptr},
    {"cover_picture_is_no_video",
     {R"({"streams": [{"codec_type": "video", "duration": "0.040000",
                       "disposition": {"attached_pic": 1}},
                      {"codec_type": "audio", "bit_rate": "128000"}],
          "format": {"duration": "180.5"}})"},
     181,
     128,
     nullptr},
    {"audio_stream_without_rate",
     {R"({"streams": [{"codec_type": "audio", "bit_rate": "192000"},
                      {"codec_type": "audio", "bit_rate": "N/A"}],
          "format": {"duration": "60.000000"}})"},
     60,
     {},
     nullptr},
    {"decimals_beyond_microseconds_round_up",
     {R"({"format": {"duration": "59.0000001"}})"},
     60,
     {},
     nullptr},
    {"zero_duration", {R"({"format": {"duration": "0.000000"}})"}, 0, {}, "再生時間がわかりません"},
    {"no_duration", {R"({"streams": [], "format": {}})"}, 0, {}, "再生時間がわかりません"},
    {"duration_not_a_string", {R"({"format": {"duration": 3.5}})"}, 0, {}, "出力を読み取れません"},
    {"duration_with_sign", {R"({"format": {"duration": "-3.5"}})"}, 0, {}, "出力を読み取れません"},
    {"streams_not_a_list", {R"({"streams": {}, "format": {}})"}, 0, {}, "出力を読み取れません"},
    {"size_not_a_number",
     {R"({"format": {"duration": "1.0", "size": "1e6"}})"},
     0,
     {},
     "出力を読み取れません"},
    {"estimated_from_the_bit_rate",
     {R"({"format": {"duration": "52.000000"}})"},
     0,
     {},
     "「rec.ts」の再生時間はビットレートから推定した値",
     "[aac @ 0x5581] Estimating duration from bitrate, this may be inaccurate\n"},
    // 24000 bytes at 192 kbit/s hold 1 s: twice that passes, more is a jump.
    {"twice_what_the_size_holds",
     {R"({"streams": [{"codec_type": "audio", "bit_rate": "192000"}],
          "format": {"duration": "2.000000", "size": "24000"}})"},
     2,
     192,
     nullptr},
    {"over_twice_what_the_size_holds",
     {R"({"streams": [{"codec_type": "video", "duration": "50009.960000"},
                      {"codec_type": "audio", "bit_rate": "192000"}],
          "format": {"duration": "50009.970911", "size": "827012"}})"},
     0,
     {},
     "「rec.ts」の再生時間 13:53:30 は、ファイルの大きさとビットレートから見込める長さ 0:00:34 の "
     "2 "
     "倍を超えています"},
    // 125000 bytes at 808 + 192 kbit/s hold 1 s; at the audio rate alone 5.2 s.
    {"every_stated_rate_counts",
     {R"({"streams": [{"codec_type": "video", "bit_rate": "808000", "duration": "3.0"},
                      {"codec_type": "audio", "bit_rate": "192000"}],
          "format": {"size": "125000"}})"},
     0,
     {},
     "見込める長さ 0:00:01 の 2 倍"},
    {"undecodable_name_shown_as_question_marks",
     {R"({"format": {}})"},
     0,
     {},
     "「?e?X?g?.ts」の再生時間がわかりません",
     "",
     "/media/\x83\x65\x83X\x83g\n.ts"},
};

// The pure part: reports read, checked and summed as the probe does, with no
// process.
TEST(ProbeReport, ReadsChecksAndSums) {
    for (const ReportCase& c : kReportCases) {
        SCOPED_TRACE(c.name);
        std::vector<FileFacts> facts;
        std::optional<ProbeResult> failed;
        for (const char* json : c.reports) {
            const FileOutcome outcome = ReadReport(c.path, json, c.warnings);
            if (const auto* error = std::get_if<QString>(&outcome)) {
                failed = ProbeResult{std::nullopt, *error};
                break;
            }
            facts.push_back(std::get<FileFacts>(outcome));
        }
        Check(failed ? *failed : Summarise(facts), c.playSec, c.audioKbps, c.error);
    }
}

struct ProbeCase {
    const char* name;
    std::vector<const char*> files;
    std::optional<QString> standIn; // shell body; none: the real ffprobe
    std::int32_t playSec;
    std::optional<std::int32_t> audioKbps;
    const char* error; // a part of the message; nullptr: success
    int limitMs = 5000;
};

const ProbeCase kCases[] = {
    {"transport_stream", {"rec.ts"}, {}, 3, 192, nullptr},
    {"matroska_container_duration", {"rec.mkv"}, {}, 3, 128, nullptr},
    {"mp4_without_audio", {"silent.mp4"}, {}, 5, {}, nullptr},
    // 2.52 + 4.2 = 6.72 s: the sum is rounded up once, not each file.
    {"sum_of_times_without_audio", {"rec.ts", "silent.mp4"}, {}, 7, {}, nullptr},
    {"largest_audio_rate", {"rec.mkv", "rec.ts"}, {}, 6, 192, nullptr},
    {"name_like_an_option", {"-h"}, {}, 3, 192, nullptr},
    {"name_like_a_protocol", {"http:x"}, {}, 3, 192, nullptr},
    {"name_with_blank", {"two words.ts"}, {}, 3, 192, nullptr},
    {"name_with_newline", {"new\nline.ts"}, {}, 3, 192, nullptr},
    {"name_in_shift_jis", {kShiftJisName}, {}, 3, 192, nullptr},
    {"raw_aac_estimate", {"rec.aac"}, {}, 0, {}, "「rec.aac」の再生時間はビットレートから推定"},
    // 2 × 2.52 s, 50000 s apart; each stretch counts its last audio PES as
    // long as the one before.
    {"joined_recordings", {"joined.ts"}, {}, 6, 192, nullptr},
    {"truncated_file", {"truncated.mp4"}, {}, 0, {}, "「truncated.mp4」は壊れているか"},
    {"not_media", {"notes.txt"}, {}, 0, {}, "「notes.txt」は壊れているか"},
    {"folder", {"folder"}, {}, 0, {}, "「folder」は読み取れるファイルではありません"},
    {"fifo", {"fifo"}, {}, 0, {}, "「fifo」は読み取れるファイルではありません"},
    {"missing_file", {"gone.ts"}, {}, 0, {}, "「gone.ts」は読み取れるファイルではありません"},
    {"later_file_fails", {"rec.ts", "notes.txt"}, {}, 0, {}, "「notes.txt」"},
    // Side by side, rec.ts fails first (notes.txt waits for its mark); the
    // earlier file's failure still wins.
    {"first_failure_in_order",
     {"notes.txt", "rec.ts"},
     QStringLiteral("mark=\"${TMPDIR:-/tmp}/tavik-order-$PPID\"\n"
                    "case \"$*\" in *notes.txt)\n"
                    "  while [ ! -e \"$mark\" ]; do sleep 0.05; done; rm -f \"$mark\"; exit 1;;\n"
                    "esac\necho 'no json'; touch \"$mark\""),
     0,
     {},
     "「notes.txt」は壊れているか"},
    // Once notes.txt has failed, the hanging probe of rec.ts cannot matter.
    {"later_files_are_killed",
     {"notes.txt", "rec.ts"},
     QStringLiteral("case \"$*\" in *notes.txt) exit 1;; esac\nexec sleep 600"),
     0,
     {},
     "「notes.txt」は壊れているか",
     100000},
    {"no_ffprobe", {"rec.ts"}, QString(), 0, {}, "Debian パッケージ ffmpeg をインストール"},
    {"hang_is_killed",
     {"rec.ts"},
     QStringLiteral("exec sleep 600"),
     0,
     {},
     "0.3 秒以内に終わらない",
     300},
    {"crash", {"rec.ts"}, QStringLiteral("kill -SEGV $$"), 0, {}, "ffprobe が異常終了"},
    {"garbage", {"rec.ts"}, QStringLiteral("echo 'no json'"), 0, {}, "出力を読み取れません"},
    {"endless_output", {"rec.ts"}, QStringLiteral("exec yes"), 0, {}, "出力を読み取れません"},
    {"error_exit", {"rec.ts"}, QStringLiteral("echo '{}'; exit 1"), 0, {}, "壊れているか"},
};

void PrintTo(const ProbeCase& c, std::ostream* os) {
    *os << c.name;
}

QList<QByteArray> Paths(const std::vector<const char*>& files) {
    QList<QByteArray> paths;
    for (const char* f : files)
        paths << TestMedia::Get().File(f);
    return paths;
}

class RecordingProbeTest : public testing::TestWithParam<ProbeCase> {
protected:
    void SetUp() override {
        if (!TestMedia::Get().Ready())
            TAVIK_SKIP_WITHOUT("ffmpeg", TestMedia::Get().Why().toStdString());
    }

    static ProbeOptions Options(const ProbeCase& c) {
        ProbeOptions options;
        options.timeLimitMs = c.limitMs;
        options.parallel = 2; // the rows of two files run them side by side
        if (c.standIn)
            options.program = c.standIn->isEmpty()
                                  ? QStringLiteral("/nonexistent/ffprobe")
                                  : TestMedia::Get().StandIn(QString::fromUtf8(c.name), *c.standIn);
        return options;
    }

    static void Check(const ProbeCase& c, const ProbeResult& r) {
        tavik::Check(r, c.playSec, c.audioKbps, c.error);
    }
};

TEST_P(RecordingProbeTest, BlockingProbe) {
    Check(GetParam(), ProbeRecordings(Paths(GetParam().files), Options(GetParam())));
}

TEST_P(RecordingProbeTest, BackgroundProbe) {
    RecordingProbe probe(Options(GetParam()));
    std::optional<ProbeResult> result;
    QEventLoop loop;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit); // a probe that is never killed
    ASSERT_TRUE(probe.Start(Paths(GetParam().files), [&](const ProbeResult& r) {
        EXPECT_FALSE(probe.Busy());
        result = r;
        loop.quit();
    }));
    EXPECT_TRUE(probe.Busy());
    EXPECT_FALSE(probe.Start(Paths(GetParam().files), [](const ProbeResult&) {}));
    loop.exec();
    ASSERT_TRUE(result);
    Check(GetParam(), *result);
}

INSTANTIATE_TEST_SUITE_P(Probe, RecordingProbeTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Two probes that each wait for the other: they end only when side by side.
TEST(RecordingProbePool, ProbesSideBySide) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    if (QThread::idealThreadCount() < 2) GTEST_SKIP() << "one core: one probe at a time";
    QTemporaryDir met;
    ProbeOptions options;
    options.program = media.StandIn(
        "side-by-side", QStringLiteral("touch '%1/'$$\n"
                                       "while [ $(ls '%1' | wc -l) -lt 2 ]; do sleep 0.05; done\n")
                                .arg(met.path()) +
                            Report(R"({"format": {"duration": "1.5"}})"));
    options.timeLimitMs = 20000;
    Check(ProbeRecordings(Paths({"rec.mkv", "silent.mp4"}), options), 3, {}, nullptr);
}

// The name reaches ffprobe as one argument: file: and the absolute path, or,
// for a name that is not UTF-8, the descriptor the probe opened it with.
TEST(RecordingProbeArguments, PathIsOneFileUrlArgument) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    const QString log = media.Scratch("arguments.log");
    ProbeOptions options;
    options.program =
        media.StandIn("arguments", QStringLiteral("printf '%s\\0' \"$@\" > '%1'\n"
                                                  "cmp -s \"${10#file:}\" '%2' || exit 1\n")
                                           .arg(log, media.Path("rec.ts")) +
                                       Report(R"({"format": {"duration": "1.0"}})"));
    for (const char* name : {"-h", "new\nline.ts", kShiftJisName}) {
        SCOPED_TRACE(name);
        const QByteArray path = media.File(name);
        ASSERT_TRUE(ProbeRecordings({path}, options).summary);
        QFile file(log);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> arguments = file.readAll().split('\0');
        arguments.removeLast();
        ASSERT_EQ(arguments.size(), 10);
        const QByteArray url = arguments.takeLast();
        EXPECT_EQ(arguments,
                  (QList<QByteArray>{"-v", "warning", "-protocol_whitelist", "file", "-show_format",
                                     "-show_streams", "-of", "json", "-i"}));
        if (name == kShiftJisName)
            EXPECT_TRUE(url.startsWith("file:/proc/self/fd/")) << url.toStdString();
        else
            EXPECT_EQ(url, "file:" + path);
    }
}

// A probe destroyed while its child hangs kills the child and does not wait
// for it (the test's time-out catches a wait for the 600 s).
TEST(RecordingProbeLifetime, DestroyedWhileRunningKillsTheChild) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    const QString pidFile = media.Scratch(QStringLiteral("lifetime.pid"));
    ProbeOptions options;
    options.program = media.StandIn(
        "lifetime",
        QStringLiteral("echo $$ > '%1.new'; mv '%1.new' '%1'\nexec sleep 600").arg(pidFile));
    options.timeLimitMs = 600000;
    pid_t child = 0;
    {
        RecordingProbe probe(options);
        bool reported = false;
        ASSERT_TRUE(
            probe.Start({media.File("rec.ts")}, [&](const ProbeResult&) { reported = true; }));
        QFile pid(pidFile);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pid.exists(); }, 30000)) << "no child started";
        ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
        child = pid.readAll().trimmed().toInt();
        ASSERT_GT(child, 0);
        EXPECT_TRUE(probe.Busy());
        EXPECT_FALSE(reported);
    }
    EXPECT_NE(::kill(child, 0), 0) << "the child outlived its probe";
}

} // namespace
} // namespace tavik

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
