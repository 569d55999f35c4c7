// SPDX-License-Identifier: GPL-3.0-or-later
// From the drop of a one-hour transport stream onto the real window (offscreen
// platform) to the written fields, and the blocking probe alone; then a
// season of 12 one-minute transport streams against one of them, probed side
// by side. The recordings are made once with ffmpeg and kept in the
// temporary folder.
#include "app/Application.h"
#include "media/RecordingProbe.h"
#include "qtwin/RecordingDrop.h"
#include "qtwin/TavikWindow.h"
#include "support/MemoryWindow.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// Empty when the recording cannot be made.
QString Recording(const char* name, int seconds) {
    const QString dir = QDir::temp().filePath(QStringLiteral("tavik-bench"));
    QDir().mkpath(dir);
    const QString file = QDir(dir).filePath(QString::fromLatin1(name));
    if (QFileInfo(file).size() > 0) return file;
    const QString duration = QString::number(seconds);
    const QString partial = file + QStringLiteral(".part");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v",
                  "error",
                  "-y",
                  "-f",
                  "lavfi",
                  "-i",
                  "testsrc=size=64x48:rate=25:duration=" + duration,
                  "-f",
                  "lavfi",
                  "-i",
                  "sine=frequency=440:sample_rate=48000:duration=" + duration,
                  "-c:v",
                  "mpeg2video",
                  "-c:a",
                  "mp2",
                  "-b:a",
                  "128k",
                  "-f",
                  "mpegts",
                  partial});
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0) return QString();
    QFile::rename(partial, file);
    return file;
}

QString HourLongRecording() {
    static const QString path = Recording("hour-64x48.ts", 3600);
    return path;
}

// The same minute under 12 names, as a season's episodes.
QList<QByteArray> Season(int episodes) {
    static const QString minute = Recording("minute-64x48.ts", 60);
    QList<QByteArray> paths;
    if (minute.isEmpty()) return paths;
    for (int i = 1; i <= episodes; ++i) {
        const QString episode = QFileInfo(minute).dir().filePath(QStringLiteral("ep%1.ts").arg(i));
        if (!QFileInfo::exists(episode)) QFile::copy(minute, episode);
        paths << QFile::encodeName(episode);
    }
    return paths;
}

void BM_DropToWrittenFields(benchmark::State& state) {
    const QString recording = HourLongRecording();
    if (recording.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the recording");
        return;
    }
    tavik::MemoryErrorBox errors;
    tavik::MemoryHelpDispatch help;
    tavik::MemoryShell shell;
    tavik::TavikWindow window(errors, help, shell);
    window.ShowAtStartUp();
    auto* drop = window.findChild<tavik::RecordingDrop*>(QStringLiteral("RecordingDrop"));
    auto* minutes = window.findChild<QLineEdit*>(QStringLiteral("MonthEdit"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(recording)});
    for (auto _ : state) {
        minutes->setText(QStringLiteral("30")); // so the drop writes and cascades
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
        while (drop->Busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (minutes->text() != QStringLiteral("60") || !errors.shown.empty())
        state.SkipWithError("the drop did not write 60 minutes");
}
BENCHMARK(BM_DropToWrittenFields)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BlockingProbe(benchmark::State& state) {
    const QString recording = HourLongRecording();
    if (recording.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the recording");
        return;
    }
    for (auto _ : state) {
        const tavik::ProbeResult result = tavik::ProbeRecordings({QFile::encodeName(recording)});
        if (!result.summary) state.SkipWithError(qPrintable(result.error));
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_BlockingProbe)->Unit(benchmark::kMillisecond)->UseRealTime();

// 12 episodes take at most 12 / min(cores, 8) x 1.25 + 1 times one episode.
void BM_SeasonSideBySide(benchmark::State& state) {
    const QList<QByteArray> season = Season(static_cast<int>(state.range(0)));
    if (season.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the recording");
        return;
    }
    for (auto _ : state) {
        const tavik::ProbeResult result = tavik::ProbeRecordings(season);
        if (!result.summary || result.summary->playSec != 60 * season.size())
            state.SkipWithError("the season did not add up");
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel("side by side: " + std::to_string(std::min(QThread::idealThreadCount(), 8)));
}
BENCHMARK(BM_SeasonSideBySide)->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    tavik::SetUpApplication(app);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
