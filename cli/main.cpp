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
#include "TerminationSignals.h"

#include "console/Console.h"
#include "core/CalcError.h"
#include "core/Container.h"
#include "core/Formulas.h"
#include "core/IntField.h"
#include "i18n/CalcMessages.h"
#include "i18n/Language.h"
#include "media/RecordingProbe.h"

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
    {"audio", "KBPS", QT_TRANSLATE_NOOP("CalcCommand", "音声ビットレート (Kbps)")},
    {"video", "KBPS", QT_TRANSLATE_NOOP("CalcCommand", "映像ビットレート (Kbps)")},
    {"size", "MB", QT_TRANSLATE_NOOP("CalcCommand", "ファイルサイズ (MB)")},
    {"time", "TIME", QT_TRANSLATE_NOOP("CalcCommand", "録画時間。M:SS、H:MM:SS または秒数")},
    {"file", "REC",
     QT_TRANSLATE_NOOP("CalcCommand", "--time の代わりに時間を読み取る録画ファイル (繰り返し可)")},
    {"split", "N/D",
     QT_TRANSLATE_NOOP("CalcCommand",
                       "録画した D 話のうち N 話を残す。時間がその割合になる (既定 1/1)")},
    {"estimate", nullptr,
     QT_TRANSLATE_NOOP("CalcCommand", "rate: ぴったりに上げない概算を表示する")},
    {"container", "NAME",
     QT_TRANSLATE_NOOP("CalcCommand",
                       "ts、m2ts、ps、mp4、mkv: ffmpeg が多重化したファイルで合わせる")},
    {"fps", "RATE",
     QT_TRANSLATE_NOOP("CalcCommand",
                       "--container と共に: 映像のフレームレート (25、29.97、30000/1001)")},
    {"json", nullptr,
     QT_TRANSLATE_NOOP("CalcCommand", "すべての入力と結果を一つの JSON オブジェクトで表示する")},
    {"help", nullptr, QT_TRANSLATE_NOOP("CalcCommand", "このヘルプを表示して終了する")},
    {"version", nullptr, QT_TRANSLATE_NOOP("CalcCommand", "バージョン情報を表示して終了する")},
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

// The designed language is the source text; English, the default for help
// on a terminal, is its translation.
const char kHelpHead[] = QT_TRANSLATE_NOOP(
    "CalcCommand",
    "使い方: tavik-calc size --audio KBPS --video KBPS --time TIME [--split N/D]\n"
    "  または: tavik-calc rate --size MB --time TIME --audio KBPS [--split N/D] [--estimate]\n"
    "  または: tavik-calc size|rate [--file] REC... [ほかのオプションは上と同じ、--time なし]\n"
    "  または: tavik-calc time --audio KBPS --video KBPS --size MB\n"
    "  または: tavik-calc size|rate|time ... --container NAME [--fps RATE] (--estimate なし)\n"
    "  または: tavik-calc check --size MB [--file] REC...\n"
    "録画のファイルサイズ、映像ビットレート、録画可能時間を Tavik のウィンドウと\n"
    "まったく同じに求め、結果だけを 1 行で表示します。または、録画ファイルが\n"
    "サイズに収まるかを調べます。\n"
    "\n"
    "コマンド:\n"
    "  size      ファイルサイズ (MB)\n"
    "  rate      サイズを満たす映像ビットレート (Kbps)。--estimate がなければ、\n"
    "            ファイルサイズがまだ収まる最大の整数のビットレート (ぴったり)\n"
    "  time      録画可能時間 (M:SS)\n"
    "  check     録画ファイルのバイト数がサイズに収まるかと、各ファイルの\n"
    "            平均の総ビットレート\n"
    "\n"
    "オプション:\n");

