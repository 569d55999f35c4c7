// SPDX-License-Identifier: GPL-3.0-or-later
#include "Formulas.h"

#include "CalcError.h"

#include <cmath>
#include <limits>

namespace tavik {

namespace {

// Products of Numbers such as (a + v) * t reach 2^63 and 8192 * M passes
// it, so the intermediates are 128-bit and never wrap.
__extension__ using Int128 = __int128;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kKbitPerMB = 8192;

std::int32_t Clamp(Int128 value) {
    if (value < kMin) return kMin;
    if (value > kMax) return kMax;
    return static_cast<std::int32_t>(value);
}

std::int32_t TruncClamp(long double value) {
    if (!(value > static_cast<long double>(kMin))) return kMin;
    if (!(value < static_cast<long double>(kMax))) return kMax;
    return static_cast<std::int32_t>(std::trunc(value));
}

Int128 FloorDiv(Int128 a, Int128 b) {
    const Int128 q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

Int128 CeilDiv(Int128 a, Int128 b) {
    const Int128 q = a / b;
    return (a % b != 0 && ((a < 0) == (b < 0))) ? q + 1 : q;
}

// round(p / 8192) to nearest, ties to even; the division is exact in extended
// precision, so integer arithmetic gives the very same result.
Int128 RoundKbitToMB(Int128 p) {
    const Int128 q = FloorDiv(p, kKbitPerMB);
    const Int128 r = p - q * kKbitPerMB;
    if (r > kKbitPerMB / 2 || (r == kKbitPerMB / 2 && q % 2 != 0)) return q + 1;
    return q;
}

// dividend / divisor in extended precision, raising the floating-point
// division errors instead of producing an infinity or a NaN.
long double FloatDivide(long double dividend, long double divisor) {
    if (divisor == 0) {
        throw CalcError(dividend == 0 ? CalcError::Kind::InvalidFloatOperation
                                      : CalcError::Kind::FloatDivideByZero);
    }
    return dividend / divisor;
}

long double KbitOfKB(std::int64_t k) {
    return static_cast<long double>(k) * SizeFactor;
}

long double PerSecond(long double x, std::int32_t t) {
    return FloatDivide(x, t);
}

// The size field's value again from its kilobytes, as the exact fit reads it.
std::int32_t MBOfKB(std::int64_t k) {
    return Clamp(k / 1024);
}

std::int32_t RateEstimate(long double r, std::int32_t a) {
    return TruncClamp(r - a);
}

// Largest w in [estimate, kMax] such that every u in (estimate, w] has
// round((a + u) * t / 8192) <= k div 1024: the rates reachable in single
// steps that still fit. Done in closed form: that size is monotone in u, so
// the condition holds on a prefix (t > 0) or a suffix (t < 0) of the rates.
std::int32_t ExactFitRate(std::int32_t estimate, std::int64_t k, std::int32_t t, std::int32_t a) {
    const std::int64_t mb = k / 1024;
    if (t == 0) return mb >= 0 ? kMax : estimate; // every step gives size 0
    // round(p / 8192) <= mb  <=>  p <= pmax (a tie rounds down only to an even mb).
    const Int128 pmax = Int128{mb} * kKbitPerMB + kKbitPerMB / 2 - (mb % 2 != 0 ? 1 : 0);
    if (t > 0) {
        const Int128 highest = FloorDiv(pmax, t) - a;
        return highest > estimate ? Clamp(highest) : estimate;
    }
    const Int128 lowest = CeilDiv(pmax, t) - a;
    return Int128{estimate} + 1 >= lowest ? kMax : estimate;
}

} // namespace

std::int32_t PlaySec(std::int32_t m, std::int32_t s, std::int32_t n, std::int32_t d) {
    if (d == 0) throw CalcError(CalcError::Kind::IntDivideByZero);
    return Clamp((Int128{m} * 60 + s) * n / d);
}

std::int64_t SizeMB(std::int32_t a, std::int32_t v, std::int32_t t) {
    return Clamp(RoundKbitToMB((Int128{a} + v) * t));
}

std::int32_t VideoRate(std::int64_t k, std::int32_t t, std::int32_t a, bool exact) {
    const std::int32_t estimate = RateEstimate(PerSecond(KbitOfKB(k), t), a);
    return exact ? ExactFitRate(estimate, k, t, a) : estimate;
}

std::int32_t RecordableTime(std::int32_t a, std::int32_t v, std::int64_t k) {
    return TruncClamp(FloatDivide(KbitOfKB(k), static_cast<long double>(std::int64_t{a} + v)));
}

std::int64_t KBOfMB(std::int32_t mb) {
    return std::int64_t{mb} * 1024;
}

MinSec ToMinSec(std::int32_t t) {
    return {t / 60, t % 60};
}

std::int32_t SecPerEpisode(std::int32_t total, std::int32_t d1) {
    if (d1 == 0) throw CalcError(CalcError::Kind::IntDivideByZero);
    return Clamp(Int128{total} / d1);
}

std::int64_t SizeFor(const Muxing& muxing, std::int32_t a, std::int32_t v, std::int32_t t) {
    if (muxing.container == Container::None) return SizeMB(a, v, t);
    return FittedSizeMB(muxing.container, a, v, t, muxing.milliFps);
}

std::int32_t VideoRateFor(const Muxing& muxing, bool exact, const RateReads& read) {
    const std::int64_t k = read.sizeKB();
    const long double x = KbitOfKB(k);
    const std::int32_t t = read.seconds();
    const long double r = PerSecond(x, t);
    const std::int32_t a = read.audioKbps();
    if (muxing.container != Container::None)
        return FittedVideoRate(muxing.container, MBOfKB(k), t, a, muxing.milliFps);
    const std::int32_t estimate = RateEstimate(r, a);
    return exact ? ExactFitRate(estimate, k, t, a) : estimate;
}

std::int32_t TimeFor(const Muxing& muxing, std::int32_t a, std::int32_t v, std::int64_t k) {
    if (muxing.container == Container::None) return RecordableTime(a, v, k);
    return FittedTime(muxing.container, a, v, MBOfKB(k), muxing.milliFps);
}

} // namespace tavik
