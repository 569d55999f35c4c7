// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalcError.h"

namespace tavik {

namespace {

const char* MessageOf(CalcError::Kind kind) {
    switch (kind) {
    case CalcError::Kind::IntDivideByZero:
        return "ゼロによる除算";
    case CalcError::Kind::FloatDivideByZero:
        return "0 による浮動小数点数除算";
    case CalcError::Kind::InvalidFloatOperation:
        return "不正な浮動小数点数演算命令";
    case CalcError::Kind::SizeTooSmall:
        return "このファイルサイズには音声だけでも収まりません。";
    }
    return "";
}

} // namespace

CalcError::CalcError(Kind kind) : std::runtime_error(MessageOf(kind)), kind_(kind) {}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    const std::string_view fullStop = "\u3002"; // 。 ends a sentence already
    const bool ended = text.size() >= fullStop.size() &&
                       text.compare(text.size() - fullStop.size(), fullStop.size(), fullStop) == 0;
    if (!text.empty() && !ended && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

} // namespace tavik
