// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcCommand.h"

#include "CalcOptions.h"
#include "CalcValues.h"
#include "FitCheck.h"
#include "TerminationSignals.h"

#include "core/CalcError.h"
#include "core/Container.h"
#include "core/Formulas.h"
#include "core/IntField.h"
#include "media/RecordingProbe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tavik {

enum class Command { Size, Rate, Time, Check };

struct CommandRow {
    Command command;
    const char* name;
    std::vector<const char*> takes; // the options it reads, without their dashes
};

namespace {

// What each command reads: the inputs of its button in the window. The split
// and the exact fit are optional and keep the window's start-up state (1/1,
// exact), the container keeps the window's sums; every other input is
// required.
const CommandRow kCommands[] = {
    {Command::Size,
     "size",
     {"audio", "video", "time", "file", "split", "container", "fps", "service"}},
    {Command::Rate,
     "rate",
     {"size", "time", "file", "audio", "split", "estimate", "container", "fps", "service"}},
    {Command::Time, "time", {"audio", "video", "size", "container", "fps"}},
    {Command::Check, "check", {"size", "file", "service"}},
};

// The parsed options of one command. Reading a value that is not given is
// the error: the command needs it.
class Options {
public:
    Options(const QCommandLineParser& parser, const CommandRow& row) : parser_(parser), row_(row) {}

    bool IsSet(const char* name) const { return parser_.isSet(QLatin1String(name)); }

    std::string Value(const char* name) const {
        if (!IsSet(name))
            throw UsageError(UsageText(QT_TRANSLATE_NOOP("CalcCommand", "%1 には %2 が必要です"),
                                       {row_.name, Dashed(name)}));
        return parser_.value(QLatin1String(name)).toLatin1().toStdString();
    }

    std::int32_t Number(const char* name) const { return ReadNumber(Dashed(name), Value(name)); }

    // The recordings: every --file, then the arguments after the command.
    QList<QByteArray> Files() const {
        QList<QByteArray> files;
        QStringList given = parser_.values(QStringLiteral("file"));
        given += parser_.positionalArguments().mid(1);
        for (const QString& file : given)
            files << file.toLatin1();
        return files;
    }

