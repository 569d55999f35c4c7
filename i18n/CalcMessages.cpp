// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcMessages.h"

#include <QCoreApplication>

#include <iterator>

namespace tavik {

namespace {

// By CalcError::Kind; the same Japanese as the core's, which the tests hold.
const char* const kCalcMessages[] = {
    QT_TRANSLATE_NOOP("CalcError", "ゼロによる除算"),
    QT_TRANSLATE_NOOP("CalcError", "0 による浮動小数点数除算"),
    QT_TRANSLATE_NOOP("CalcError", "不正な浮動小数点数演算命令"),
    //: The file size given cannot hold even the audio and the container's share.
    QT_TRANSLATE_NOOP("CalcError", "このファイルサイズには音声だけでも収まりません"),
};

} // namespace

const char* CalcMessageSource(const CalcError& error) {
    const auto kind = static_cast<std::size_t>(error.kind());
    return kind < std::size(kCalcMessages) ? kCalcMessages[kind] : nullptr;
}

} // namespace tavik
