// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tavik {

// Kilobits per kilobyte when a rate or a time is computed from a size. Not 8:
// sizes from rates use 8192 kbit per MB, so the two directions do not invert
// each other exactly and the exact-fit search corrects for that.
constexpr long double SizeFactor = 7.8828125L;

// All integer intermediates are exact; a result that is a Number is clamped
// to the int32 range, so it always reads back as the same Number. Floating
// steps are in long double (80-bit extended on x86-64). The three division
// errors are raised as CalcError before dividing.

// Playing time of the saved part: ((m * 60 + s) * n) div d, in seconds.
std::int32_t PlaySec(std::int32_t m, std::int32_t s, std::int32_t n, std::int32_t d);

// File size in MB: round((a + v) * t / 8192), ties to even.
std::int64_t SizeMB(std::int32_t a, std::int32_t v, std::int32_t t);

// Video rate that fills k kilobytes in t seconds beside audio rate a:
// trunc(k * SizeFactor / t - a). With exact, raised to the largest rate
// reachable in single steps whose SizeMB still fits in k div 1024 MB.
std::int32_t VideoRate(std::int64_t k, std::int32_t t, std::int32_t a, bool exact);

// The steps of VideoRate, for a caller that reads its inputs between them:
// X = k * SizeFactor; R = X / t (raising the division errors for t = 0);
// trunc(R - a), clamped; then the exact-fit search from that estimate.
long double KbitOfKB(std::int64_t k);
long double PerSecond(long double x, std::int32_t t);
std::int32_t RateEstimate(long double r, std::int32_t a);
std::int32_t ExactFitRate(std::int32_t estimate, std::int64_t k, std::int32_t t, std::int32_t a);

// Seconds that fit into k kilobytes at rates a + v: trunc(k * SizeFactor / (a + v)).
std::int32_t RecordableTime(std::int32_t a, std::int32_t v, std::int64_t k);

// Kilobytes in mb megabytes: the size field's value times 1024.
std::int64_t KBOfMB(std::int32_t mb);

// A time in seconds as the minutes and seconds fields show it: t div 60 and
// t mod 60, both truncating toward zero.
struct MinSec {
    std::int32_t minutes;
    std::int32_t seconds;
};
MinSec ToMinSec(std::int32_t t);

// Seconds per episode: total div d1.
std::int32_t SecPerEpisode(std::int32_t total, std::int32_t d1);

} // namespace tavik
