// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcMessages.h"

#include <QCoreApplication>

namespace tavik {

namespace {

// The core's texts, marked for lupdate, which reads no core source: what()
// gives them, so the table is never indexed and no kind can slip out of step.
[[maybe_unused]] const char* const kCalcMessages[] = {
    QT_TRANSLATE_NOOP("CalcError", "ゼロによる除算"),
    QT_TRANSLATE_NOOP("CalcError", "0 による浮動小数点数除算"),
    QT_TRANSLATE_NOOP("CalcError", "不正な浮動小数点数演算命令"),
    //: The file size given cannot hold even the audio and the container's share.
    QT_TRANSLATE_NOOP("CalcError", "このファイルサイズには音声だけでも収まりません。"),
};

} // namespace

const char* CalcMessageSource(const CalcError& error) {
    return error.what();
}

} // namespace tavik
