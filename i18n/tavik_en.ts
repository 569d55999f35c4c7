<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CalcCommand</name>
    <message>
        <source>%1 は 0 から 2147483647 までの整数ではありません</source>
        <translation>%1 is not a whole number from 0 to 2147483647</translation>
    </message>
    <message>
        <source>%1 は M:SS、H:MM:SS または秒数の時間ではありません</source>
        <translation>%1 is not a time as M:SS, H:MM:SS or seconds</translation>
    </message>
    <message>
        <source>%1 は N/D (残す話数/録画した話数) の分割ではありません</source>
        <translation>%1 is not a split as N/D (episodes saved/recorded)</translation>
    </message>
    <message>
        <source>%1 はコンテナではありません: %2</source>
        <translation>%1 is not a container: %2</translation>
    </message>
    <message>
        <source>%1 は 0 より大きく 60 以下のフレームレート (25、29.97、30000/1001 など) ではありません</source>
        <translation>%1 is not a frame rate above 0 and at most 60, as 25, 29.97 or 30000/1001</translation>
    </message>
    <message>
        <source>収まります: 残り %1 MB</source>
        <translation>fits: %1 MB spare</translation>
    </message>
    <message>
        <source>収まりません: %1 MB 超過</source>
        <translation>does not fit: %1 MB over</translation>
    </message>
    <message>
        <source>音声ビットレート (Kbps)</source>
        <translation>audio bit rate in Kbps</translation>
    </message>
    <message>
        <source>映像ビットレート (Kbps)</source>
        <translation>video bit rate in Kbps</translation>
    </message>
    <message>
        <source>ファイルサイズ (MB)</source>
        <translation>file size in MB</translation>
    </message>
    <message>
        <source>録画時間。M:SS、H:MM:SS または秒数</source>
        <translation>recording time as M:SS, H:MM:SS or seconds</translation>
    </message>
    <message>
        <source>--time の代わりに時間を読み取る録画ファイル (繰り返し可)</source>
        <translation>a recording to take the time from, instead of --time (repeatable)</translation>
    </message>
    <message>
        <source>録画した D 話のうち N 話を残す。時間がその割合になる (既定 1/1)</source>
        <translation>keep N of D recorded episodes; scales the time (default 1/1)</translation>
    </message>
    <message>
        <source>rate: ぴったりに上げない概算を表示する</source>
        <translation>rate: print the estimate, not raised to the exact fit</translation>
    </message>
    <message>
        <source>--container と共に: 映像のフレームレート (25、29.97、30000/1001)</source>
        <translation>with --container: the video&apos;s frame rate (25, 29.97, 30000/1001)</translation>
    </message>
    <message>
        <source>すべての入力と結果を一つの JSON オブジェクトで表示する</source>
        <translation>print every input and the result as one JSON object</translation>
    </message>
    <message>
        <source>このヘルプを表示して終了する</source>
        <translation>display this help and exit</translation>
    </message>
    <message>
        <source>バージョン情報を表示して終了する</source>
        <translation>output version information and exit</translation>
    </message>
    <message>
        <source>使い方: tavik-calc size --audio KBPS --video KBPS --time TIME [--split N/D]
  または: tavik-calc rate --size MB --time TIME --audio KBPS [--split N/D] [--estimate]
  または: tavik-calc size|rate [--file] REC... [ほかのオプションは上と同じ、--time なし]
  または: tavik-calc time --audio KBPS --video KBPS --size MB
  または: tavik-calc size|rate|time ... --container NAME [--fps RATE] (--estimate なし)
  または: tavik-calc check --size MB [--file] REC...
録画のファイルサイズ、映像ビットレート、録画可能時間を Tavik のウィンドウと
まったく同じに求め、結果だけを 1 行で表示します。または、録画ファイルが
サイズに収まるかを調べます。

コマンド:
  size      ファイルサイズ (MB)
  rate      サイズを満たす映像ビットレート (Kbps)。--estimate がなければ、
            ファイルサイズがまだ収まる最大の整数のビットレート (ぴったり)
  time      録画可能時間 (M:SS)
  check     録画ファイルのバイト数がサイズに収まるかと、各ファイルの
            平均の総ビットレート