    static std::string Dashed(const char* name) { return std::string("--") + name; }

private:
    const QCommandLineParser& parser_;
    const CommandRow& row_;
};

// Everything one command computes from and its result, as --json shows it.
struct Calculation {
    const CommandRow* row = nullptr;
    std::int32_t audio = 0;
    std::int32_t video = 0;
    std::int32_t sizeMB = 0;
    MinSec time{0, 0};
    Split split{1, 1};
    bool exact = true;
    QList<QByteArray> files;              // the recordings the time came from, if any
    std::optional<std::uint16_t> service; // the transport streams' programme, if given
    std::vector<FileFacts> facts;         // what was read of each recording
    Muxing muxing;                        // Container::None: the window's designed sums
    bool fpsGiven = false;
};

ProbeResult ProbeUntilSignalled(const Calculation& calc) {
    ProbeOptions options;
    options.service = calc.service;
    RecordingProbe probe(options);
    // No ffprobe outlives the command, even when it is stopped.
    const TerminationSignals onSignal([&probe] { probe.Stop(); });
    return probe.Run(calc.files);
}

// The recording's time and audio rate: from --time and --audio, or from the
// recordings given with --file, probed as a drop onto the window probes them
// (their summed, rounded-up playing time; their audio rate unless --audio is
// given).
void ReadRecording(const Options& options, Calculation& calc) {
    if (!Takes(*calc.row, "time")) {
        calc.audio = options.Number("audio");
        return;
    }
    calc.files = options.Files();
    if (calc.files.isEmpty()) {
        calc.time = ReadTime("--time", options.Value("time"));
        calc.audio = options.Number("audio");
        return;
    }
    if (options.IsSet("time"))
        throw UsageError(UsageText(
            QT_TRANSLATE_NOOP("CalcCommand", "録画ファイルと --time は同時に指定できません")));
    const ProbeResult probed = ProbeUntilSignalled(calc);
    if (!probed.summary) throw CommandError(probed.error.toStdString());
    calc.facts = probed.summary->files;
    calc.time = ToMinSec(probed.summary->playSec);
    if (options.IsSet("audio"))
        calc.audio = options.Number("audio");
    else if (probed.summary->audioKbps)
        calc.audio = *probed.summary->audioKbps;
    else
        throw UsageError(
            UsageText(QT_TRANSLATE_NOOP("CalcCommand", "%1 には --audio が必要です: 録画ファイルに"
                                                       "音声ビットレートの記載がありません"),
                      {calc.row->name}));
}

Calculation ReadCalculation(const Options& options, const CommandRow& row) {
    for (const OptionRow& option : OptionTable()) {
        if (std::strcmp(option.name, "json") == 0 || !options.IsSet(option.name)) continue;
        if (!Takes(row, option.name))
            throw UsageError(
                UsageText(QT_TRANSLATE_NOOP("CalcCommand", "%1 には %2 を指定できません"),
                          {row.name, Options::Dashed(option.name)}));
    }
    Calculation calc;
    calc.row = &row;
    // Read before any recording is probed: a bad value is found at once.
    if (options.IsSet("container"))
        calc.muxing.container = ReadContainer("--container", options.Value("container"));
    const bool container = calc.muxing.container != Container::None;
    if (options.IsSet("fps") && !container)
        throw UsageError(
            UsageText(QT_TRANSLATE_NOOP("CalcCommand", "--fps には --container が必要です")));
    calc.fpsGiven = options.IsSet("fps");
    if (calc.fpsGiven) calc.muxing.milliFps = ReadMilliFps("--fps", options.Value("fps"));
    if (options.IsSet("service")) calc.service = ReadService("--service", options.Value("service"));
    if (container && options.IsSet("estimate"))
        throw UsageError(UsageText(QT_TRANSLATE_NOOP(
            "CalcCommand", "--estimate は --container と同時に指定できません: コンテナに"
                           "収まるビットレートは概算せずに正確に求めます")));
    if (row.command == Command::Check) {
        calc.sizeMB = options.Number("size");
        calc.files = options.Files();
        if (calc.files.isEmpty())
            throw UsageError(UsageText(QT_TRANSLATE_NOOP(
                "CalcCommand", "check には録画ファイルが必要です: --file REC で、またはオプションの"
                               "後に名前を並べて指定してください")));
        return calc;
    }
    ReadRecording(options, calc);
    if (Takes(row, "video")) calc.video = options.Number("video");
    if (Takes(row, "size")) calc.sizeMB = options.Number("size");
    if (options.IsSet("split")) calc.split = ReadSplit("--split", options.Value("split"));
    calc.exact = !options.IsSet("estimate");
    return calc;
}

std::int32_t PlayingTime(const Calculation& calc) {
    return PlaySec(calc.time.minutes, calc.time.seconds, calc.split.saved, calc.split.recorded);
}

// Each file's entry with what was read of it.
QJsonArray WithFacts(QJsonArray files, const std::vector<FileFacts>& facts) {
    for (qsizetype i = 0; i < files.size() && i < static_cast<qsizetype>(facts.size()); ++i) {
        QJsonObject file = files[i].toObject();
        const QJsonObject read = FileFactsJson(facts[static_cast<std::size_t>(i)]);
        for (auto it = read.begin(); it != read.end(); ++it)
            if (!file.contains(it.key())) file.insert(it.key(), it.value());
        files[i] = file;
    }
    return files;
}

std::string JsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

// The recordings' playing times as --file reads them, and their lengths as
// the file system has them; status 1 when they do not fit.
Printed CheckRecordings(const Calculation& calc, bool json) {
    const ProbeResult probed = ProbeUntilSignalled(calc);
    if (!probed.summary) throw CommandError(probed.error.toStdString(), 2);
    FitCheck check{calc.sizeMB, {}};
    for (qsizetype i = 0; i < calc.files.size(); ++i) {
        const QByteArray& path = calc.files.at(i);
        struct stat st {};
        // Probed a moment ago, but it may have gone since.
        if (::stat(path.constData(), &st) != 0)
            throw CommandError(NotAReadableFile(path).toStdString(), 2);
        check.files.push_back(
            {path, st.st_size, probed.summary->files.at(static_cast<std::size_t>(i)).durationUs});
    }
    QJsonObject object = CheckJson(check);
    object["files"] = WithFacts(object["files"].toArray(), probed.summary->files);
    return {json ? JsonLine(object) : CheckText(check), SpareBytes(check) < 0 ? 1 : 0};
}

// Runs the calculation; returns what to print.
Printed Compute(const Calculation& calc, bool json) {
    QJsonObject object{{"command", calc.row->name}};
    std::string result;
    const Muxing& muxing = calc.muxing;
    // The container's bytes in a file of these rates and this time.
    const auto share = [&](std::int32_t video, std::int32_t seconds) {
        if (muxing.container == Container::None) return;
        object["container"] = QString::fromLatin1(ContainerKey(muxing.container));
        object["container_bytes"] =
            qint64{ContainerShare(muxing.container, calc.audio, video, seconds, muxing.milliFps)};
        if (calc.fpsGiven) object["fps"] = muxing.milliFps / 1000.0;
    };
    const auto recordingTime = [&](MinSec time) {
        object["time"] = QString::fromStdString(TimeText(time));
        object["time_s"] = qint64{time.minutes} * 60 + time.seconds;
    };
    const auto playingTime = [&] {
        QJsonArray files; // JSON holds text: a name that is not UTF-8 shows U+FFFD
        for (const QByteArray& file : calc.files)
            files.append(QString::fromUtf8(file));
        if (!files.isEmpty()) object["files"] = files;
        QJsonArray recordings;
        for (const QJsonValue& file : files)
            recordings.append(QJsonObject{{"name", file}});
        if (!files.isEmpty()) object["recordings"] = WithFacts(recordings, calc.facts);
        recordingTime(calc.time);
        object["split_saved"] = calc.split.saved;
        object["split_recorded"] = calc.split.recorded;
        const std::int32_t t = PlayingTime(calc);
        object["play_s"] = t;
        return t;
    };
    switch (calc.row->command) {
    case Command::Size: {
        object["audio_kbps"] = calc.audio;
        object["video_kbps"] = calc.video;
        const std::int32_t t = playingTime();
        const std::int64_t size = SizeFor(muxing, calc.audio, calc.video, t);
        object["size_mb"] = static_cast<qint64>(size);
        share(calc.video, t);
        result = IntToStr(size);
        break;
    }
    case Command::Rate: {
        object["size_mb"] = calc.sizeMB;
        object["audio_kbps"] = calc.audio;
        object["exact"] = calc.exact;
        std::int32_t t = 0;
        const std::int32_t video =
            VideoRateFor(muxing, calc.exact,
                         {[&] { return KBOfMB(calc.sizeMB); }, [&] { return t = playingTime(); },
                          [&] { return calc.audio; }});
        // The window shows it; ffmpeg would refuse it.
        if (video < 0) throw CalcError(CalcError::Kind::SizeTooSmall);
        object["video_kbps"] = video;
        share(video, t);
        result = IntToStr(video);
        break;
    }
    case Command::Time: {
        object["audio_kbps"] = calc.audio;
        object["video_kbps"] = calc.video;
        object["size_mb"] = calc.sizeMB;
        const std::int32_t seconds = TimeFor(muxing, calc.audio, calc.video, KBOfMB(calc.sizeMB));
        const MinSec time = ToMinSec(seconds);
        recordingTime(time);
        share(calc.video, seconds);
        result = TimeText(time);
        break;
    }
    case Command::Check:
        return CheckRecordings(calc, json);
    }
    return {json ? JsonLine(object) : result + "\n"};
}

} // namespace

const CommandRow* FindCommand(const QString& name) {
    for (const CommandRow& row : kCommands) {
        if (name == QLatin1String(row.name)) return &row;
    }
    return nullptr;
}

bool Takes(const CommandRow& row, std::string_view name) {
    return std::any_of(row.takes.begin(), row.takes.end(),
                       [&](const char* taken) { return name == taken; });
}

Printed RunCommand(const QCommandLineParser& parser, const CommandRow& row) {
    return Compute(ReadCalculation(Options(parser, row), row), parser.isSet("json"));
}

} // namespace tavik
