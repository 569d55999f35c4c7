// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc: the window's three calculations for scripts. Each command reads
// the options its button reads in the window, computes with the same core
// functions and prints the bare result (or, with --json, every input and the
// result). With --container the sums are those of a file as ffmpeg muxes it
// (core/Container.h) instead. check weighs recordings' bytes against a size.
// Exit status 2: a bad option or value; 1: the calculation failed, or check's
// recordings do not fit.
//
// argv is bytes: it is read as Latin-1, which maps every byte to one
// character and back, so a recording's name reaches the probe as the bytes
// the shell gave, UTF-8 or not.

#include "CalcValues.h"
#include "FitCheck.h"
#include "TavikCalcConfig.h"
#include "TerminationSignals.h"

#include "core/CalcError.h"
#include "core/Container.h"
#include "core/Formulas.h"
#include "core/IntField.h"
#include "i18n/CalcMessages.h"
#include "i18n/Language.h"
#include "media/RecordingProbe.h"
#include "winsys/EventDelivery.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {
namespace {

constexpr char kProgram[] = "tavik-calc";

struct OptionRow {
    const char* name;
    const char* valueName; // nullptr for a flag
    const char* help;
};

const OptionRow kOptions[] = {
    {"audio", "KBPS", "audio bit rate in Kbps"},
    {"video", "KBPS", "video bit rate in Kbps"},
    {"size", "MB", "file size in MB"},
    {"time", "TIME", "recording time as M:SS, H:MM:SS or seconds"},
    {"file", "REC", "a recording to take the time from, instead of --time (repeatable)"},
    {"split", "N/D", "keep N of D recorded episodes; scales the time (default 1/1)"},
    {"estimate", nullptr, "rate: print the estimate, not raised to the exact fit"},
    {"container", "NAME", "ts, m2ts, ps, mp4 or mkv: fit the file as ffmpeg muxes it"},
    {"fps", "RATE", "with --container: the video's frame rate (25, 29.97, 30000/1001)"},
    {"json", nullptr, "print every input and the result as one JSON object"},
    {"help", nullptr, "display this help and exit"},
    {"version", nullptr, "output version information and exit"},
};

enum class Command { Size, Rate, Time, Check };

struct CommandRow {
    Command command;
    const char* name;
    std::vector<const char*> takes;
};

// What each command reads: the inputs of its button in the window. The split
// and the exact fit are optional and keep the window's start-up state (1/1,
// exact), the container keeps the window's sums; every other input is
// required.
const CommandRow kCommands[] = {
    {Command::Size, "size", {"audio", "video", "time", "file", "split", "container", "fps"}},
    {Command::Rate,
     "rate",
     {"size", "time", "file", "audio", "split", "estimate", "container", "fps"}},
    {Command::Time, "time", {"audio", "video", "size", "container", "fps"}},
    {Command::Check, "check", {"size", "file"}},
};

bool Takes(const CommandRow& row, std::string_view name) {
    return std::any_of(row.takes.begin(), row.takes.end(),
                       [&](const char* taken) { return name == taken; });
}

const char kHelpHead[] =
    R"(Usage: tavik-calc size --audio KBPS --video KBPS --time TIME [--split N/D]
  or:  tavik-calc rate --size MB --time TIME --audio KBPS [--split N/D] [--estimate]
  or:  tavik-calc size|rate [--file] REC... [other options as above, no --time]
  or:  tavik-calc time --audio KBPS --video KBPS --size MB
  or:  tavik-calc size|rate|time ... --container NAME [--fps RATE] (no --estimate)
  or:  tavik-calc check --size MB [--file] REC...
Compute a recording's file size, video bit rate or recordable time exactly as
the Tavik window does, and print the bare result on one line; or check whether
recordings fit a size.

Commands:
  size      the file size in MB
  rate      the video bit rate in Kbps that fills the size: the largest whole
            rate whose file size still fits (the exact fit), unless --estimate
  time      the recordable time, as M:SS
  check     whether the recordings' bytes fit in the size, and each one's
            average total bit rate

Options:
)";

const char kHelpTail[] = R"(
Every option outside brackets is required; none defaults to a window value.
Values are whole numbers from 0 to 2147483647, read as the window reads its
fields (decimal, or hexadecimal after $, x or 0x); text the window would read
as 0 is an error here.

Units: without --container, as in the window, a Kbps is 1024 bit/s and an MB
is 1024 KB (1,048,576 bytes), and what the container adds to the streams
(headers, tables, padding, index) is left out: a file muxed at these rates can
come out over the size. With --container, rates are kbit/s of 1000 bit/s, as
ffmpeg reads "k" in -b:v 6000k, an MB is still 1,048,576 bytes, and the sums
count what that container adds as ffmpeg muxes it with its default options:
rate prints the largest whole video rate whose file fits the size, size the
MB the file needs (rounded up), time the longest whole-second time whose file
fits. --fps gives the video's frame rate, a whole or decimal number or a
fraction above 0 and at most 60, which can lower the container's share;
without it the largest share of any frame rate up to 60 is counted.

