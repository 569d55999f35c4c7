// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace tavik {

// The only failures the calculator knows: the three division errors and, for
// the sums with a container, a size too small for anything. Each carries the
// message the error box shows (the box adds the final ".").
class CalcError : public std::runtime_error {
public:
    enum class Kind { IntDivideByZero, FloatDivideByZero, InvalidFloatOperation, SizeTooSmall };

    explicit CalcError(Kind kind);

    Kind kind() const noexcept { return kind_; }

private:
    Kind kind_;
};

} // namespace tavik