オプション:
</source>
        <translation>Usage: tavik-calc size --audio KBPS --video KBPS --time TIME [--split N/D]
  or:  tavik-calc rate --size MB --time TIME --audio KBPS [--split N/D] [--estimate]
  or:  tavik-calc size|rate [--file] REC... [other options as above, no --time]
  or:  tavik-calc time --audio KBPS --video KBPS --size MB
  or:  tavik-calc size|rate|time ... --container NAME [--fps RATE] (no --estimate)
  or:  tavik-calc check --size MB [--file] REC...
Compute a recording&apos;s file size, video bit rate or recordable time exactly as
the Tavik window does, and print the bare result on one line; or check whether
recordings fit a size.

Commands:
  size      the file size in MB
  rate      the video bit rate in Kbps that fills the size: the largest whole
            rate whose file size still fits (the exact fit), unless --estimate
  time      the recordable time, as M:SS
  check     whether the recordings&apos; bytes fit in the size, and each one&apos;s
            average total bit rate

Options:
</translation>
    </message>
    <message>
        <source>
角括弧の外のオプションはすべて必須です。ウィンドウの値を既定値にするものは
ありません。値は 0 から 2147483647 までの整数で、ウィンドウが欄を読むのと
同じに読みます (10 進数、または $、x、0x の後は 16 進数)。ウィンドウが 0 と
読むような文字列は、ここではエラーです。

単位: --container なしでは、ウィンドウと同じく 1 Kbps は 1024 bit/s、1 MB は
1024 KB (1,048,576 バイト) で、コンテナがストリームに加える分 (ヘッダー、
テーブル、パディング、インデックス) は含みません。このビットレートで多重化した
ファイルはサイズを超えることがあります。--container ありでは、ビットレートは
ffmpeg が -b:v 6000k の「k」を読むのと同じく 1000 bit/s の kbit/s、1 MB は
やはり 1,048,576 バイトで、そのコンテナを ffmpeg が既定のオプションで
多重化したときに加わる分も数えます。rate はファイルがサイズに収まる最大の
整数の映像ビットレートを、size はファイルに要る MB (切り上げ) を、time は
ファイルが収まる秒単位の最長の時間を表示します。--fps は映像のフレームレートで、
0 より大きく 60 以下の整数、小数または分数です。コンテナの分が減ることが
あります。指定しなければ、60 までのどのフレームレートでも足りる最大の分を
数えます。

--file は ffprobe (Debian パッケージ ffmpeg) で録画ファイルを読みます。
ウィンドウへのドロップと同じく、録画ファイルの再生時間を合計して秒単位に
切り上げ、--audio がなければ、どのファイルにも音声ビットレートの記載がある
ときにその値 (1000 bit の kbit/s、切り上げ、ファイル中の最大) を使います。
録画ファイルは、シェルのグロブが並べるように --file なしでオプションの後に
置くこともできます (rate --size 4482 ep*.ts)。&quot;--&quot; でオプションが終わるので、
&quot;-&quot; で始まる名前はその後に置きます。録画ファイルは同時に min(コア数, 8) 個
まで読みます。MPEG-TS と M2TS は、再生時間と音声ビットレートをファイルの
バイト列から読みます。番組 (既定は映像が最も多いもの、--service で指定) の
時計が戻ったり、間のバイト数では収まらないほど進んだりしたところで区切り、
連続した区間の長さを合計します (33 ビットの一周は区切りではありません)。
音声ビットレートは、番組のすべての音声ストリームのバイト数をその時間で
割った値です。64 MiB を超えるファイルは、抜き取って読みます。
ffprobe がビットレートから推定しただけの再生時間や、24 時間を
超える再生時間、ファイルのサイズがストリームの記載のビットレートで収める
時間の 2 倍を超える再生時間 (タイムスタンプの飛び) は受け付けません。短すぎたり
何時間も長すぎたりする時間では、ビットレートを誤るためです。

check は録画ファイルの再生時間を --file と同じに (受け付けない場合も含めて)、
その長さをバイト数で読みます。録画ファイルごとに
NAME&lt;TAB&gt;BYTES bytes&lt;TAB&gt;SECONDS s&lt;TAB&gt;KBPS kbit/s (バイト数を再生時間で
割った値、1000 bit/s の kbit/s) の 1 行を表示し、最後にすべてをまとめて
--size と比べた &quot;収まります: 残り 1.23 MB&quot; または &quot;収まりません: 0.45 MB 超過&quot;
を表示します (残りの MB は切り捨て、足りない MB は切り上げ)。名前の制御文字と
UTF-8 でないバイトは \n、\t、\r、\xNN で表示します。

