// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

// The family the layout names, and the Debian fonts that stand in for it,
// best first: IPAPGothic and TakaoPGothic (drawn from it) keep the designed
// metrics; the others are proportional Japanese Gothics users commonly have.
const QString kLayoutFamily = QStringLiteral("ＭＳ Ｐゴシック");
const QStringList kStandInFamilies = {
    QStringLiteral("IPAPGothic"),       QStringLiteral("TakaoPGothic"),
    QStringLiteral("IPAexGothic"),      QStringLiteral("VL PGothic"),
    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP")};
constexpr int kDesignedPixels = 12;
// How high a line of the stand-in is at 12 pixels (ascent plus descent): the
// height the layout was designed for.
constexpr qreal kStandInLineHeight = 12.90625;

// The characters of the window's captions and numbers, by what a user
// would call them where no installed font draws them.
struct CaptionChars {
    const char* name;
    QString sample;
};
const CaptionChars kCaptionChars[] = {
    {"Japanese text",
     QStringLiteral("電卓設定作者音声映像ﾌｧｲﾙｻｲｽﾞ時間分秒割計算１話当り厳密に合わせる開発班＜")},
    {"digits and Latin letters", QStringLiteral("0123456789KbpsMBHelpTavikver./:@")},
    {"the arrow ↑", QStringLiteral("↑")},
};
// The characters whose line height the layout scales with.
const QString kCaptionSample = kCaptionChars[0].sample + kCaptionChars[2].sample;

// Whether a line of text laid out with the font and its fallbacks draws a
// glyph for every character.
bool FallbacksDraw(const QFont& font, const QString& text, qreal* height) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    *height = std::max(*height, line.height());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        if (std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end()) return false;
    }
    return true;
}

// How high a line of the captions is. Where the font itself lacks some of
// their characters, a line of them is laid out as the window draws it, with
// the fallback fonts, which also tells whether any font draws them at all.
qreal MeasureCaptions(const QFont& font, QStringList& missing) {
    qreal height = QFontMetricsF(font).height();
    const QRawFont primary = QRawFont::fromFont(font);
    const auto own = [&](const QString& text) {
        const QList<uint> chars = text.toUcs4();
        return std::all_of(chars.begin(), chars.end(),
                           [&](uint c) { return primary.supportsCharacter(c); });
    };
    if (!own(kCaptionSample)) FallbacksDraw(font, kCaptionSample, &height);
    for (const CaptionChars& chars : kCaptionChars) {
        qreal unused = 0;
        if (!own(chars.sample) && !FallbacksDraw(font, chars.sample, &unused))
            missing.push_back(QString::fromUtf8(chars.name));
    }
    return height;
}

} // namespace

WindowFont ChooseWindowFont() {
    // Consulted only where the named family itself is not installed.
    QFont::insertSubstitutions(kLayoutFamily, kStandInFamilies);
    QFont font(kLayoutFamily);
    // An installed stand-in is named first: Qt finds it at once, instead of
    // asking fontconfig for fallbacks of the missing family for every font
    // engine it makes.
    if (!QFontDatabase::hasFamily(kLayoutFamily)) {
        const auto installed =
            std::find_if(kStandInFamilies.begin(), kStandInFamilies.end(),
                         [](const QString& f) { return QFontDatabase::hasFamily(f); });
        if (installed != kStandInFamilies.end()) font.setFamilies({*installed, kLayoutFamily});
    }
    font.setPixelSize(kDesignedPixels);
    font.setStyleStrategy(QFont::PreferDefault);

    // The text's height, measured against the stand-in's, in designed pixels
    // made whole, as a text metric is, so that small differences of rendering
    // keep the scale at 1.
    QStringList missing;
    const qreal height = MeasureCaptions(font, missing);
    return {font, std::round(kDesignedPixels * height / kStandInLineHeight) / kDesignedPixels,
            missing};
}

} // namespace tavik
