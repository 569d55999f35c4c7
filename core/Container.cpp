// SPDX-License-Identifier: GPL-3.0-or-later
#include "Container.h"

#include "CalcError.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace tavik {

namespace {

__extension__ using Int128 = __int128;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kBytesPerMB = 1048576;
// Bytes a stream at 1 kbit/s (1000 bit/s) fills in a second.
constexpr std::int64_t kBytesPerKbit = 125;

std::int32_t NotNegative(std::int32_t value) {
    return std::max(value, 0);
}

std::int32_t FpsOrMost(std::int32_t milliFps) {
    return milliFps >= 1 && milliFps <= kMaxMilliFps ? milliFps : kMaxMilliFps;
}

// The placeholder share; the muxers' models replace it.
Int128 Share(Container c, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
    return c == Container::None ? 0 : 0;
}

Int128 Bytes(Container c, std::int32_t a, std::int32_t v, std::int32_t t, std::int32_t mfps) {
    return (Int128{a} + v) * kBytesPerKbit * t + Share(c, a, v, t, mfps);
}

std::int64_t Clamp64(Int128 value) {
    return value > kMax64 ? kMax64 : static_cast<std::int64_t>(value);
}

// The largest x in [0, kMax] with fits(x), given fits(0); fits is monotone
// (true up to some x, false above it).
template <typename Fits>
std::int32_t LargestFitting(Fits fits) {
    if (fits(kMax)) return kMax;
    std::int32_t lo = 0; // fits
    std::int32_t hi = kMax; // does not fit
    while (hi - lo > 1) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

[[noreturn]] void ThrowZeroDivisor(std::int32_t sizeMB) {
    throw CalcError(sizeMB == 0 ? CalcError::Kind::InvalidFloatOperation
                                : CalcError::Kind::FloatDivideByZero);
}

constexpr std::string_view kKeys[] = {"none", "ts", "m2ts", "ps", "mp4", "mkv"};

} // namespace

std::string_view ContainerKey(Container c) {
    return kKeys[static_cast<int>(c)];
}

std::optional<Container> ContainerOfKey(std::string_view key) {
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
        if (kKeys[i] == key) return static_cast<Container>(i);
    return std::nullopt;
}

std::int64_t ContainerShare(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                            std::int32_t seconds, std::int32_t milliFps) {
    return Clamp64(Share(c, NotNegative(audioKbps), NotNegative(videoKbps), NotNegative(seconds),
                         FpsOrMost(milliFps)));
}

std::int64_t FileBytes(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                       std::int32_t seconds, std::int32_t milliFps) {
    return Clamp64(Bytes(c, NotNegative(audioKbps), NotNegative(videoKbps), NotNegative(seconds),
                         FpsOrMost(milliFps)));
}

std::int64_t FittedSizeMB(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                          std::int32_t seconds, std::int32_t milliFps) {
    const Int128 bytes = Bytes(c, NotNegative(audioKbps), NotNegative(videoKbps),
                               NotNegative(seconds), FpsOrMost(milliFps));
    return Clamp64((bytes + kBytesPerMB - 1) / kBytesPerMB);
}

std::int32_t FittedVideoRate(Container c, std::int32_t sizeMB, std::int32_t seconds,
                             std::int32_t audioKbps, std::int32_t milliFps) {
    sizeMB = NotNegative(sizeMB);
    const std::int32_t t = NotNegative(seconds);
    if (t == 0) ThrowZeroDivisor(sizeMB);
    const std::int32_t a = NotNegative(audioKbps);
    const std::int32_t mfps = FpsOrMost(milliFps);
    const Int128 room = Int128{sizeMB} * kBytesPerMB;
    const auto fits = [&](std::int32_t v) { return Bytes(c, a, v, t, mfps) <= room; };
    if (!fits(0)) throw CalcError(CalcError::Kind::SizeTooSmall);
    return LargestFitting(fits);
}

std::int32_t FittedTime(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                        std::int32_t sizeMB, std::int32_t milliFps) {
    sizeMB = NotNegative(sizeMB);
    const std::int32_t a = NotNegative(audioKbps);
    const std::int32_t v = NotNegative(videoKbps);
    if (Int128{a} + v == 0) ThrowZeroDivisor(sizeMB);
    const std::int32_t mfps = FpsOrMost(milliFps);
    const Int128 room = Int128{sizeMB} * kBytesPerMB;
    const auto fits = [&](std::int32_t t) { return Bytes(c, a, v, t, mfps) <= room; };
    if (!fits(0)) throw CalcError(CalcError::Kind::SizeTooSmall);
    return LargestFitting(fits);
}

} // namespace tavik
