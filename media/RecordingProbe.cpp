// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingProbe.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

#include <limits>
#include <utility>
#include <variant>

namespace tavik {

namespace {

using FileFacts = RecordingProbe::FileFacts;
using FileOutcome = std::variant<FileFacts, QString>;

constexpr std::int64_t kUsPerSecond = 1'000'000;
constexpr std::int64_t kLongestUs = std::int64_t{24} * 3600 * kUsPerSecond;
// ffprobe's report on one file is a few kilobytes; more than this is not it.
constexpr qint64 kOutputLimit = 4 * 1024 * 1024;
// Whole seconds beyond this are clamped; they are far over the longest anyway.
constexpr std::int64_t kClampSeconds = 1'000'000'000;

// The file's name as the message shows it, on one line.
QString DisplayName(const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty()) name = path;
    for (QChar& c : name)
        if (!c.isPrint()) c = QLatin1Char('?');
    return name;
}

QString Quoted(const QString& path) {
    return QStringLiteral("「%1」").arg(DisplayName(path));
}

QString MissingProgram() {
    return QStringLiteral(
        "ffprobe を起動できません。Debian パッケージ ffmpeg をインストールしてください");
}

QString Unreadable(const QString& path) {
    return Quoted(path) + QStringLiteral("について ffprobe の出力を読み取れません");
}

std::optional<QString> CheckFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() && info.isReadable()) return std::nullopt;
    return Quoted(path) + QStringLiteral("は読み取れるファイルではありません");
}

QStringList Arguments(const QString& path) {
    // file: with an absolute path: never an option, never another protocol,
    // and ffmpeg takes the rest of the name byte for byte. Nested inputs
    // (playlists) may open local files only.
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-protocol_whitelist"),
            QStringLiteral("file"),
            QStringLiteral("-show_format"),
            QStringLiteral("-show_streams"),
            QStringLiteral("-of"),
            QStringLiteral("json"),
            QStringLiteral("-i"),
            QStringLiteral("file:") + QFileInfo(path).absoluteFilePath()};
}

enum class RunEnd { Exited, Crashed, TimedOut, Overflowed };

// A value ffprobe gives as a decimal string ("2.520000", "192000"). Absent
// and "N/A" are no value; false means the output is not what ffprobe writes.
// Microseconds beyond the sixth decimal round up.
bool ReadDecimalUs(const QJsonValue& value, std::optional<std::int64_t>& us) {
    us.reset();
    if (value.isUndefined()) return true;
    if (!value.isString()) return false;
    const QString text = value.toString();
    if (text == QLatin1String("N/A")) return true;
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool dot = false;
    bool digits = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('.') && !dot) {
            dot = true;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        const int d = c.unicode() - '0';
        digits = true;
        if (!dot) {
            whole = std::min(whole * 10 + d, kClampSeconds);
        } else if (fractionDigits < 6) {
            fraction = fraction * 10 + d;
            ++fractionDigits;
        } else if (d != 0 && fractionDigits == 6) {
            ++fraction;
            ++fractionDigits;
        }
    }
    if (!digits) return false;
    for (int i = std::min(fractionDigits, 6); i < 6; ++i)
        fraction *= 10;
    us = whole * kUsPerSecond + fraction;
    return true;
}

bool ReadBitRate(const QJsonValue& value, std::optional<std::int64_t>& bitsPerSecond) {
    std::optional<std::int64_t> us;
    if (!ReadDecimalUs(value, us)) return false;
    bitsPerSecond.reset();
    if (!us) return true;
    if (*us % kUsPerSecond != 0 || *us / kUsPerSecond >= kClampSeconds) return false;
    if (*us > 0) bitsPerSecond = *us / kUsPerSecond;
    return true;
}

