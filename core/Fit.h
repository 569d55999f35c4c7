// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Finished recordings weighed against a size: the arithmetic of
// tavik-calc check, on the bytes and playing times it is given.

#include <cstdint>

namespace tavik {

// The size's bytes less the recordings' bytes: negative when they pass it.
std::int64_t SpareBytes(std::int32_t sizeMB, std::int64_t bytes);

// A recording's average rate in kbit/s of 1000 bit/s, to the nearest whole
// one: bytes * 8000 / durationUs, with durationUs above 0.
std::int64_t AverageKbps(std::int64_t bytes, std::int64_t durationUs);

// Bytes (not negative) in hundredths of an MB, rounded down, or up with `up`.
std::int64_t HundredthsOfMB(std::int64_t bytes, bool up);

} // namespace tavik
