<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
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
        <source>このファイルサイズには音声だけでも収まりません</source>
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
    <name>ProbeReport</name>
    <message>
        <source>「%1」について ffprobe の出力を読み取れません</source>
        <translation>Cannot read the output of ffprobe for &quot;%1&quot;</translation>
    </message>
    <message>
        <source>「%1」は読み取れるファイルではありません</source>
        <translation>&quot;%1&quot; is not a readable file</translation>
    </message>
    <message>
        <source>録画ファイルの調査を中止しました</source>
        <translation>Reading the recordings was stopped</translation>
    </message>
    <message>
        <source>「%1」の再生時間がわかりません</source>
        <translation>The playing time of &quot;%1&quot; is unknown</translation>
    </message>
    <message>
        <source>「%1」の再生時間はビットレートから推定した値で、正確ではないため使えません</source>
        <translation>The playing time of &quot;%1&quot; is only estimated from the bit rate and cannot be used, as it is not exact</translation>
    </message>
    <message>
        <source>「%1」の再生時間が 24 時間を超えています。時刻情報が壊れている可能性があります</source>
        <translation>The playing time of &quot;%1&quot; is over 24 hours; its timestamps may be damaged</translation>
    </message>
    <message>
        <source>「%1」の再生時間 %2 は、ファイルの大きさとビットレートから見込める長さ %3 の 2 倍を超えています。時刻情報が壊れている可能性があります</source>
        <translation>The playing time of &quot;%1&quot;, %2, is over twice the %3 its size and bit rates hold; its timestamps may be damaged</translation>
    </message>
    <message>
        <source>ffprobe を起動できません。Debian パッケージ ffmpeg をインストールしてください</source>
        <translation>Cannot start ffprobe; install the Debian package ffmpeg</translation>
    </message>
    <message>
        <source>「%1」の調査が %2 秒以内に終わらないため中止しました</source>
        <translation>Reading &quot;%1&quot; was stopped, as it took more than %2 seconds</translation>
    </message>
    <message>
        <source>「%1」を調べている途中で ffprobe が異常終了しました</source>
        <translation>ffprobe crashed while reading &quot;%1&quot;</translation>
    </message>
    <message>
        <source>「%1」は壊れているか、動画や音声のファイルではないため読み取れません</source>
        <translation>Cannot read &quot;%1&quot;: it is damaged, or not a video or audio file</translation>
    </message>
    <message>
        <source>録画ファイルがありません</source>
        <translation>No recordings</translation>
    </message>
    <message>
        <source>録画ファイルの合計の再生時間が長すぎます</source>
        <translation>The recordings&apos; total playing time is too long</translation>
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
        <translation>Per ep.                        s</translation>
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
        <source>なし</source>
        <translation>None</translation>
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
</context>
</TS>
