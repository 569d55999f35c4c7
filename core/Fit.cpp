// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fit.h"

#include "Container.h"

namespace tavik {

namespace {

// Bytes times 16000 pass 2^63 from 576 TB on.
__extension__ using Int128 = __int128;

} // namespace

std::int64_t SpareBytes(std::int32_t sizeMB, std::int64_t bytes) {
    return sizeMB * kBytesPerMB - bytes;
}

std::int64_t AverageKbps(std::int64_t bytes, std::int64_t durationUs) {
    const Int128 us = durationUs;
    return static_cast<std::int64_t>((Int128{bytes} * 16000 + us) / (2 * us));
}

std::int64_t HundredthsOfMB(std::int64_t bytes, bool up) {
    return (bytes * 100 + (up ? kBytesPerMB - 1 : 0)) / kBytesPerMB;
}

} // namespace tavik
