// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingProbe.h"

#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <utility>

namespace tavik {

namespace {

// ffprobe's report on one file is a few kilobytes; more than this is not it.
constexpr qint64 kReportLimit = 4 * 1024 * 1024;
// Warnings beyond this are read and dropped; the one that matters comes early.
constexpr qint64 kWarningsLimit = 1024 * 1024;
constexpr int kMostParallel = 8;

QByteArray AbsolutePath(const QByteArray& path) {
    if (path.startsWith('/')) return path;
    char* cwd = ::getcwd(nullptr, 0); // bytes, as the file system has them
    if (!cwd) return path;
    QByteArray absolute = QByteArray(cwd) + '/' + path;
    std::free(cwd);
    return absolute;
}

// The input as ffprobe opens it: file: and the absolute path, byte for byte
// (nested inputs, playlists, may open local files only), or the descriptor
// opened here where the name would not survive QProcess's UTF-8.
QStringList Arguments(const QByteArray& path, int fd, bool& byName) {
    const QByteArray absolute = AbsolutePath(path);
    const QString name = QString::fromUtf8(absolute);
    byName = name.toUtf8() == absolute;
    return {QStringLiteral("-v"),
            QStringLiteral("warning"),
            QStringLiteral("-protocol_whitelist"),
            QStringLiteral("file"),
            QStringLiteral("-show_format"),
            QStringLiteral("-show_streams"),
            QStringLiteral("-of"),
            QStringLiteral("json"),
            QStringLiteral("-i"),
            QStringLiteral("file:") + (byName ? name : QStringLiteral("/proc/self/fd/%1").arg(fd))};
}

// A regular file opened for reading, or -1. Non-blocking, so a FIFO cannot
// hang the open; a name with a NUL byte names no file.
int OpenRecording(const QByteArray& path) {
    if (path.contains('\0')) return -1;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

} // namespace

// One ffprobe run on one file, and the reading of its bytes beside it.
struct RecordingProbe::Child {
    qsizetype index = 0;
    int fd = -1;
    QProcess* process = nullptr; // a child of the probe, deleted later: it may be
                                 // emitting the signal that ends this run
    QTimer timer;
    ProbeRun run;
    bool probed = false; // ffprobe has ended
    std::optional<ts::RecordingPlan> plan;
    QTimer* reading = nullptr; // a read each turn of the event loop; deleted later,
                               // as it may be emitting the signal that ends this run
    std::vector<std::uint8_t> buffer;