終了ステータス: 成功したとき 0、計算に失敗したとき (0 による除算)、サイズに
音声だけでも収まらないとき、録画ファイルを読めないとき、check の録画ファイルが
収まらないとき、結果を書き込めないときは 1、オプションや値が正しくないときと、
check が録画ファイルを読めないときは 2 (cmp や diff と同じ)。
</source>
        <translation>
Every option outside brackets is required; none defaults to a window value.
Values are whole numbers from 0 to 2147483647, read as the window reads its
fields (decimal, or hexadecimal after $, x or 0x); text the window would read
as 0 is an error here.

Units: without --container, as in the window, a Kbps is 1024 bit/s and an MB
is 1024 KB (1,048,576 bytes), and what the container adds to the streams
(headers, tables, padding, index) is left out: a file muxed at these rates can
come out over the size. With --container, rates are kbit/s of 1000 bit/s, as
ffmpeg reads &quot;k&quot; in -b:v 6000k, an MB is still 1,048,576 bytes, and the sums
count what that container adds as ffmpeg muxes it with its default options:
rate prints the largest whole video rate whose file fits the size, size the
MB the file needs (rounded up), time the longest whole-second time whose file
fits. --fps gives the video&apos;s frame rate, a whole or decimal number or a
fraction above 0 and at most 60, which can lower the container&apos;s share;
without it the largest share of any frame rate up to 60 is counted.

--file reads a recording with ffprobe (Debian package ffmpeg), as a drop onto
the window does: the recordings&apos; playing times are summed and rounded up to a
whole second, and without --audio their audio rate is used (kbit/s of 1000
bit, rounded up; the largest over the files), where every one states one.
Recordings may also follow the options without --file, as a shell glob gives
them (rate --size 4482 ep*.ts); &quot;--&quot; ends the options, for a name that starts
with &quot;-&quot;. Up to min(cores, 8) recordings are read at once. MPEG-TS and M2TS
recordings are read from their own bytes: the programme (the one whose video
carries the most bytes, or --service) is cut where its clock steps back or
leaps further than the bytes between can hold, and the continuous stretches
are summed (a 33-bit wrap is no break); the audio rate is all the
programme&apos;s audio streams&apos; bytes over that time. A file over 64 MiB is
sampled. A recording&apos;s duration is refused when ffprobe only estimated it
from the bit rate, or when it is over 24 hours or over twice what the file&apos;s
size holds at its streams&apos; stated bit rates (a timestamp jump): a time taken
short or hours long would give a wrong rate.

check reads its recordings&apos; playing times as --file does, refusals included,
and their lengths in bytes. It prints a line per recording,
NAME&lt;TAB&gt;BYTES bytes&lt;TAB&gt;SECONDS s&lt;TAB&gt;KBPS kbit/s (its bytes over its playing
time, in kbit/s of 1000 bit/s), then &quot;fits: 1.23 MB spare&quot; or &quot;does not fit:
0.45 MB over&quot; for all of them together against --size (spare MB rounded down,
missing MB rounded up). A name&apos;s control characters and bytes that are not
UTF-8 show as \n, \t, \r or \xNN.

