// SPDX-License-Identifier: GPL-3.0-or-later
// A transport stream of about 1 GB (34 minutes at 4 Mbit/s), and the same
// with a second recording joined behind it: how long reading their playing
// time and audio rate takes and how many bytes it reads, beside one ffprobe
// run on the same file (warm cache: the file is read once first). Made once
// with ffmpeg (a minute encoded, then looped with -c copy) in the temporary
// folder.
#include "media/TsRecording.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace {

bool Ffmpeg(const QStringList& arguments) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-y"} + arguments);
    return ffmpeg.waitForFinished(600000) && ffmpeg.exitCode() == 0;
}

// Empty when ffmpeg cannot make it.
QString Recording(bool joined) {
    const QDir dir(QDir::temp().filePath(QStringLiteral("tavik-bench")));
    QDir().mkpath(dir.path());
    const QString minute = dir.filePath(QStringLiteral("minute-4M.ts"));
    const QString large = dir.filePath(QStringLiteral("34min-4M.ts"));
    const QString both = dir.filePath(QStringLiteral("34min-4M-joined.ts"));
    if (!QFileInfo::exists(large) &&
        (!Ffmpeg({"-f",       "lavfi",
                  "-i",       "testsrc=size=720x480:rate=30000/1001:duration=60",
                  "-f",       "lavfi",
                  "-i",       "sine=sample_rate=48000:duration=60",
                  "-c:v",     "mpeg2video",
                  "-b:v",     "4M",
                  "-minrate", "4M",
                  "-maxrate", "4M",
                  "-bufsize", "2M",
                  "-c:a",     "aac",
                  "-b:a",     "256k",
                  minute}) ||
         !Ffmpeg(
             {"-stream_loop", "33", "-i", minute, "-c", "copy", "-f", "mpegts", large + ".part"}) ||
         !QFile::rename(large + ".part", large)))
        return QString();
    if (joined && !QFileInfo::exists(both)) {
        QFile out(both + ".part");
        for (const QString& part : {large, minute}) {
            QFile in(part);
            if (!out.open(QIODevice::Append) || !in.open(QIODevice::ReadOnly)) return QString();
            while (!in.atEnd())
                out.write(in.read(1 << 24));
            out.close();
        }
        QFile::rename(both + ".part", both);
    }
    return joined ? both : large;
}

void WarmUp(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        while (!file.atEnd())
            file.read(1 << 24);
}

void BM_ReadTransportStream(benchmark::State& state) {
    const QString path = Recording(state.range(0) != 0);
    if (path.isEmpty()) return state.SkipWithError("ffmpeg could not make the recording");
    WarmUp(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    std::vector<std::uint8_t> buffer;
    tavik::ts::RecordingFacts facts;
    for (auto _ : state) {
        tavik::ts::RecordingPlan plan(QFileInfo(path).size(), std::nullopt);
        while (const std::optional<tavik::ts::Read> read = plan.Next()) {
            buffer.resize(static_cast<std::size_t>(read->size));
            const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), read->offset);
            plan.Take(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
        }
        facts = plan.Facts();
    }
    ::close(fd);
    state.counters["MiB_read"] = static_cast<double>(facts.bytesRead) / (1 << 20);
    state.counters["seconds"] = static_cast<double>(facts.durationUs) / 1e6;
    state.counters["stretches"] = facts.stretches;
}
BENCHMARK(BM_ReadTransportStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the probe runs beside the reading, for comparison.
void BM_FfprobeOnce(benchmark::State& state) {
    const QString path = Recording(false);
    if (path.isEmpty()) return state.SkipWithError("ffmpeg could not make the recording");
    WarmUp(path);
    for (auto _ : state) {
        QProcess ffprobe;
        ffprobe.start(QStringLiteral("ffprobe"), {"-v", "warning", "-show_format", "-show_streams",
                                                  "-of", "json", "-i", "file:" + path});
        ffprobe.waitForFinished(60000);
        benchmark::DoNotOptimize(ffprobe.readAllStandardOutput());
    }
}
BENCHMARK(BM_FfprobeOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