    ~Child() {
        process->disconnect();
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(-1);
        }
        process->deleteLater();
        if (reading) {
            reading->disconnect();
            reading->stop();
            reading->deleteLater();
        }
        ::close(fd);
    }
};

ProbeResult ProbeRecordings(const QList<QByteArray>& paths, const ProbeOptions& options) {
    return RecordingProbe(options).Run(paths);
}

RecordingProbe::RecordingProbe(ProbeOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {}

RecordingProbe::~RecordingProbe() {
    Stop();
}

bool RecordingProbe::Start(const QList<QByteArray>& paths, Done done) {
    if (Busy() || !done) return false;
    paths_ = paths;
    outcomes_.assign(static_cast<std::size_t>(paths.size()), std::nullopt);
    next_ = 0;
    failedAt_ = paths.size();
    done_ = std::move(done);
    // Even a probe that ends at once reports from the event loop, as the
    // window expects.
    QTimer::singleShot(0, this, [this] { StartMore(); });
    return true;
}

ProbeResult RecordingProbe::Run(const QList<QByteArray>& paths) {
    std::optional<ProbeResult> result;
    QEventLoop loop;
    if (!Start(paths, [&](const ProbeResult& r) {
            result = r;
            loop.quit();
        }))
        return {std::nullopt, ProbeStopped()};
    runLoop_ = &loop;
    loop.exec();
    runLoop_ = nullptr;
    return result ? *result : ProbeResult{std::nullopt, ProbeStopped()};
}

void RecordingProbe::Stop() {
    children_.clear(); // each child is killed and reaped
    paths_.clear();
    outcomes_.clear();
    next_ = failedAt_ = 0;
    done_ = nullptr;
    if (runLoop_) runLoop_->quit();
}

void RecordingProbe::StartMore() {
    // A child that fails at once ends inside Launch; the loop goes on for it.
    if (starting_ || !Busy()) return;
    starting_ = true;
    const int most = options_.parallel > 0
                         ? options_.parallel
                         : std::clamp(QThread::idealThreadCount(), 1, kMostParallel);
    while (next_ < failedAt_ && children_.size() < static_cast<std::size_t>(most))
        Launch(next_++);
    starting_ = false;
    if (children_.empty() && next_ >= failedAt_) Finish();
}

void RecordingProbe::Launch(qsizetype index) {
    const QByteArray& path = paths_.at(index);
    const int fd = OpenRecording(path);
    if (fd < 0) {
        Record(index, NotAReadableFile(path));
        return;
    }
    auto child = std::make_unique<Child>();
    Child* c = child.get();
    c->index = index;
    c->fd = fd;
    c->run.timeLimitMs = options_.timeLimitMs;
    c->process = new QProcess(this);
    QProcess* process = c->process;
    bool byName = true;
    const QStringList arguments = Arguments(path, fd, byName);
    const pid_t parent = ::getpid();
    process->setChildProcessModifier([parent, fd, byName] {
        // The child ends with this process, even when that is killed
        // outright; getppid tells whether it died before the request.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        if (!byName) ::fcntl(fd, F_SETFD, 0); // kept open across exec
    });
    process->setStandardInputFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, [c] {
        c->run.report += c->process->readAllStandardOutput();
        if (c->run.report.size() > kReportLimit && c->run.end == ProbeRun::End::Exited) {
            c->run.end = ProbeRun::End::Overflowed;
            c->process->kill();
        }
    });
    connect(process, &QProcess::readyReadStandardError, this, [c] {
        const QByteArray more = c->process->readAllStandardError();
        if (c->run.warnings.size() < kWarningsLimit) c->run.warnings += more;
    });
    connect(process, &QProcess::finished, this, [this, c] {
        c->run.report += c->process->readAllStandardOutput();
        c->run.warnings += c->process->readAllStandardError();
        if (c->run.end == ProbeRun::End::Exited && c->process->exitStatus() == QProcess::CrashExit)
            c->run.end = ProbeRun::End::Crashed;
        c->run.exitCode = c->process->exitCode();
        c->probed = true;
        if (!c->reading->isActive()) Ended(*c);
    });
    struct stat st {};
    c->plan.emplace(::fstat(fd, &st) == 0 ? st.st_size : 0, options_.service);
    c->reading = new QTimer(this);
    connect(c->reading, &QTimer::timeout, this, [this, c] { ReadMore(*c); });
    c->reading->start(0);
    connect(process, &QProcess::errorOccurred, this, [this, c](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        c->run.end = ProbeRun::End::FailedToStart;
        Ended(*c);
    });
    c->timer.setSingleShot(true);
    connect(&c->timer, &QTimer::timeout, this, [c] {
        c->run.end = ProbeRun::End::TimedOut;
        c->process->kill();
    });
    children_.push_back(std::move(child));
    c->timer.start(options_.timeLimitMs);
    process->start(options_.program, arguments, QIODevice::ReadOnly);
}

void RecordingProbe::ReadMore(Child& child) {
    const std::optional<ts::Read> read = child.plan->Next();
    if (!read) {
        child.reading->stop();
        std::vector<std::uint8_t>().swap(child.buffer);
        if (child.probed) Ended(child);
        return;
    }
    child.buffer.resize(static_cast<std::size_t>(read->size));
    std::size_t got = 0;
    while (got < child.buffer.size()) {
        const ssize_t n =
            ::pread(child.fd, child.buffer.data() + got, child.buffer.size() - got,
                    static_cast<off_t>(read->offset + static_cast<std::int64_t>(got)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // a file cut short, or unreadable: what was read counts
        got += static_cast<std::size_t>(n);
    }
    child.plan->Take(child.buffer.data(), got);
}

void RecordingProbe::Ended(Child& child) {
    const qsizetype index = child.index;
    const ts::RecordingFacts& own = child.plan->Facts();
    FileOutcome outcome = ReadProbeRun(paths_.at(index), child.run, &own);
    children_.erase(std::find_if(children_.begin(), children_.end(),
                                 [&](const auto& c) { return c.get() == &child; }));
    Record(index, std::move(outcome));
    StartMore();
}

void RecordingProbe::Record(qsizetype index, FileOutcome outcome) {
    const bool failed = std::holds_alternative<QString>(outcome);
    outcomes_[static_cast<std::size_t>(index)] = std::move(outcome);
    if (!failed || index >= failedAt_) return;
    // Files after this one cannot change the result any more.
    failedAt_ = index;
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [&](const auto& c) { return c->index > index; }),
                    children_.end());
}

void RecordingProbe::Finish() {
    ProbeResult result;
    if (failedAt_ < paths_.size()) {
        result.error = std::get<QString>(*outcomes_[static_cast<std::size_t>(failedAt_)]);
    } else {
        std::vector<FileFacts> facts;
        for (const std::optional<FileOutcome>& outcome : outcomes_)
            facts.push_back(std::get<FileFacts>(*outcome));
        result = Summarise(facts);
    }
    const Done done = std::exchange(done_, nullptr);
    Stop();
    done(result);
}

} // namespace tavik
