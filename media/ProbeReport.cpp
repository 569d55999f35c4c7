// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProbeReport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>

namespace tavik {

namespace {

constexpr std::int64_t kUsPerSecond = 1'000'000;
constexpr std::int64_t kLongestUs = std::int64_t{24} * 3600 * kUsPerSecond;
// Whole seconds beyond this are clamped; they are far over the longest anyway.
constexpr std::int64_t kClampSeconds = 1'000'000'000;
// A stream rate or a file size beyond these is not what ffprobe writes.
constexpr std::int64_t kMostBitsPerSecond = kClampSeconds - 1;
constexpr std::int64_t kMostBytes = std::int64_t{1} << 50;
// A duration over this many times what the size holds is a timestamp jump.
constexpr double kMostOverSize = 2.0;

// The file's name as the message shows it, on one line.
QString DisplayName(const QByteArray& path) {
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    QString text = QString::fromUtf8(name.isEmpty() ? path : name);
    for (QChar& c : text)
        if ((!c.isPrint() && !c.isSurrogate()) || c == QChar::ReplacementCharacter)
            c = QLatin1Char('?');
    return text;
}

// A message about one file, %1 standing for its name; translated whole, so
// the name stands where the language puts it.
QString AboutFile(const char* text, const QByteArray& path) {
    return QCoreApplication::translate("ProbeReport", text).arg(DisplayName(path));
}

QString Unreadable(const QByteArray& path) {
    return AboutFile(
        QT_TRANSLATE_NOOP("ProbeReport", "「%1」について ffprobe の出力を読み取れません。"), path);
}

// H:MM:SS, to the nearest second.
QString Clock(double us) {
    const auto s = static_cast<std::int64_t>(us / kUsPerSecond + 0.5);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

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

// A whole number as ffprobe writes rates and sizes: digits only, up to most.
// Absent, "N/A" and 0 are no value.
bool ReadWhole(const QJsonValue& value, std::int64_t most, std::optional<std::int64_t>& whole) {
    whole.reset();
    if (value.isUndefined()) return true;
    if (!value.isString()) return false;
    const QString text = value.toString();
    if (text == QLatin1String("N/A")) return true;
    if (text.isEmpty()) return false;
    std::int64_t n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        n = n * 10 + (c.unicode() - '0');
        if (n > most) return false;
    }
    if (n > 0) whole = n;
    return true;
}

// What the report states, before the checks.
struct Report {
    std::optional<std::int64_t> videoUs;     // the longest video stream's
    std::optional<std::int64_t> containerUs; // the format's
    std::optional<std::int64_t> sizeBytes;
    std::int64_t statedBitsPerSecond = 0; // summed over the streams that state a rate
    std::int64_t audioBitsPerSecond = 0;
    bool audioStated = false;
    bool audioUnstated = false;
};

bool ReadStream(const QJsonValue& stream, Report& report) {
    if (!stream.isObject()) return false;
    const QJsonObject s = stream.toObject();
    const QJsonValue type = s.value(QLatin1String("codec_type"));
    const QJsonValue disposition = s.value(QLatin1String("disposition"));
    if ((!type.isUndefined() && !type.isString()) ||
        (!disposition.isUndefined() && !disposition.isObject()))
        return false;
    const QJsonValue picture = disposition.toObject().value(QLatin1String("attached_pic"));
    if (!picture.isUndefined() && !picture.isDouble()) return false;
    std::optional<std::int64_t> bits;
    if (!ReadWhole(s.value(QLatin1String("bit_rate")), kMostBitsPerSecond, bits)) return false;
    report.statedBitsPerSecond += bits.value_or(0);
    if (type.toString() == QLatin1String("video") && picture.toInt() != 1) {
        // A cover picture is a video stream too, but has no playing time.
        std::optional<std::int64_t> us;
        if (!ReadDecimalUs(s.value(QLatin1String("duration")), us)) return false;
        if (us && (!report.videoUs || *us > *report.videoUs)) report.videoUs = us;
    } else if (type.toString() == QLatin1String("audio")) {
        report.audioBitsPerSecond += bits.value_or(0);
        (bits ? report.audioStated : report.audioUnstated) = true;
    }
    return true;
}

std::optional<Report> ParseReport(const QByteArray& json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) return {};
    const QJsonObject root = document.object();
    const QJsonValue format = root.value(QLatin1String("format"));
    const QJsonValue streams = root.value(QLatin1String("streams"));
    if ((!format.isUndefined() && !format.isObject()) ||
        (!streams.isUndefined() && !streams.isArray()))
        return {};
    Report report;
    for (const QJsonValue& stream : streams.toArray())
        if (!ReadStream(stream, report)) return {};
    const QJsonObject f = format.toObject();
    if (!ReadDecimalUs(f.value(QLatin1String("duration")), report.containerUs) ||
        !ReadWhole(f.value(QLatin1String("size")), kMostBytes, report.sizeBytes))
        return {};
    return report;
}

} // namespace

QString NotAReadableFile(const QByteArray& path) {
    return AboutFile(QT_TRANSLATE_NOOP("ProbeReport", "「%1」は読み取れるファイルではありません。"),
                     path);
}

QString ProbeStopped() {
    return QCoreApplication::translate("ProbeReport", "録画ファイルの調査を中止しました。");
}