Exit status: 0 on success, 1 when the calculation fails (a zero divisor), the
size cannot hold even the audio, a recording cannot be read, check&apos;s
recordings do not fit or the result cannot be written, 2 on a bad option or
value, and when check cannot read a recording (as cmp and diff).
</translation>
    </message>
    <message>
        <source>%1 には %2 が必要です</source>
        <translation>%1 needs %2</translation>
    </message>
    <message>
        <source>録画ファイルと --time は同時に指定できません</source>
        <translation>recordings and --time cannot both be given</translation>
    </message>
    <message>
        <source>%1 には --audio が必要です: 録画ファイルに音声ビットレートの記載がありません</source>
        <translation>%1 needs --audio: the recordings state no audio rate</translation>
    </message>
    <message>
        <source>%1 には %2 を指定できません</source>
        <translation>%1 does not take %2</translation>
    </message>
    <message>
        <source>--fps には --container が必要です</source>
        <translation>--fps needs --container</translation>
    </message>
    <message>
        <source>--estimate は --container と同時に指定できません: コンテナに収まるビットレートは概算せずに正確に求めます</source>
        <translation>--estimate cannot be given with --container: the rate that fits the container is found exactly, with no estimate</translation>
    </message>
    <message>
        <source>check には録画ファイルが必要です: --file REC で、またはオプションの後に名前を並べて指定してください</source>
        <translation>check needs recordings: --file REC or names after the options</translation>
    </message>
    <message>
        <source>コマンドがありません: size、rate、time、check のどれかを指定してください (--help を参照)</source>
        <translation>missing command: size, rate, time or check (see --help)</translation>
    </message>
    <message>
        <source>不明なコマンド &apos;%1&apos;</source>
        <translation>unknown command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>余分な引数 &apos;%1&apos;</source>
        <translation>unexpected argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>MPEG-TS の録画ファイルで読むサービス (番組) の ID</source>
        <translation>the service (programme) to read in MPEG-TS recordings</translation>
    </message>
    <message>
        <source>%1 は 1 から 65535 までのサービス ID ではありません</source>
        <translation>%1 is not a service ID from 1 to 65535</translation>
    </message>
    <message>
        <source>%1、%2: ffmpeg が多重化したファイルで合わせる</source>
        <translation>%1 or %2: fit the file as ffmpeg muxes it</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>CalcError</name>
    <message>
        <source>ゼロによる除算</source>
        <translation>Division by zero</translation>
    </message>
    <message>
        <source>0 による浮動小数点数除算</source>
        <translation>Floating-point division by zero</translation>
    </message>
    <message>
        <source>不正な浮動小数点数演算命令</source>
        <translation>Invalid floating-point operation</translation>
    </message>
    <message>
        <source>このファイルサイズには音声だけでも収まりません。</source>
        <extracomment>The file size given cannot hold even the audio and the container&apos;s share.</extracomment>
        <translation>This file size cannot hold even the audio</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>使い方: tavik [Qt のオプション]...
  または: tavik --help | --version
Tavik のウィンドウを開きます。MPEG の録画の音声ビットレート、映像ビットレート、
ファイルサイズ、再生時間から、足りない一つ (ファイルサイズ、そのサイズを満たす
映像ビットレート、または録画可能時間) を求めます。ウィンドウに録画ファイルを
ドロップすると、その再生時間が入ります。tavik-calc はスクリプト向けに同じ計算を
します。

  -h, --help       このヘルプを表示して終了します
  -v, --version    バージョン情報を表示して終了します

Qt 自身のオプションも使えます。-platform NAME、-display DISPLAY、
-style STYLE、-reverse などです。

終了ステータス: ウィンドウを閉じたとき 0、ウィンドウを開くディスプレイがないとき 1、
オプションや引数が正しくないとき 2。
</source>
        <translation>Usage: tavik [QT-OPTION]...
  or:  tavik --help | --version
Open the Tavik window: from the audio rate, the video rate, the file size and
the playing time of an MPEG recording it works out the missing one (the file
size, the video rate that fills a size, or the recordable time). Recordings
dropped onto the window fill in their playing time. tavik-calc does the same
calculations for scripts.

  -h, --help       display this help and exit
  -v, --version    output version information and exit

Qt&apos;s own options apply as well, among them -platform NAME, -display DISPLAY,
-style STYLE and -reverse.

Exit status: 0 when the window is closed, 1 when there is no display to open
it on, 2 on a bad option or argument.
</translation>
    </message>
</context>
<context>
    <name>Container</name>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
</context>
<context>
    <name>FrameRate</name>
    <message>
        <source>60 まで</source>
        <translation>up to 60</translation>
    </message>
