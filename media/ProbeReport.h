// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What ffprobe's report on one recording means, as plain functions of bytes:
// the facts of one file, the checks that decide whether its duration can be
// trusted, and the sum over the files. No process runs here; the pool that
// runs ffprobe (RecordingProbe) hands each run's outcome to ReadProbeRun.
//
// A file's duration is refused, rather than taken short or days long, when
// - ffprobe only estimated it from the bit rate (its warning "Estimating
//   duration from bitrate"): raw ADTS AAC or MP3 without a Xing header can be
//   off by a sixth either way;
// - it is over 24 hours, or more than twice what the file's size holds at the
//   streams' stated bit rates: a timestamp jump (two recordings joined, a
//   broadcast discontinuity) makes seconds of content look like hours.
//
// A transport stream's playing time and audio rate are this program's own
// reading of its bytes (TsRecording.h) where it has one: the sum of the
// clock's continuous stretches, and the audio bytes over their time. The
// same checks then apply to that time.
//
// Paths are bytes, as the file system has them; messages show the file name
// with undecodable bytes and control characters as "?". Messages are in
// the installed language (the source texts are Japanese, each ending in
// "。", after which the error box adds no "."), for the error box.

#include "TsRecording.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace tavik {

// One file's contribution to the sum: its exact duration, and its audio rate
// when every audio stream states one.
struct FileFacts {
    std::int64_t durationUs = 0;
    std::optional<std::int64_t> audioBitsPerSecond;
    std::optional<ts::RecordingFacts> stream; // a transport stream's own reading
};

struct RecordingSummary {
    std::int32_t playSec = 0;
    std::optional<std::int32_t> audioKbps;
    std::vector<FileFacts> files; // each file's own, in the given order
};

// Exactly one of the two is set: summary on success, error otherwise.
struct ProbeResult {
    std::optional<RecordingSummary> summary;
    QString error;
};

// The facts, or the message saying why the file cannot be used.
using FileOutcome = std::variant<FileFacts, QString>;

// How one ffprobe run ended, as the process part saw it.
struct ProbeRun {
    enum class End { Exited, Crashed, TimedOut, Overflowed, FailedToStart };
    End end = End::Exited;
    int exitCode = 0;
    QByteArray report;   // stdout: the JSON report
    QByteArray warnings; // stderr, at warning level
    int timeLimitMs = 0; // for the time-out's message
};

// own: the reading of the file's bytes as a transport stream, if it was read.
FileOutcome ReadProbeRun(const QByteArray& path, const ProbeRun& run,
                         const ts::RecordingFacts* own = nullptr);

// The report alone (ffprobe exited with 0), with its cross-checks.
FileOutcome ReadReport(const QByteArray& path, const QByteArray& report, const QByteArray& warnings,
                       const ts::RecordingFacts* own = nullptr);

// The summed duration, rounded up to a whole second, and the largest audio
// rate in kbit/s (rounded up) where every file states one; the files' facts
// are kept beside them for a caller that reports on each file.
ProbeResult Summarise(const std::vector<FileFacts>& files);

// What was read of one file, for a report on it: seconds; for a transport
// stream read here also programme, programmes, stretches, stretch_seconds
// and audio (each stream's pid and kbps); audio_kbps where known.
QJsonObject FileFactsJson(const FileFacts& facts);

// The messages the process part gives before or instead of a report.
QString NotAReadableFile(const QByteArray& path);
QString ProbeStopped();

} // namespace tavik