FileOutcome ReadReport(const QByteArray& path, const QByteArray& json, const QByteArray& warnings,
                       const ts::RecordingFacts* own) {
    const std::optional<Report> report = ParseReport(json);
    if (!report) return Unreadable(path);
    using Status = ts::RecordingFacts::Status;
    if (own && own->status == Status::NoSuchProgramme)
        return QCoreApplication::translate("ProbeReport", "「%1」にサービス %2 はありません。")
            .arg(DisplayName(path))
            .arg(own->wanted);
    const bool ownTime = own && own->status == Status::Read;
    // Transport streams' container durations can be days off after a
    // timestamp wrap; the video stream's is the playing time.
    const std::optional<std::int64_t> us = ownTime           ? own->durationUs
                                           : report->videoUs ? report->videoUs
                                                             : report->containerUs;
    if (!us || *us == 0)
        return AboutFile(QT_TRANSLATE_NOOP("ProbeReport", "「%1」の再生時間がわかりません。"),
                         path);
    if (!ownTime && warnings.contains("Estimating duration from bitrate"))
        return AboutFile(QT_TRANSLATE_NOOP("ProbeReport",
                                           "「%1」の再生時間はビットレートから推定した値で、"
                                           "正確ではないため使えません。"),
                         path);
    if (*us > kLongestUs)
        return AboutFile(QT_TRANSLATE_NOOP("ProbeReport",
                                           "「%1」の再生時間が 24 時間を超えています。"
                                           "時刻情報が壊れている可能性があります。"),
                         path);
    if (report->sizeBytes && report->statedBitsPerSecond > 0) {
        // Floating point: only a gross excess matters, and the product of a
        // size and a duration can pass 64 bits.
        const double holdsUs = static_cast<double>(*report->sizeBytes) * 8 * kUsPerSecond /
                               static_cast<double>(report->statedBitsPerSecond);
        if (static_cast<double>(*us) > kMostOverSize * holdsUs)
            return QCoreApplication::translate(
                       "ProbeReport",
                       "「%1」の再生時間 %2 は、ファイルの大きさとビットレートから見込める長さ"
                       " %3 の 2 倍を超えています。時刻情報が壊れている可能性があります。")
                .arg(DisplayName(path), Clock(static_cast<double>(*us)), Clock(holdsUs));
    }
    FileFacts facts;
    facts.durationUs = *us;
    if (ownTime) {
        facts.stream = *own;
        if (own->audioBitsPerSecond > 0) facts.audioBitsPerSecond = own->audioBitsPerSecond;
    } else if (report->audioStated && !report->audioUnstated) {
        facts.audioBitsPerSecond = report->audioBitsPerSecond;
    }
    return facts;
}

FileOutcome ReadProbeRun(const QByteArray& path, const ProbeRun& run,
                         const ts::RecordingFacts* own) {
    switch (run.end) {
    case ProbeRun::End::FailedToStart:
        return QCoreApplication::translate(
            "ProbeReport",
            "ffprobe を起動できません。Debian パッケージ ffmpeg をインストールしてください。");
    case ProbeRun::End::TimedOut:
        return QCoreApplication::translate("ProbeReport",
                                           "「%1」の調査が %2 秒以内に終わらないため中止しました。")
            .arg(DisplayName(path), QString::number(run.timeLimitMs / 1000.0));
    case ProbeRun::End::Crashed:
        return AboutFile(QT_TRANSLATE_NOOP("ProbeReport",
                                           "「%1」を調べている途中で ffprobe が異常終了しました。"),
                         path);
    case ProbeRun::End::Overflowed:
        return Unreadable(path);
    case ProbeRun::End::Exited:
        break;
    }
    if (run.exitCode != 0)
        return AboutFile(QT_TRANSLATE_NOOP("ProbeReport",
                                           "「%1」は壊れているか、動画や音声のファイルではないため"
                                           "読み取れません。"),
                         path);
    return ReadReport(path, run.report, run.warnings, own);
}

QJsonObject FileFactsJson(const FileFacts& facts) {
    // kbit/s of 1000, rounded up, as the sums take them.
    const auto kbps = [](std::int64_t bits) { return qint64{(bits + 999) / 1000}; };
    QJsonObject object{{"seconds", static_cast<double>(facts.durationUs) / kUsPerSecond}};
    if (facts.audioBitsPerSecond) object["audio_kbps"] = kbps(*facts.audioBitsPerSecond);
    if (!facts.stream) return object;
    const ts::RecordingFacts& own = *facts.stream;
    QJsonArray programmes;
    for (const std::uint16_t p : own.programmes)
        programmes.append(p);
    QJsonArray stretches;
    for (const std::int64_t ticks : own.stretchTicks)
        stretches.append(static_cast<double>((ticks + 89) / 90) / 1000); // ms, rounded up
    QJsonArray audio;
    for (const ts::AudioRate& a : own.audio)
        audio.append(QJsonObject{{"pid", a.pid}, {"kbps", kbps(a.bitsPerSecond)}});
    object["programme"] = own.programme;
    object["programmes"] = programmes;
    object["stretches"] = own.stretches;
    object["stretch_seconds"] = stretches;
    object["audio"] = audio;
    return object;
}

ProbeResult Summarise(const std::vector<FileFacts>& files) {
    if (files.empty())
        return {std::nullopt,
                QCoreApplication::translate("ProbeReport", "録画ファイルがありません。")};
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
        return {std::nullopt, QCoreApplication::translate(
                                  "ProbeReport", "録画ファイルの合計の再生時間が長すぎます。")};
    RecordingSummary summary;
    summary.playSec = static_cast<std::int32_t>(seconds);
    summary.files = files;
    if (everyFileStatesAudio && kbps <= std::numeric_limits<std::int32_t>::max())
        summary.audioKbps = static_cast<std::int32_t>(kbps);
    return {summary, QString()};
}

} // namespace tavik