</context>
<context>
    <name>ProbeReport</name>
    <message>
        <source>「%1」について ffprobe の出力を読み取れません。</source>
        <translation>Cannot read the output of ffprobe for &quot;%1&quot;</translation>
    </message>
    <message>
        <source>「%1」は読み取れるファイルではありません。</source>
        <translation>&quot;%1&quot; is not a readable file</translation>
    </message>
    <message>
        <source>録画ファイルの調査を中止しました。</source>
        <translation>Reading the recordings was stopped</translation>
    </message>
    <message>
        <source>「%1」の再生時間がわかりません。</source>
        <translation>The playing time of &quot;%1&quot; is unknown</translation>
    </message>
    <message>
        <source>「%1」の再生時間はビットレートから推定した値で、正確ではないため使えません。</source>
        <translation>The playing time of &quot;%1&quot; is only estimated from the bit rate and cannot be used, as it is not exact</translation>
    </message>
    <message>
        <source>「%1」の再生時間が 24 時間を超えています。時刻情報が壊れている可能性があります。</source>
        <translation>The playing time of &quot;%1&quot; is over 24 hours; its timestamps may be damaged</translation>
    </message>
    <message>
        <source>「%1」の再生時間 %2 は、ファイルの大きさとビットレートから見込める長さ %3 の 2 倍を超えています。時刻情報が壊れている可能性があります。</source>
        <translation>The playing time of &quot;%1&quot;, %2, is over twice the %3 its size and bit rates hold; its timestamps may be damaged</translation>
    </message>
    <message>
        <source>ffprobe を起動できません。Debian パッケージ ffmpeg をインストールしてください。</source>
        <translation>Cannot start ffprobe; install the Debian package ffmpeg</translation>
    </message>
    <message>
        <source>「%1」の調査が %2 秒以内に終わらないため中止しました。</source>
        <translation>Reading &quot;%1&quot; was stopped, as it took more than %2 seconds</translation>
    </message>
    <message>
        <source>「%1」を調べている途中で ffprobe が異常終了しました。</source>
        <translation>ffprobe crashed while reading &quot;%1&quot;</translation>
    </message>
    <message>
        <source>「%1」は壊れているか、動画や音声のファイルではないため読み取れません。</source>
        <translation>Cannot read &quot;%1&quot;: it is damaged, or not a video or audio file</translation>
    </message>
    <message>
        <source>録画ファイルがありません。</source>
        <translation>No recordings</translation>
    </message>
    <message>
        <source>録画ファイルの合計の再生時間が長すぎます。</source>
        <translation>The recordings&apos; total playing time is too long</translation>
    </message>
    <message>
        <source>「%1」にサービス %2 はありません。</source>
        <translation>&quot;%1&quot; has no service %2.</translation>
    </message>
</context>
<context>
    <name>QtHelpDispatch</name>
    <message>
        <source>ヘルプファイル %1 が見つかりません。</source>
        <translation>The help file %1 was not found.</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>ｺﾝﾃﾅを選んでいる間は、ﾌｧｲﾙに収まる最大のﾋﾞｯﾄﾚｰﾄを常に求めます</source>
        <translation>With a container chosen, the video rate is always the largest that fits</translation>
    </message>
