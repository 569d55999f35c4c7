// SPDX-License-Identifier: GPL-3.0-or-later
// The fitted sums against the files ffmpeg really writes: for each row,
// constant-rate MPEG-2 video at the rate the sums give for the size and MP2
// audio at 192 kbit/s, from lavfi, muxed unchanged into the container. The
// file, less what the encoders wrote beyond their nominal rates, must fit
// the size, and the model must never count fewer bytes than the muxer wrote.

#include "core/Container.h"
#include "support/ToolSkip.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tavik {
namespace {

constexpr std::int32_t kSeconds = 60;
constexpr std::int32_t kAudioKbps = 192;
struct Picture {
    const char* name;
    const char* size;
    const char* rate;    // as ffmpeg takes it, and the key of the window's frame rate
    std::int32_t sizeMB; // 30 MB in the minute is about 4 Mbit/s, 8 MB about 1.1 Mbit/s
};
constexpr Picture kPictures[] = {
    {"high_25", "720x480", "25", 30},         {"high_30", "720x480", "30000/1001", 30},
    {"high_60", "720x480", "60000/1001", 30}, {"low_25", "352x240", "25", 8},
    {"low_30", "352x240", "30000/1001", 8},   {"low_60", "352x240", "60000/1001", 8},
};

struct MuxRow {
    std::string name;
    Container container;
    Picture picture;
    bool fpsGiven;     // the sums told the frame rate, or left to allow 60
    double mostUnused; // the share of the size the file may leave; 0: not held to one
};

std::ostream& operator<<(std::ostream& out, const MuxRow& row) {
    return out << row.name;
}

// Every container at every picture, with the frame rate given and left at
// "up to 60". Given, a file may leave 1 % of 30 MB and 2.5 % of 8 MB unused;
// left to allow for 60 frames/s, which in MPEG-TS and M2TS costs a PES
// header and half a packet a frame, it must still fit. A DVD's VOBU, a
// navigation pack and a padded one, starts at a key frame at least 0.4 s
// after the last; the share allows one every 0.4 s, since no frame rate
// fixes the GOP, and ffmpeg's GOP of 12 frames puts them 0.48 s apart at 25
// fps: some 0.4 % of the 8 MB file more.
std::vector<MuxRow> Rows() {
    std::vector<MuxRow> rows;
    for (const ContainerRow& c : kContainers)
        for (const Picture& p : kPictures)
            if (c.container != Container::None) {
                const std::string name = std::string(c.key) + "_" + p.name;
                const bool longGops = c.container == Container::Ps && p.rate == std::string("25");
                const double most = p.sizeMB == 30 ? 0.01 : longGops ? 0.03 : 0.025;
                rows.push_back({name + "_fps", c.container, p, true, most});
                rows.push_back({name, c.container, p, false, 0});
            }
    return rows;
}

// How ffmpeg is told to write each container; a container missing here fails.
std::string FormatOf(Container c) {
    const std::pair<Container, const char*> formats[] = {
        {Container::Ts, "mpegts"},
        {Container::M2ts, "mpegts -mpegts_m2ts_mode 1"},
        {Container::Ps, "dvd"},
        {Container::Mp4, "mp4"},
        {Container::Mkv, "matroska"}};
    for (const auto& [container, format] : formats)
        if (container == c) return format;
    ADD_FAILURE() << "no format for " << ContainerKey(c);
    return "null";
}

QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

class Mux : public testing::TestWithParam<MuxRow> {};

TEST_P(Mux, FileFitsAndModelCountsEveryByte) {
    for (const char* tool : {"ffmpeg", "ffprobe"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            TAVIK_SKIP_WITHOUT(tool, "not installed (Debian package ffmpeg)");
    const MuxRow& row = GetParam();
    const std::int32_t milliFps = MilliFpsOfKey(row.picture.rate);
    const std::int32_t fps = row.fpsGiven ? milliFps : kMaxMilliFps;
    const std::int32_t video =
        FittedVideoRate(row.container, row.picture.sizeMB, kSeconds, kAudioKbps, fps);
    QTemporaryDir dir;
    const QString streams = dir.filePath("streams.nut");
    const QString file = dir.filePath("file");
    const QString encode =
        QString("-v error -y -f lavfi -i testsrc2=size=%1:rate=%2 -f lavfi -i "
                "sine=frequency=440:sample_rate=48000 -t %3 -c:v mpeg2video -b:v %4k -minrate %4k "
                "-maxrate %4k -bufsize %5k -c:a mp2 -b:a %6k -ac 2")
            .arg(row.picture.size, row.picture.rate)
            .arg(kSeconds)
            .arg(video)
            .arg(video / 2)
            .arg(kAudioKbps);
    RunTool("ffmpeg", encode.split(' ') << streams);
    const QString mux = QString("-v fatal -y -i %1 -c copy -f ").arg(streams);
    RunTool("ffmpeg", (mux + QString::fromStdString(FormatOf(row.container))).split(' ') << file);
    std::int64_t written[2] = {0, 0}; // video, audio
    const QByteArray packets =
        RunTool("ffprobe", {"-v", "error", "-show_entries", "packet=stream_index,size", "-of",
                            "csv=p=0", streams});
    for (const QByteArray& line : packets.split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() == 2) written[fields[0].toInt() == 0 ? 0 : 1] += fields[1].toLongLong();
    }
    const std::int64_t fileBytes = QFileInfo(file).size();
    ASSERT_GT(fileBytes, 0);
    ASSERT_GT(written[0], 0);

    const std::int64_t room = row.picture.sizeMB * kBytesPerMB;
    const std::int64_t nominal = std::int64_t{video + kAudioKbps} * 125 * kSeconds;
    const std::int64_t adjusted = fileBytes - (written[0] + written[1] - nominal);
    EXPECT_LE(adjusted, room) << "the file passes the size";
    const double unused = double(room - adjusted) / room;
    if (row.mostUnused > 0) {
        EXPECT_LE(unused, row.mostUnused) << "the file leaves too much unused";
    }

    // The model at the rates the encoders really wrote, rounded up, and the
    // frame rate given: the tightest it gets, and never below the muxer.
    const auto kbps = [](std::int64_t bytes) {
        return static_cast<std::int32_t>((bytes + 125 * kSeconds - 1) / (125 * kSeconds));
    };
    const std::int64_t modelled =
        FileBytes(row.container, kbps(written[1]), kbps(written[0]), kSeconds, milliFps);
    EXPECT_GE(modelled, fileBytes) << "the model counts fewer bytes than the muxer wrote";
    std::printf("%s: video %d kbit/s, %.2f %% of the size unused; model over by %lld bytes\n",
                row.name.c_str(), video, unused * 100,
                static_cast<long long>(modelled - fileBytes));
}

INSTANTIATE_TEST_SUITE_P(Containers, Mux, testing::ValuesIn(Rows()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace tavik