FileOutcome ReadReport(const QByteArray& json, const QString& path) {
    const QString unreadable = Unreadable(path);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) return unreadable;
    const QJsonObject root = document.object();
    const QJsonValue format = root.value(QLatin1String("format"));
    const QJsonValue streams = root.value(QLatin1String("streams"));
    if ((!format.isUndefined() && !format.isObject()) ||
        (!streams.isUndefined() && !streams.isArray()))
        return unreadable;

    std::optional<std::int64_t> videoUs;
    std::int64_t audioBits = 0;
    bool audioStated = false;
    bool audioUnstated = false;
    for (const QJsonValue& stream : streams.toArray()) {
        if (!stream.isObject()) return unreadable;
        const QJsonObject s = stream.toObject();
        const QJsonValue type = s.value(QLatin1String("codec_type"));
        const QJsonValue disposition = s.value(QLatin1String("disposition"));
        if ((!type.isUndefined() && !type.isString()) ||
            (!disposition.isUndefined() && !disposition.isObject()))
            return unreadable;
        const QJsonValue picture = disposition.toObject().value(QLatin1String("attached_pic"));
        if (!picture.isUndefined() && !picture.isDouble()) return unreadable;
        if (type.toString() == QLatin1String("video") && picture.toInt() != 1) {
            // A cover picture is a video stream too, but has no playing time.
            std::optional<std::int64_t> us;
            if (!ReadDecimalUs(s.value(QLatin1String("duration")), us)) return unreadable;
            if (us && (!videoUs || *us > *videoUs)) videoUs = us;
        } else if (type.toString() == QLatin1String("audio")) {
            std::optional<std::int64_t> bits;
            if (!ReadBitRate(s.value(QLatin1String("bit_rate")), bits)) return unreadable;
            if (bits) {
                audioBits += *bits;
                audioStated = true;
            } else {
                audioUnstated = true;
            }
        }
    }
    std::optional<std::int64_t> containerUs;
    if (!ReadDecimalUs(format.toObject().value(QLatin1String("duration")), containerUs))
        return unreadable;

    FileFacts facts;
    const std::optional<std::int64_t> us = videoUs ? videoUs : containerUs;
    if (!us || *us == 0) return Quoted(path) + QStringLiteral("の再生時間がわかりません");
    if (*us > kLongestUs)
        return Quoted(path) +
               QStringLiteral(
                   "の再生時間が 24 時間を超えています。時刻情報が壊れている可能性があります");
    facts.durationUs = *us;
    if (audioStated && !audioUnstated) facts.audioBitsPerSecond = audioBits;
    return facts;
}

FileOutcome Interpret(RunEnd end, int exitCode, const QByteArray& output, const QString& path,
                      const ProbeOptions& options) {
    switch (end) {
    case RunEnd::TimedOut:
        return Quoted(path) + QStringLiteral("の調査が %1 秒以内に終わらないため中止しました")
                                  .arg(QString::number(options.timeLimitMs / 1000.0));
    case RunEnd::Crashed:
        return Quoted(path) + QStringLiteral("を調べている途中で ffprobe が異常終了しました");
    case RunEnd::Overflowed:
        return Unreadable(path);
    case RunEnd::Exited:
        break;
    }
    if (exitCode != 0)
        return Quoted(path) +
               QStringLiteral("は壊れているか、動画や音声のファイルではないため読み取れません");
    return ReadReport(output, path);
}

ProbeResult Summarise(const std::vector<FileFacts>& files) {
    if (files.empty()) return {std::nullopt, QStringLiteral("録画ファイルがありません")};
    std::int64_t totalUs = 0;
    std::int64_t kbps = 0;
    bool everyFileStatesAudio = true;
    for (const FileFacts& f : files) {
        totalUs += f.durationUs;
        if (f.audioBitsPerSecond)
            kbps = std::max(kbps, (*f.audioBitsPerSecond + 999) / 1000);
        else
            everyFileStatesAudio = false;
    }
    const std::int64_t seconds = (totalUs + kUsPerSecond - 1) / kUsPerSecond;
    if (seconds > std::numeric_limits<std::int32_t>::max())
        return {std::nullopt, QStringLiteral("録画ファイルの合計の再生時間が長すぎます")};
    RecordingSummary summary;
    summary.playSec = static_cast<std::int32_t>(seconds);
    if (everyFileStatesAudio && kbps <= std::numeric_limits<std::int32_t>::max())
        summary.audioKbps = static_cast<std::int32_t>(kbps);
    return {summary, QString()};
}

void QuietChannels(QProcess& process) {
    // Only the report on stdout matters; ffprobe's own messages are English
    // and would fill an unread pipe.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
}

