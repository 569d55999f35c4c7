// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/RecordingProbe.h"
#include "TestMedia.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tavik {
namespace {

// The report ffprobe would give, for the stand-ins.
QString Report(const char* json) {
    return QStringLiteral("cat <<'EOF'\n%1\nEOF").arg(QString::fromUtf8(json));
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
    {"truncated_file", {"truncated.mp4"}, {}, 0, {}, "「truncated.mp4」は壊れているか"},
    {"not_media", {"notes.txt"}, {}, 0, {}, "「notes.txt」は壊れているか"},
    {"folder", {"folder"}, {}, 0, {}, "「folder」は読み取れるファイルではありません"},
    {"missing_file", {"gone.ts"}, {}, 0, {}, "「gone.ts」は読み取れるファイルではありません"},
    {"later_file_fails", {"rec.ts", "notes.txt"}, {}, 0, {}, "「notes.txt」"},
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
    {"hours_147",
     {"rec.ts"},
     Report(R"({"format": {"duration": "529200.000000"}})"),
     0,
     {},
     "24 時間を超えています"},
    {"just_24_hours",
     {"rec.ts"},
     Report(R"({"format": {"duration": "86400.000000"}})"),
     86400,
     {},
     nullptr},
    {"wrapped_container_video_wins",
     {"rec.ts"},
     Report(R"({"streams": [{"codec_type": "video", "duration": "1800.000001"},
                            {"codec_type": "audio", "bit_rate": "192000"},
                            {"codec_type": "audio", "bit_rate": "64001"}],
                "format": {"duration": "95443.717678"}})"),
     1801,
     257,
     nullptr},
    {"cover_picture_is_no_video",
     {"rec.ts"},
     Report(R"({"streams": [{"codec_type": "video", "duration": "0.040000",
                             "disposition": {"attached_pic": 1}},
                            {"codec_type": "audio", "bit_rate": "128000"}],
                "format": {"duration": "180.5"}})"),
     181,
     128,
     nullptr},
    {"audio_stream_without_rate",
     {"rec.ts"},
     Report(R"({"streams": [{"codec_type": "audio", "bit_rate": "192000"},
                            {"codec_type": "audio", "bit_rate": "N/A"}],
                "format": {"duration": "60.000000"}})"),
     60,
     {},
     nullptr},
    {"decimals_beyond_microseconds_round_up",
     {"rec.ts"},
     Report(R"({"format": {"duration": "59.0000001"}})"),
     60,
     {},
     nullptr},
    {"zero_duration",
     {"rec.ts"},
     Report(R"({"format": {"duration": "0.000000"}})"),
     0,
     {},
     "再生時間がわかりません"},
    {"no_duration",
     {"rec.ts"},
     Report(R"({"streams": [], "format": {}})"),
     0,
     {},
     "再生時間がわかりません"},
    {"duration_not_a_string",
     {"rec.ts"},
     Report(R"({"format": {"duration": 3.5}})"),
     0,
     {},
     "出力を読み取れません"},
    {"duration_with_sign",
     {"rec.ts"},
     Report(R"({"format": {"duration": "-3.5"}})"),
     0,
     {},
     "出力を読み取れません"},
    {"streams_not_a_list",
     {"rec.ts"},
     Report(R"({"streams": {}, "format": {}})"),
     0,
     {},
     "出力を読み取れません"},
};

void PrintTo(const ProbeCase& c, std::ostream* os) {
    *os << c.name;
}

class RecordingProbeTest : public testing::TestWithParam<ProbeCase> {
protected:
    void SetUp() override {
        if (!TestMedia::Get().Ready()) GTEST_SKIP() << TestMedia::Get().Why().toStdString();
    }

    static QStringList Paths(const ProbeCase& c) {
        QStringList paths;
        for (const char* f : c.files)
            paths << TestMedia::Get().Path(QString::fromUtf8(f));
        return paths;
    }

    static ProbeOptions Options(const ProbeCase& c) {
        ProbeOptions options;
        options.timeLimitMs = c.limitMs;
        if (c.standIn)
            options.program = c.standIn->isEmpty()
                                  ? QStringLiteral("/nonexistent/ffprobe")
                                  : TestMedia::Get().StandIn(QString::fromUtf8(c.name), *c.standIn);
        return options;
    }

    static void Check(const ProbeCase& c, const ProbeResult& r) {
        if (c.error) {
            EXPECT_FALSE(r.summary);
            EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.error))) << r.error.toStdString();
            EXPECT_FALSE(r.error.endsWith(QLatin1Char('.'))); // the error box adds it
            return;
        }
        ASSERT_TRUE(r.summary) << r.error.toStdString();
        EXPECT_TRUE(r.error.isEmpty());
        EXPECT_EQ(r.summary->playSec, c.playSec);
        EXPECT_EQ(r.summary->audioKbps, c.audioKbps);
    }
};

TEST_P(RecordingProbeTest, BlockingProbe) {
    Check(GetParam(), ProbeRecordings(Paths(GetParam()), Options(GetParam())));
}

TEST_P(RecordingProbeTest, BackgroundProbe) {
    RecordingProbe probe(Options(GetParam()));
    std::optional<ProbeResult> result;
    QEventLoop loop;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit); // a probe that is never killed
    ASSERT_TRUE(probe.Start(Paths(GetParam()), [&](const ProbeResult& r) {
        EXPECT_FALSE(probe.Busy());
        result = r;
        loop.quit();
    }));
    EXPECT_TRUE(probe.Busy());
    EXPECT_FALSE(probe.Start(Paths(GetParam()), [](const ProbeResult&) {}));
    loop.exec();
    ASSERT_TRUE(result);
    Check(GetParam(), *result);
}

INSTANTIATE_TEST_SUITE_P(Probe, RecordingProbeTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The name reaches ffprobe as one argument: file: and the absolute path.
TEST(RecordingProbeArguments, PathIsOneFileUrlArgument) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) GTEST_SKIP() << media.Why().toStdString();
    const QString log = media.Scratch("arguments.log");
    ProbeOptions options;
    options.program =
        media.StandIn("arguments", QStringLiteral("printf '%s\\0' \"$@\" > '%1'\n").arg(log) +
                                       Report(R"({"format": {"duration": "1.0"}})"));
    for (const char* name : {"-h", "new\nline.ts"}) {
        const QString path = media.Path(QString::fromUtf8(name));
        ASSERT_TRUE(ProbeRecordings({path}, options).summary);
        QFile file(log);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> arguments = file.readAll().split('\0');
        arguments.removeLast();
        const QByteArray url = "file:" + QFileInfo(path).absoluteFilePath().toUtf8();
        EXPECT_EQ(arguments,
                  (QList<QByteArray>{"-v", "error", "-protocol_whitelist", "file", "-show_format",
                                     "-show_streams", "-of", "json", "-i", url}));
    }
}

// A probe destroyed while its child hangs kills the child and does not wait
// for it.
TEST(RecordingProbeLifetime, DestroyedWhileRunningKillsTheChild) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) GTEST_SKIP() << media.Why().toStdString();
    ProbeOptions options;
    options.program = media.StandIn("lifetime", QStringLiteral("exec sleep 600"));
    QElapsedTimer clock;
    clock.start();
    {
        RecordingProbe probe(options);
        bool reported = false;
        ASSERT_TRUE(
            probe.Start({media.Path("rec.ts")}, [&](const ProbeResult&) { reported = true; }));
        QEventLoop loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(probe.Busy());
        EXPECT_FALSE(reported);
    }
    EXPECT_LT(clock.elapsed(), 10000);
}

} // namespace
} // namespace tavik

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
