// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavik {

// The application's title: the taskbar caption and the error box caption.
inline constexpr char kApplicationTitle[] = "Tavik";

} // namespace tavik