</context>
<context>
    <name>TavikFrm</name>
    <message>
        <source>電卓</source>
        <translation>Calc</translation>
    </message>
    <message>
        <source>音声                           Kbps</source>
        <translation>Audio                           Kbps</translation>
    </message>
    <message>
        <source>映像                           Kbps</source>
        <translation>Video                           Kbps</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙｻｲｽﾞ                    MB</source>
        <translation>Size                    MB</translation>
    </message>
    <message>
        <source>時間                 分        秒</source>
        <translation>Time               m          s</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>分割計算</source>
        <translation>Split</translation>
    </message>
    <message>
        <source>１話当り                        秒</source>
        <translation>Per&#xa0;ep.                        s</translation>
    </message>
    <message>
        <source>音声のﾋﾞｯﾄﾚｰﾄ (Kbps)</source>
        <translation>Audio bit rate (Kbps)</translation>
    </message>
    <message>
        <source>音声のﾋﾞｯﾄﾚｰﾄを設定します</source>
        <translation>Sets the audio bit rate</translation>
    </message>
    <message>
        <source>映像のﾋﾞｯﾄﾚｰﾄ (Kbps)</source>
        <translation>Video bit rate (Kbps)</translation>
    </message>
    <message>
        <source>映像のﾋﾞｯﾄﾚｰﾄを設定します</source>
        <translation>Sets the video bit rate</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙｻｲｽﾞ (MB)</source>
        <translation>File size (MB)</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙｻｲｽﾞを設定します</source>
        <translation>Sets the file size</translation>
    </message>
    <message>
        <source>時間(分)</source>
        <translation>Time (minutes)</translation>
    </message>
    <message>
        <source>時間(分)を設定します</source>
        <translation>Sets the time in minutes</translation>
    </message>
    <message>
        <source>時間(秒)</source>
        <translation>Time (seconds)</translation>
    </message>
    <message>
        <source>時間(秒)を設定します</source>
        <translation>Sets the time in seconds</translation>
    </message>
    <message>
        <source>時間の積算秒</source>
        <translation>Total seconds of the time</translation>
    </message>
    <message>
        <source>時間の積算秒です</source>
        <translation>The time in seconds</translation>
    </message>
    <message>
        <source>分子(保存時の話数)</source>
        <translation>Numerator (episodes kept)</translation>
    </message>
    <message>
        <source>分子(保存時の話数)を入れます</source>
        <translation>Episodes kept: the numerator</translation>
    </message>
    <message>
        <source>分母(録画時の話数)</source>
        <translation>Denominator (episodes recorded)</translation>
    </message>
    <message>
        <source>分母(録画時の話数)を入れます</source>
        <translation>Episodes recorded: the denominator</translation>
    </message>
    <message>
        <source>適正な映像ﾋﾞｯﾄﾚｰﾄを算出</source>
        <translation>Compute the fitting video bit rate</translation>
    </message>
    <message>
        <source>適正な映像ﾋﾞｯﾄﾚｰﾄを算出します</source>
        <translation>Computes the video bit rate that fits</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙｻｲｽﾞを算出</source>
        <translation>Compute the file size</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙｻｲｽﾞを算出します</source>
        <translation>Computes the file size</translation>
    </message>
    <message>
        <source>録画可能時間を算出</source>
        <translation>Compute the recordable time</translation>
    </message>
    <message>
        <source>録画可能時間を算出します</source>
        <translation>Computes the recordable time</translation>
    </message>
    <message>
        <source>積算秒を分・秒に分割</source>
        <translation>Split the total seconds into minutes and seconds</translation>
    </message>
    <message>
        <source>積算秒を分・秒に分割します</source>
        <translation>Splits the seconds into minutes and seconds</translation>
    </message>
    <message>
        <source>１話当りの秒数</source>
        <translation>Seconds per episode</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Opts</translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄﾚｰﾄを厳密に合わせる</source>
        <translation>Fit the bit rate exactly</translation>
    </message>
    <message>
        <source>ﾋﾞｯﾄﾚｰﾄを厳密に計算します</source>
        <translation>Computes the bit rate exactly</translation>
    </message>
    <message>
        <source>厳密に合わせる</source>
        <translation>Exact fit</translation>
    </message>
    <message>
        <source>ｺﾝﾃﾅ</source>
        <translation>Mux</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙｻｲｽﾞに含めるｺﾝﾃﾅ</source>
        <translation>Container counted in the file size</translation>
    </message>
    <message>
        <source>ｺﾝﾃﾅの分も含めてﾌｧｲﾙｻｲｽﾞに収まるように計算します</source>
        <translation>Counts the container too, so the muxed file fits the size</translation>
    </message>
    <message>
        <source>作者</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Tavik 開発班</source>
        <translation>Tavik team</translation>
    </message>
    <message>
        <source>作者のメールアドレス</source>
        <translation>The author&apos;s mail address</translation>
    </message>
    <message>
        <source>作者のウェブサイト</source>
        <translation>The author&apos;s web site</translation>
    </message>
    <message>
        <source>Help (ﾍﾙﾌﾟを表示)</source>
        <translation>Help (show the help)</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟを表示します</source>
        <translation>Shows the help</translation>
    </message>
    <message>
        <source>fps</source>
        <translation>fps</translation>
    </message>
    <message>
        <source>映像のﾌﾚｰﾑﾚｰﾄ</source>
        <translation>Video frame rate</translation>
    </message>
    <message>
        <source>映像のﾌﾚｰﾑﾚｰﾄでｺﾝﾃﾅの分を計算します</source>
        <translation>Counts the container&apos;s share at the video&apos;s frame rate</translation>
    </message>
</context>
<context>
    <name>tavik::RecordingDrop</name>
    <message>
        <source>録画ファイルから音声ビットレートを読み取れませんでした。音声ビットレートの欄はドロップする前の値のままです。</source>
        <translation>No audio rate could be read from the recordings. The audio rate field keeps the value it had before the drop.</translation>
    </message>
</context>
</TS>
