// SPDX-License-Identifier: GPL-3.0-or-later
// From the drop of a one-hour transport stream onto the real window (offscreen
// platform) to the written fields, and the blocking probe alone. The
// recording is made once with ffmpeg and kept in the temporary folder.
#include "app/Application.h"
#include "app/MemoryWindow.h"
#include "app/RecordingDrop.h"
#include "app/TavikWindow.h"
#include "media/RecordingProbe.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// Empty when the recording cannot be made.
QString HourLongRecording() {
    static const QString path = [] {
        const QString dir = QDir::temp().filePath(QStringLiteral("tavik-bench"));
        QDir().mkpath(dir);
        const QString file = QDir(dir).filePath(QStringLiteral("hour-64x48.ts"));
        if (QFileInfo(file).size() > 0) return file;
        const QString partial = file + QStringLiteral(".part");
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-v",
                      "error",
                      "-y",
                      "-f",
                      "lavfi",
                      "-i",
                      "testsrc=size=64x48:rate=25:duration=3600",
                      "-f",
                      "lavfi",
                      "-i",
                      "sine=frequency=440:sample_rate=48000:duration=3600",
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
    }();
    return path;
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
        const tavik::ProbeResult result = tavik::ProbeRecordings({recording});
        if (!result.summary) state.SkipWithError(qPrintable(result.error));
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_BlockingProbe)->Unit(benchmark::kMillisecond)->UseRealTime();

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
