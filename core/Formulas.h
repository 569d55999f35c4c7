// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Container.h"

#include <cstdint>
#include <functional>

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

// The three results as the window's buttons and tavik-calc give them, one
// entry each: without a container the designed sums above, with one the
// sums of a file that must fit once muxed (Container.h), at the frame rate.
struct Muxing {
    Container container = Container::None;
    std::int32_t milliFps = kMaxMilliFps; // thousandths of a frame per second
};

// The file size in MB at rates a and v over t seconds.
std::int64_t SizeFor(const Muxing& muxing, std::int32_t a, std::int32_t v, std::int32_t t);

// The video rate that fills a size. Its inputs are read in the designed
// order, each after the arithmetic the one before allows: the size, then the
// playing time, then the audio rate; so a zero time fails before the audio
// rate is read, with either sums. `exact` runs the exact-fit search of the
// designed sums; a container's rate is already the largest that fits.
struct RateReads {
    std::function<std::int64_t()> sizeKB; // the size in kilobytes
    std::function<std::int32_t()> seconds;
    std::function<std::int32_t()> audioKbps;
};
std::int32_t VideoRateFor(const Muxing& muxing, bool exact, const RateReads& read);

// The recordable time in seconds at rates a and v in k kilobytes.
std::int32_t TimeFor(const Muxing& muxing, std::int32_t a, std::int32_t v, std::int64_t k);

} // namespace tavik