--file reads a recording with ffprobe (Debian package ffmpeg), as a drop onto
the window does: the recordings' playing times are summed and rounded up to a
whole second, and without --audio their audio rate is used (kbit/s of 1000
bit, rounded up; the largest over the files), where every one states one.
Recordings may also follow the options without --file, as a shell glob gives
them (rate --size 4482 ep*.ts); "--" ends the options, for a name that starts
with "-". Up to min(cores, 8) recordings are read at once. A recording's
duration is refused when ffprobe only estimated it from the bit rate, or when
it is over 24 hours or over twice what the file's size holds at its streams'
stated bit rates (a timestamp jump): a time taken short or hours long would
give a wrong rate.

check reads its recordings' playing times as --file does, refusals included,
and their lengths in bytes. It prints a line per recording,
NAME<TAB>BYTES bytes<TAB>SECONDS s<TAB>KBPS kbit/s (its bytes over its playing
time, in kbit/s of 1000 bit/s), then "fits: 1.23 MB spare" or "does not fit:
0.45 MB over" for all of them together against --size (spare MB rounded down,
missing MB rounded up). A name's control characters and bytes that are not
UTF-8 show as \n, \t, \r or \xNN.

Exit status: 0 on success, 1 when the calculation fails (a zero divisor), the
size cannot hold even the audio, a recording cannot be read, check's
recordings do not fit or the result cannot be written, 2 on a bad option or
value.
)";

std::string HelpText() {
    std::string text = kHelpHead;
    for (const OptionRow& row : kOptions) {
        std::string left = std::string("      --") + row.name;
        if (row.valueName) left += std::string("=") + row.valueName;
        left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
        text += left + row.help + "\n";
    }
    return text + kHelpTail;
}

std::string VersionText() {
    return std::string(kProgram) + " (Tavik) " + TAVIK_VERSION + "\n";
}

// The parsed options of one command. Reading a value that is not given is
// the error: the command needs it.
class Options {
public:
    Options(const QCommandLineParser& parser, const CommandRow& row) : parser_(parser), row_(row) {}

    bool IsSet(const char* name) const { return parser_.isSet(QLatin1String(name)); }

