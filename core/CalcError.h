// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tavik {

// The only failures the calculator knows: the three division errors and, for
// the sums with a container, a size too small for anything. Each carries the
// message the error box shows (the box adds the final "." to the three
// division messages; the size's own message ends in "。").
class CalcError : public std::runtime_error {
public:
    enum class Kind { IntDivideByZero, FloatDivideByZero, InvalidFloatOperation, SizeTooSmall };

    explicit CalcError(Kind kind);

    Kind kind() const noexcept { return kind_; }

private:
    Kind kind_;
};

// The text a failure is reported with, in the error box and on tavik-calc's
// error output: the message, with "." appended when the message is not empty,
// does not end in "。" and its last byte sorts above "." (every byte of a
// multi-byte character does).
std::string ErrorBoxText(std::string_view message);

} // namespace tavik
