// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The recording probe: asks ffprobe (Debian package ffmpeg) for the playing
// time and the audio rate of recordings. ffprobe runs as a child process with
// an argument list and no shell, and each path reaches it as a file: URL of
// the absolute path, so no name (a leading "-", "http:x", a newline) can be
// taken as an option or another protocol. Each file has a time limit; a probe
// that runs over it is killed.
//
// Two entry points give the same result for the same files:
//   ProbeRecordings()  blocks until every file is probed; needs a
//                      QCoreApplication but no running event loop (the
//                      command line uses it).
//   RecordingProbe     runs asynchronously and reports through a callback
//                      from the event loop (the window uses it, so it stays
//                      responsive).
//
// What the files add up to:
// - playing time: per file the longest video stream's duration where one is
//   given (transport streams' container durations can be days off after a
//   timestamp wrap), else the container's; a duration that is missing, zero
//   or over 24 hours fails. The files' exact durations are summed and the sum
//   is rounded up to a whole second, so a rate computed for it still fits.
// - audio rate: per file the sum of its audio streams' bit rates, in kbit/s
//   of 1000 bit, rounded up; over the files the largest. Only when every file
//   has audio and every audio stream states a bit rate; otherwise none.
//
// Failures are Japanese messages for the error box, without the final "."
// (the box adds it).

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QProcess;
class QTimer;

namespace tavik {

struct ProbeOptions {
    QString program = QStringLiteral("ffprobe"); // looked up on PATH when bare
    int timeLimitMs = 5000;                      // per file
};

struct RecordingSummary {
    std::int32_t playSec = 0;
    std::optional<std::int32_t> audioKbps;
};

// Exactly one of the two is set: summary on success, error otherwise.
struct ProbeResult {
    std::optional<RecordingSummary> summary;
    QString error;
};

// Probes the files one after the other and blocks until all are done or one
// fails; the first failure ends the probe.
ProbeResult ProbeRecordings(const QStringList& paths, const ProbeOptions& options = {});

// One probe of one or more files at a time, in the background.
class RecordingProbe : public QObject {
public:
    using Done = std::function<void(const ProbeResult&)>;

    explicit RecordingProbe(ProbeOptions options = {}, QObject* parent = nullptr);
    ~RecordingProbe() override;

    // Starts probing the files; done runs once, from the event loop, when the
    // probe has ended (Busy() is false again by then). Returns false and does
    // nothing while a probe is running.
    bool Start(const QStringList& paths, Done done);
    bool Busy() const { return static_cast<bool>(done_); }

    void SetOptions(const ProbeOptions& options) { options_ = options; }

    // Per file: its exact duration, and its audio rate when it states one.
    struct FileFacts {
        std::int64_t durationUs = 0;
        std::optional<std::int64_t> audioBitsPerSecond;
    };

private:
    void StartNext();
    void OnFinished();
    void Finish(ProbeResult result);
    void DropProcess();

    ProbeOptions options_;
    QStringList paths_;
    std::vector<FileFacts> facts_;
    Done done_;
    QProcess* process_ = nullptr;
    QTimer* timer_ = nullptr;
    QByteArray output_;
    bool timedOut_ = false;
    bool overflowed_ = false;
};

} // namespace tavik