    std::string Value(const char* name) const {
        if (!IsSet(name)) throw UsageError(std::string(row_.name) + " needs " + Dashed(name));
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
    QList<QByteArray> files;            // the recordings the time came from, if any
    std::optional<Container> container; // without one, the window's sums
    std::optional<std::int32_t> milliFps;
};

// What the command prints, and its exit status when the text is written.
struct Printed {
    std::string text;
    int status = 0;
};

// A recording that could not be probed, or a result the command refuses:
// reported as the error box would.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

ProbeResult ProbeUntilSignalled(const QList<QByteArray>& files) {
    RecordingProbe probe;
    // No ffprobe outlives the command, even when it is stopped.
    const TerminationSignals onSignal([&probe] { probe.Stop(); });
    return probe.Run(files);
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
    if (options.IsSet("time")) throw UsageError("recordings and --time cannot both be given");
    const ProbeResult probed = ProbeUntilSignalled(calc.files);
    if (!probed.summary) throw CommandError(probed.error.toStdString());
    calc.time = ToMinSec(probed.summary->playSec);
    if (options.IsSet("audio"))
        calc.audio = options.Number("audio");
    else if (probed.summary->audioKbps)
        calc.audio = *probed.summary->audioKbps;
    else
        throw UsageError(std::string(calc.row->name) +
                         " needs --audio: the recordings state no audio rate");
}

Calculation ReadCalculation(const Options& options, const CommandRow& row) {
    for (const OptionRow& option : kOptions) {
        if (std::strcmp(option.name, "json") == 0 || !options.IsSet(option.name)) continue;
        if (!Takes(row, option.name))
            throw UsageError(std::string(row.name) + " does not take " +
                             Options::Dashed(option.name));
    }
    Calculation calc;
    calc.row = &row;
    // Read before any recording is probed: a bad value is found at once.
    if (options.IsSet("container"))
        calc.container = ReadContainer("--container", options.Value("container"));
    if (options.IsSet("fps") && !calc.container) throw UsageError("--fps needs --container");
    if (options.IsSet("fps")) calc.milliFps = ReadMilliFps("--fps", options.Value("fps"));
    if (calc.container && options.IsSet("estimate"))
        throw UsageError("--estimate cannot be given with --container: the rate that fits the "
                         "container is found exactly, with no estimate");
    if (row.command == Command::Check) {
        calc.sizeMB = options.Number("size");
        calc.files = options.Files();
        if (calc.files.isEmpty())
            throw UsageError("check needs recordings: --file REC or names after the options");
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

std::string JsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

// The recordings' playing times as --file reads them, and their lengths as
// the file system has them; status 1 when they do not fit.
Printed CheckRecordings(const Calculation& calc, bool json) {
    const ProbeResult probed = ProbeUntilSignalled(calc.files);
    if (!probed.summary) throw CommandError(probed.error.toStdString());
    FitCheck check{calc.sizeMB, {}};
    for (qsizetype i = 0; i < calc.files.size(); ++i) {
        const QByteArray& path = calc.files.at(i);
        struct stat st {};
        // Probed a moment ago, but it may have gone since.
        if (::stat(path.constData(), &st) != 0)
            throw CommandError(NotAReadableFile(path).toStdString());
        check.files.push_back(
            {path, st.st_size, probed.summary->files.at(static_cast<std::size_t>(i)).durationUs});
    }
    return {json ? JsonLine(CheckJson(check)) : CheckText(check), SpareBytes(check) < 0 ? 1 : 0};
}

// Runs the calculation; returns what to print.
Printed Compute(const Calculation& calc, bool json) {
    QJsonObject object{{"command", calc.row->name}};
    std::string result;
    const std::int32_t milliFps = calc.milliFps.value_or(kMaxMilliFps);
    // The container's bytes in a file of these rates and this time.
    const auto share = [&](std::int32_t video, std::int32_t seconds) {
        if (!calc.container) return;
        object["container"] = QString::fromLatin1(ContainerKey(*calc.container));
        object["container_bytes"] =
            qint64{ContainerShare(*calc.container, calc.audio, video, seconds, milliFps)};
        if (calc.milliFps) object["fps"] = *calc.milliFps / 1000.0;
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
        const std::int64_t size =
            calc.container ? FittedSizeMB(*calc.container, calc.audio, calc.video, t, milliFps)
                           : SizeMB(calc.audio, calc.video, t);
        object["size_mb"] = static_cast<qint64>(size);
        share(calc.video, t);
        result = IntToStr(size);
        break;
    }
    case Command::Rate: {
        object["size_mb"] = calc.sizeMB;
        object["audio_kbps"] = calc.audio;
        object["exact"] = calc.exact;
        const std::int32_t t = playingTime();
        const std::int32_t video =
            calc.container ? FittedVideoRate(*calc.container, calc.sizeMB, t, calc.audio, milliFps)
                           : VideoRate(KBOfMB(calc.sizeMB), t, calc.audio, calc.exact);
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
        const std::int32_t seconds =
            calc.container
                ? FittedTime(*calc.container, calc.audio, calc.video, calc.sizeMB, milliFps)
                : RecordableTime(calc.audio, calc.video, KBOfMB(calc.sizeMB));
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

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    return status;
}

int Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail(1, std::string("write error: ") + std::strerror(errno));
    return 0;
}

int Run(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    const auto echoed = [](const QString& text) {
        return Printable(text.toLatin1().toStdString());
    };
    QCommandLineParser parser;
    for (const OptionRow& row : kOptions) {
        const QString name = QLatin1String(row.name);
        parser.addOption(row.valueName
                             ? QCommandLineOption(name, QString(), QLatin1String(row.valueName))
                             : QCommandLineOption(name));
    }
    if (!parser.parse(arguments)) return Fail(2, echoed(parser.errorText()));
    if (parser.isSet("help")) return Print(HelpText());
    if (parser.isSet("version")) return Print(VersionText());

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Fail(2, "missing command: size, rate, time or check (see --help)");
    const CommandRow* row = nullptr;
    for (const CommandRow& candidate : kCommands) {
        if (positional.first() == QLatin1String(candidate.name)) row = &candidate;
    }
    if (!row) return Fail(2, "unknown command '" + echoed(positional.first()) + "'");
    // After the command come recordings, for the commands that read them.
    if (positional.size() > 1 && !Takes(*row, "file"))
        return Fail(2, "unexpected argument '" + echoed(positional.at(1)) + "'");

    // The probe runs ffprobe as a child process, which needs an application
    // object; plain calculations start faster without one.
    std::optional<QCoreApplication> application;
    if (parser.isSet(QStringLiteral("file")) || positional.size() > 1) {
        application.emplace(argc, argv);
        // The probe's messages are the window's, translated as it translates them.
        InstallTranslations(MessageLanguage());
    }

    Printed printed;
    try {
        printed = Compute(ReadCalculation(Options(parser, *row), *row), parser.isSet("json"));
    } catch (const UsageError& e) {
        return Fail(2, e.what());
    } catch (const CalcError& e) {
        // The window's message, in its language; looked up only on failure,
        // so a plain sum loads no translation.
        const char* source = CalcMessageSource(e);
        return Fail(
            1, ErrorBoxText(
                   source ? Translate(MessageLanguage(), kCalcErrorContext, source).toStdString()
                          : std::string(e.what())));
    } catch (const CommandError& e) {
        return Fail(1, ErrorBoxText(e.what()));
    }
    const int written = Print(printed.text);
    return written != 0 ? written : printed.status;
}

} // namespace
} // namespace tavik

int main(int argc, char** argv) {
    return tavik::Run(argc, argv);
}
