// SPDX-License-Identifier: GPL-3.0-or-later
// Transport streams as tuners write them, made by ffmpeg and joined with cat:
// the probe's playing time is never shorter than the parts' and at most 2 s
// longer; its audio rate never 1 % under the real average (the audio bytes a
// copy carries over its frames' duration) nor 5 % over.
#include "media/RecordingProbe.h"
#include "support/TestMedia.h"
#include "support/ToolSkip.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <vector>

namespace tavik {
namespace {

// What ffprobe prints for the entries asked, one value a line.
QList<QByteArray> Entries(const QString& path, const char* entries) {
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"), {"-v", "error", "-count_packets", "-show_entries",
                                              entries, "-of", "csv=p=0", path});
    ffprobe.waitForFinished(20000);
    return ffprobe.readAllStandardOutput().trimmed().split(',');
}

struct StreamCase {
    const char* file;
    std::vector<const char*> parts;
    int stretches;
    double shortBy = 0; // cut: what the lost end may take off
};

const StreamCase kCases[] = {
    {"restarted.ts", {"at10.ts", "at10.ts"}, 2},
    {"overlapping.ts", {"at10.ts", "at9.ts"}, 2},
    {"jump.ts", {"at10.ts", "at610.ts"}, 2},
    {"hour-back.ts", {"at3610.ts", "at10.ts"}, 2},
    {"new-pids.ts", {"at10.ts", "pids.ts"}, 1},
    {"wrap.ts", {"wrap.ts"}, 1},
    {"silent-start.ts", {"silent-start.ts"}, 1},
    {"two.ts", {"two.ts"}, 1},
    {"cut.ts", {"at10.ts"}, 1, 0.2},
};

TEST(TransportStream, NeverShortNorFarOver) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    for (const StreamCase& c : kCases) {
        SCOPED_TRACE(c.file);
        double seconds = 0;
        double audioSeconds = 0;
        qint64 audioBytes = 0;
        for (const char* name : c.parts) {
            // A part with one clock as ffprobe reads it; its audio's length
            // from the AAC frames a copy of it holds.
            const QString part = media.Path(QLatin1String(name));
            seconds += Entries(part, "format=duration").value(0).toDouble();
            const QList<QByteArray> aac =
                Entries(part + ".aac", "stream=sample_rate,nb_read_packets");
            ASSERT_EQ(aac.size(), 2);
            audioSeconds += aac[1].toDouble() * 1024 / aac[0].toDouble();
            audioBytes += QFileInfo(part + ".aac").size();
        }
        ASSERT_GT(seconds, 0);
        const ProbeResult r = ProbeRecordings({media.File(c.file)});
        ASSERT_TRUE(r.summary) << r.error.toStdString();
        const FileFacts& f = r.summary->files.at(0);
        ASSERT_TRUE(f.stream);
        EXPECT_EQ(f.stream->stretches, c.stretches);
        EXPECT_GE(f.durationUs / 1e6, seconds - c.shortBy);
        EXPECT_LE(f.durationUs / 1e6, seconds + 2);
        const double real = audioBytes * 8 / audioSeconds;
        ASSERT_TRUE(f.audioBitsPerSecond);
        EXPECT_GE(*f.audioBitsPerSecond, real * 0.99);
        EXPECT_LE(*f.audioBitsPerSecond, real * 1.05);
    }
}

// The small programme beside the main one is read when asked for, alone.
TEST(TransportStream, ServiceAskedFor) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    ProbeOptions options;
    for (const int service : {1024, 1032, 7}) {
        options.service = static_cast<std::uint16_t>(service);
        const ProbeResult r = ProbeRecordings({media.File("two.ts")}, options);
        if (service == 7) {
            EXPECT_TRUE(r.error.contains(QStringLiteral("サービス 7 はありません。")));
            continue;
        }
        ASSERT_TRUE(r.summary) << r.error.toStdString();
        EXPECT_EQ(r.summary->files.at(0).stream->programme, service);
        EXPECT_EQ(r.summary->files.at(0).stream->programmes,
                  (std::vector<std::uint16_t>{1024, 1032}));
        EXPECT_EQ(*r.summary->audioKbps > 100, service == 1024) << *r.summary->audioKbps;
    }
}

} // namespace
} // namespace tavik
