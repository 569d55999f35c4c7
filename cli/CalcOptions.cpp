// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcOptions.h"

#include "CalcValues.h"
#include "core/Container.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <string_view>

namespace tavik {
namespace {

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
    "まで読みます。MPEG-TS と M2TS は、再生時間と音声ビットレートをファイルの\n"
    "バイト列から読みます。番組 (既定は映像が最も多いもの、--service で指定) の\n"
    "時計が戻ったり、間のバイト数では収まらないほど進んだりしたところで区切り、\n"
    "連続した区間の長さを合計します (33 ビットの一周は区切りではありません)。\n"
    "音声ビットレートは、番組のすべての音声ストリームのバイト数をその時間で\n"
    "割った値です。64 MiB を超えるファイルは、抜き取って読みます。\n"
    "ffprobe がビットレートから推定しただけの再生時間や、24 時間を\n"
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
    "収まらないとき、結果を書き込めないときは 1、オプションや値が正しくないときと、\n"
    "check が録画ファイルを読めないときは 2 (cmp や diff と同じ)。\n");

} // namespace

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> options = {
        {"audio", "KBPS", QT_TRANSLATE_NOOP("CalcCommand", "音声ビットレート (Kbps)")},
        {"video", "KBPS", QT_TRANSLATE_NOOP("CalcCommand", "映像ビットレート (Kbps)")},
        {"size", "MB", QT_TRANSLATE_NOOP("CalcCommand", "ファイルサイズ (MB)")},
        {"time", "TIME", QT_TRANSLATE_NOOP("CalcCommand", "録画時間。M:SS、H:MM:SS または秒数")},
        {"file", "REC",
         QT_TRANSLATE_NOOP("CalcCommand",
                           "--time の代わりに時間を読み取る録画ファイル (繰り返し可)")},
        {"split", "N/D",
         QT_TRANSLATE_NOOP("CalcCommand",
                           "録画した D 話のうち N 話を残す。時間がその割合になる (既定 1/1)")},
        {"estimate", nullptr,
         QT_TRANSLATE_NOOP("CalcCommand", "rate: ぴったりに上げない概算を表示する")},
        // %1: the containers but the last, %2: the last (HelpText).
        {"container", "NAME",
         QT_TRANSLATE_NOOP("CalcCommand", "%1、%2: ffmpeg が多重化したファイルで合わせる")},
        {"fps", "RATE",
         QT_TRANSLATE_NOOP("CalcCommand",
                           "--container と共に: 映像のフレームレート (25、29.97、30000/1001)")},
        {"service", "ID",
         QT_TRANSLATE_NOOP("CalcCommand", "MPEG-TS の録画ファイルで読むサービス (番組) の ID")},
        {"json", nullptr,
         QT_TRANSLATE_NOOP("CalcCommand",
                           "すべての入力と結果を一つの JSON オブジェクトで表示する")},
        {"help", nullptr, QT_TRANSLATE_NOOP("CalcCommand", "このヘルプを表示して終了する")},
        {"version", nullptr, QT_TRANSLATE_NOOP("CalcCommand", "バージョン情報を表示して終了する")},
    };
    return options;
}

void AddOptions(QCommandLineParser& parser) {
    for (const OptionRow& row : OptionTable()) {
        const QString name = QLatin1String(row.name);
        parser.addOption(row.valueName
                             ? QCommandLineOption(name, QString(), QLatin1String(row.valueName))
                             : QCommandLineOption(name));
    }
}

std::string HelpText() {
    // The containers' names as the core lists them: those before the last
    // joined by the language's comma, which leaves the last to the text.
    std::string containers;
    std::string_view last;
    for (const ContainerRow& row : kContainers) {
        if (row.container == Container::None) continue;
        if (!last.empty())
            containers +=
                (containers.empty() ? "" : UsageText(QT_TRANSLATE_NOOP("CalcCommand", "、"))) +
                std::string(last);
        last = row.key;
    }
    std::string text = UsageText(kHelpHead);
    for (const OptionRow& row : OptionTable()) {
        std::string left = std::string("      --") + row.name;
        if (row.valueName) left += std::string("=") + row.valueName;
        left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
        text += left + UsageText(row.help, {containers, last}) + "\n";
    }
    return text + UsageText(kHelpTail);
}

} // namespace tavik
