// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The recording probe: runs ffprobe (Debian package ffmpeg) on recordings, a
// pool of children side by side, and hands each report to ProbeReport.h,
// which decides what the files add up to.
//
// - Each file is opened here first, so a folder, a FIFO or an unreadable
//   file is refused before a child runs. It reaches ffprobe as a file: URL
//   of its absolute path, through an argument list and no shell, so no name
//   (a leading "-", "http:x", a newline) is taken as an option or another
//   protocol. QProcess passes arguments as UTF-8; a name that is not UTF-8
//   (Shift-JIS from a Windows disc) reaches ffprobe as the descriptor opened
//   here instead, through /proc/self/fd.
// - Up to min(cores, 8) files are probed at once. The result is what probing
//   them one after the other gives: the first failing file in the given
//   order names the error, whatever order the children end in.
// - Beside ffprobe, a transport stream's own bytes are read here
//   (TsRecording.h), a bounded read at a time from the event loop, so the
//   window stays responsive; the file's outcome waits for both.
// - A child is killed when it runs over its time limit, when its output is
//   not a report, when a file before it fails, when the probe is stopped or
//   destroyed, and (PR_SET_PDEATHSIG) when this process dies.
//
// Two entry points share the pool:
//   RecordingProbe::Start  runs in the background and reports through a
//                          callback from the event loop (the window);
//   ProbeRecordings / Run  block in a local event loop until the probe ends;
//                          they need a QCoreApplication but no running loop
//                          (the command line).

#include "ProbeReport.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class QEventLoop;

namespace tavik {

struct ProbeOptions {
    QString program = QStringLiteral("ffprobe"); // looked up on PATH when bare
    int timeLimitMs = 5000;                      // per file
    int parallel = 0;                            // children at once; 0: min(cores, 8)
    std::optional<std::uint16_t> service; // a transport stream's programme; none: the main one
};

ProbeResult ProbeRecordings(const QList<QByteArray>& paths, const ProbeOptions& options = {});

// One probe of one or more files at a time.
class RecordingProbe : public QObject {
public:
    using Done = std::function<void(const ProbeResult&)>;

    explicit RecordingProbe(ProbeOptions options = {}, QObject* parent = nullptr);
    ~RecordingProbe() override;

    // Starts probing the files; done runs once, from the event loop, when the
    // probe has ended (Busy() is false again by then). Returns false and does
    // nothing while a probe is running.
    bool Start(const QList<QByteArray>& paths, Done done);
    bool Busy() const { return static_cast<bool>(done_); }

    // Start, and wait in a local event loop for the result.
    ProbeResult Run(const QList<QByteArray>& paths);

    // Ends a running probe at once: its children are killed and reaped, and
    // its done never runs (Run returns ProbeStopped()).
    void Stop();

    void SetOptions(const ProbeOptions& options) { options_ = options; }

private:
    struct Child;

    void StartMore();
    void Launch(qsizetype index);
    void Ended(Child& child);
    void ReadMore(Child& child);
    void Record(qsizetype index, FileOutcome outcome);
    void Finish();

    ProbeOptions options_;
    QList<QByteArray> paths_;
    std::vector<std::optional<FileOutcome>> outcomes_; // by file, as they end
    qsizetype next_ = 0;                               // the next file to start
    qsizetype failedAt_ = 0; // the first file known to fail; paths_.size() while none
    std::vector<std::unique_ptr<Child>> children_;
    bool starting_ = false; // inside StartMore's loop
    Done done_;
    QEventLoop* runLoop_ = nullptr;
};

} // namespace tavik