FileOutcome ProbeOneBlocking(const QString& path, const ProbeOptions& options) {
    if (auto error = CheckFile(path)) return *error;
    QProcess process;
    QuietChannels(process);
    const QDeadlineTimer deadline(options.timeLimitMs);
    process.start(options.program, Arguments(path), QIODevice::ReadOnly);
    if (!process.waitForStarted(static_cast<int>(deadline.remainingTime())) &&
        process.error() == QProcess::FailedToStart)
        return MissingProgram();

    QByteArray output;
    std::optional<RunEnd> forced;
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            forced = RunEnd::TimedOut;
            break;
        }
        const int wait = static_cast<int>(deadline.remainingTime());
        // Returns on new output; when there is none (stdout closed), wait
        // for the end instead of spinning.
        if (!process.waitForReadyRead(wait) && process.state() != QProcess::NotRunning)
            process.waitForFinished(static_cast<int>(deadline.remainingTime()));
        output += process.readAllStandardOutput();
        if (output.size() > kOutputLimit) {
            forced = RunEnd::Overflowed;
            break;
        }
    }
    if (forced) {
        process.kill();
        process.waitForFinished(-1);
        return Interpret(*forced, -1, {}, path, options);
    }
    output += process.readAllStandardOutput();
    const RunEnd end =
        process.exitStatus() == QProcess::CrashExit ? RunEnd::Crashed : RunEnd::Exited;
    return Interpret(end, process.exitCode(), output, path, options);
}

} // namespace

ProbeResult ProbeRecordings(const QStringList& paths, const ProbeOptions& options) {
    std::vector<FileFacts> facts;
    for (const QString& path : paths) {
        FileOutcome outcome = ProbeOneBlocking(path, options);
        if (auto* error = std::get_if<QString>(&outcome)) return {std::nullopt, *error};
        facts.push_back(std::get<FileFacts>(outcome));
    }
    return Summarise(facts);
}

RecordingProbe::RecordingProbe(ProbeOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (!process_) return;
        timedOut_ = true;
        process_->kill();
    });
}

RecordingProbe::~RecordingProbe() {
    // Before the QObject base deletes the child: its last signals must not
    // reach this half-destroyed probe.
    DropProcess();
}

bool RecordingProbe::Start(const QStringList& paths, Done done) {
    if (Busy() || !done) return false;
    paths_ = paths;
    facts_.clear();
    done_ = std::move(done);
    // Even a probe that ends at once reports from the event loop, as the
    // window expects.
    QTimer::singleShot(0, this, [this] { StartNext(); });
    return true;
}

void RecordingProbe::StartNext() {
    if (facts_.size() == static_cast<std::size_t>(paths_.size())) {
        Finish(Summarise(facts_));
        return;
    }
    const QString& path = paths_.at(static_cast<qsizetype>(facts_.size()));
    if (auto error = CheckFile(path)) {
        Finish({std::nullopt, *error});
        return;
    }
    process_ = new QProcess(this);
    QuietChannels(*process_);
    output_.clear();
    timedOut_ = false;
    overflowed_ = false;
    connect(process_, &QProcess::readyReadStandardOutput, this, [this] {
        output_ += process_->readAllStandardOutput();
        if (output_.size() > kOutputLimit && !overflowed_) {
            overflowed_ = true;
            process_->kill();
        }
    });
    connect(process_, &QProcess::finished, this, [this] { OnFinished(); });
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) Finish({std::nullopt, MissingProgram()});
    });
    timer_->start(options_.timeLimitMs);
    process_->start(options_.program, Arguments(path), QIODevice::ReadOnly);
}

void RecordingProbe::OnFinished() {
    output_ += process_->readAllStandardOutput();
    const QString path = paths_.at(static_cast<qsizetype>(facts_.size()));
    RunEnd end = RunEnd::Exited;
    if (timedOut_)
        end = RunEnd::TimedOut;
    else if (overflowed_)
        end = RunEnd::Overflowed;
    else if (process_->exitStatus() == QProcess::CrashExit)
        end = RunEnd::Crashed;
    FileOutcome outcome = Interpret(end, process_->exitCode(), output_, path, options_);
    DropProcess();
    if (auto* error = std::get_if<QString>(&outcome)) {
        Finish({std::nullopt, *error});
        return;
    }
    facts_.push_back(std::get<FileFacts>(outcome));
    StartNext();
}

void RecordingProbe::DropProcess() {
    timer_->stop();
    if (!process_) return;
    process_->disconnect(this);
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(-1);
    }
    process_->deleteLater();
    process_ = nullptr;
}

void RecordingProbe::Finish(ProbeResult result) {
    DropProcess();
    const Done done = std::exchange(done_, nullptr);
    paths_.clear();
    facts_.clear();
    output_.clear();
    done(result);
}

} // namespace tavik