const char kHelpTail[] = QT_TRANSLATE_NOOP(
    "CalcCommand",
    "\n"
    "角括弧の外のオプションはすべて必須です。ウィンドウの値を既定値にするものは\n"
    "ありません。値は 0 から 2147483647 までの整数で、ウィンドウが欄を読むのと\n"
    "同じに読みます (10 進数、または $、x、0x の後は 16 進数)。ウィンドウが 0 と\n"
    "読むような文字列は、ここではエラーです。\n"
    "\n"
    "単位: --container なしでは、ウィンドウと同じく 1 Kbps は 1024 bit/s、1 MB は\n"
    "1024 KB (1,048,576 バイト) で、コンテナがストリームに加える分 (ヘッダー、\n"
    "テーブル、パディング、インデックス) は含みません。このビットレートで多重化した\n"
    "ファイルはサイズを超えることがあります。--container ありでは、ビットレートは\n"
    "ffmpeg が -b:v 6000k の「k」を読むのと同じく 1000 bit/s の kbit/s、1 MB は\n"
    "やはり 1,048,576 バイトで、そのコンテナを ffmpeg が既定のオプションで\n"
    "多重化したときに加わる分も数えます。rate はファイルがサイズに収まる最大の\n"
    "整数の映像ビットレートを、size はファイルに要る MB (切り上げ) を、time は\n"
    "ファイルが収まる秒単位の最長の時間を表示します。--fps は映像のフレームレートで、\n"
    "0 より大きく 60 以下の整数、小数または分数です。コンテナの分が減ることが\n"
    "あります。指定しなければ、60 までのどのフレームレートでも足りる最大の分を\n"
    "数えます。\n"
    "\n"
    "--file は ffprobe (Debian パッケージ ffmpeg) で録画ファイルを読みます。\n"
    "ウィンドウへのドロップと同じく、録画ファイルの再生時間を合計して秒単位に\n"
    "切り上げ、--audio がなければ、どのファイルにも音声ビットレートの記載がある\n"
    "ときにその値 (1000 bit の kbit/s、切り上げ、ファイル中の最大) を使います。\n"
    "録画ファイルは、シェルのグロブが並べるように --file なしでオプションの後に\n"
    "置くこともできます (rate --size 4482 ep*.ts)。\"--\" でオプションが終わるので、\n"
    "\"-\" で始まる名前はその後に置きます。録画ファイルは同時に min(コア数, 8) 個\n"
    "まで読みます。ffprobe がビットレートから推定しただけの再生時間や、24 時間を\n"
    "超える再生時間、ファイルのサイズがストリームの記載のビットレートで収める\n"
    "時間の 2 倍を超える再生時間 (タイムスタンプの飛び) は受け付けません。短すぎたり\n"
    "何時間も長すぎたりする時間では、ビットレートを誤るためです。\n"
    "\n"
    "check は録画ファイルの再生時間を --file と同じに (受け付けない場合も含めて)、\n"
    "その長さをバイト数で読みます。録画ファイルごとに\n"
    "NAME<TAB>BYTES bytes<TAB>SECONDS s<TAB>KBPS kbit/s (バイト数を再生時間で\n"
    "割った値、1000 bit/s の kbit/s) の 1 行を表示し、最後にすべてをまとめて\n"
    "--size と比べた \"収まります: 残り 1.23 MB\" または \"収まりません: 0.45 MB 超過\"\n"
    "を表示します (残りの MB は切り捨て、足りない MB は切り上げ)。名前の制御文字と\n"
    "UTF-8 でないバイトは \\n、\\t、\\r、\\xNN で表示します。\n"
    "\n"
    "終了ステータス: 成功したとき 0、計算に失敗したとき (0 による除算)、サイズに\n"
    "音声だけでも収まらないとき、録画ファイルを読めないとき、check の録画ファイルが\n"
    "収まらないとき、結果を書き込めないときは 1、オプションや値が正しくないとき 2。\n");

std::string HelpText() {
    std::string text = UsageText(kHelpHead);
    for (const OptionRow& row : kOptions) {
        std::string left = std::string("      --") + row.name;
        if (row.valueName) left += std::string("=") + row.valueName;
        left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
        text += left + UsageText(row.help) + "\n";
    }
    return text + UsageText(kHelpTail);
}

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
    if (options.IsSet("time"))
        throw UsageError(UsageText(
            QT_TRANSLATE_NOOP("CalcCommand", "録画ファイルと --time は同時に指定できません")));
    const ProbeResult probed = ProbeUntilSignalled(calc.files);
    if (!probed.summary) throw CommandError(probed.error.toStdString());
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
    for (const OptionRow& option : kOptions) {
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
        calc.container = ReadContainer("--container", options.Value("container"));
    if (options.IsSet("fps") && !calc.container)
        throw UsageError(
            UsageText(QT_TRANSLATE_NOOP("CalcCommand", "--fps には --container が必要です")));
    if (options.IsSet("fps")) calc.milliFps = ReadMilliFps("--fps", options.Value("fps"));
    if (calc.container && options.IsSet("estimate"))
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
    return tavik::Fail(kProgram, status, message);
}

int Print(const std::string& text) {
    return tavik::Print(kProgram, text);
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
    if (parser.isSet("version")) return Print(VersionLine(kProgram));

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Fail(2, UsageText(QT_TRANSLATE_NOOP(
                           "CalcCommand", "コマンドがありません: size、rate、time、check の"
                                          "どれかを指定してください (--help を参照)")));
    const CommandRow* row = nullptr;
    for (const CommandRow& candidate : kCommands) {
        if (positional.first() == QLatin1String(candidate.name)) row = &candidate;
    }
    if (!row)
        return Fail(2, UsageText(QT_TRANSLATE_NOOP("CalcCommand", "不明なコマンド '%1'"),
                                 {echoed(positional.first())}));
    // After the command come recordings, for the commands that read them.
    if (positional.size() > 1 && !Takes(*row, "file"))
        return Fail(2, UsageText(QT_TRANSLATE_NOOP("CalcCommand", "余分な引数 '%1'"),
                                 {echoed(positional.at(1))}));

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
        return Fail(
            1, ErrorBoxText(Translate(MessageLanguage(), kCalcErrorContext, CalcMessageSource(e))
                                .toStdString()));
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
