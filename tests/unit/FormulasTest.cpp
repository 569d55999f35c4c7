// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Formulas.h"
#include "core/CalcError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>

namespace tavik {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kKB = 1024;

TEST(PlaySec, SplitsThePlayingTime) {
    struct {
        std::int32_t m, s, n, d, expected;
    } const cases[] = {
        {30, 0, 1, 1, 1800},
        {45, 0, 3, 4, 2025},
        {1, 30, 1, 2, 45},
        {0, 59, 1, 60, 0},
        {-1, 30, 1, 1, -30},
        {-1, 0, 1, 7, -8}, // truncates toward zero
        // Would wrap in 32 bits; exact and clamped instead.
        {35791394, 7, 3, 1, kMax},
        {35791394, 7, 3, 4, 1610612735},
        {kMax, kMax, kMax, 1, kMax},
        {kMin, 0, 1, 1, kMin},
        {kMin, 0, kMin, kMin, kMin},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.m) + ":" + std::to_string(c.s) + " " + std::to_string(c.n) +
                     "/" + std::to_string(c.d));
        EXPECT_EQ(PlaySec(c.m, c.s, c.n, c.d), c.expected);
    }
}

TEST(SizeMB, RoundsToNearestTiesToEven) {
    struct {
        std::int32_t a, v, t;
        std::int64_t expected;
    } const cases[] = {
        {192, 1150, 1800, 295},
        {192, 1150, 2700, 442},
        {128, 0, 160, 2},   // 2.5 goes to 2
        {128, 0, 224, 4},   // 3.5 goes to 4
        {4096, 0, 1, 0},    // 0.5 goes to 0
        {12288, 0, 1, 2},   // 1.5 goes to 2
        {-128, 0, 160, -2}, // -2.5 goes to -2
        {-128, 0, 224, -4}, // -3.5 goes to -4
        {0, 0, 1800, 0},
        // 24 h at 25,000 Kbps passes 2^31 kbit: no negative size.
        {0, 25000, 86400, 263672},
        {192, 25000, 86400, 265697},
        // The largest products clamp to the Number range.
        {kMax, kMax, kMax, kMax},
        {kMin, kMin, kMax, kMin},
        {kMin, kMin, kMin, kMax},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + "+" + std::to_string(c.v) + " x " + std::to_string(c.t));
        EXPECT_EQ(SizeMB(c.a, c.v, c.t), c.expected);
    }
}

struct RateCase {
    const char* name;
    std::int64_t k;
    std::int32_t t, a;
    std::int32_t estimate, exactFit;
};

TEST(VideoRate, EstimateAndExactFit) {
    const RateCase cases[] = {
        {"cd_30min", 650 * kKB, 1800, 192, 2722, 2768},
        // trunc(R - A), not trunc(R) - A: trunc(100.5 - 192) is -91.
        {"rate_below_audio", 12864, 1009, 192, -91, -91}, // R = 100.5
        {"two_terabytes", 2097152 * kKB, 3600, 192, 4702088, 4771995},
        {"past_exact_fit_limit", 300000 * kKB, 3600, 192, 672474, 682475},
        {"four_terabytes_a_day", 4000000 * kKB, 86400, 192, 373511, 379067},
        {"exact_fit_limit", 262144 * kKB, 7200, 0, 293892, 298262},
        {"estimate_clamps_high", std::int64_t{kMax} * kKB, 1, 0, kMax, kMax},
        {"largest_inputs", std::int64_t{kMax} * kKB, kMax, kMax, -2147475575, -2147475455},
        {"zero_size", 0, 1800, 192, -192, -190},
        // Very short times: the fit ends on the rounding tie, which goes down
        // only to an even size.
        {"one_second_even_size", 650 * kKB, 1, 192, 5246608, 5328704},
        {"one_second_odd_size", 651 * kKB, 1, 192, 5254680, 5336895},
        {"two_seconds_zero_size", 0, 2, 0, 0, 2048},
        {"negative_size_short_time", -20000, 3, 0, -52552, -50518},
        {"negative_size_one_second", -20000, 1, 0, -157656, -151553},
        // Negative time: sizes fall as the rate rises, so every step fits.
        {"negative_time", 650 * kKB, -1800, 192, -3106, kMax},
        {"negative_time_near_max", 650 * kKB, -1, kMin, 2142236848, kMax},
        // Here the first step already gives more than the size: the estimate stays.
        {"negative_size_negative_time", -650 * kKB, -1800, 192, 2722, 2722},
        {"first_step_just_too_large", -35848, -28, 0, 10092, 10092},
        {"first_step_just_fits", -35851, -28, 0, 10093, kMax},
        {"first_step_fits_exactly", -35851, -35, 0, 8074, kMax},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VideoRate(c.k, c.t, c.a, false), c.estimate);
        EXPECT_EQ(VideoRate(c.k, c.t, c.a, true), c.exactFit);
    }
}

// The exact-fit rule stepped one rate at a time, the way a user would try it,
// with exact sizes; used where stepping ends quickly.
std::int32_t SteppedExactFit(std::int64_t k, std::int32_t t, std::int32_t a) {
    std::int64_t v = VideoRate(k, t, a, false);
    const std::int64_t mb = k / 1024;
    for (;;) {
        const std::int64_t next = v + 1;
        if (next > kMax) break;
        // (a + next) * t stays inside 64 bits for the ranges drawn below.
        const std::int64_t p = (a + next) * t;
        std::int64_t q = p >= 0 ? p / 8192 : -((-p + 8191) / 8192);
        const std::int64_t r = p - q * 8192;
        if (r > 4096 || (r == 4096 && q % 2 != 0)) ++q;
        if (q > mb) break;
        v = next;
    }
    return static_cast<std::int32_t>(v);
}

TEST(VideoRate, ExactFitMatchesSteppingForRandomInputs) {
    std::mt19937_64 rng(20261208);
    std::uniform_int_distribution<std::int64_t> mb(0, 20000);
    std::uniform_int_distribution<std::int32_t> seconds(30, 6 * 3600);
    std::uniform_int_distribution<std::int32_t> audio(-500, 2000);
    for (int i = 0; i < 3000; ++i) {
        const std::int64_t k = mb(rng) * kKB + (i % 7 == 0 ? i % 1024 : 0);
        const std::int32_t t = seconds(rng);
        const std::int32_t a = audio(rng);
        SCOPED_TRACE(std::to_string(k) + " KB " + std::to_string(t) + " s " + std::to_string(a));
        ASSERT_EQ(VideoRate(k, t, a, true), SteppedExactFit(k, t, a));
    }
}

TEST(RecordableTime, FillsTheSize) {
    EXPECT_EQ(RecordableTime(192, 1150, 650 * kKB), 3909);
    EXPECT_EQ(RecordableTime(192, 1150, 0), 0);
    EXPECT_EQ(RecordableTime(-192, -1150, 650 * kKB), -3909);
    EXPECT_EQ(RecordableTime(192, 1150, 2097152 * kKB), 12614166); // 2 TB does not wrap
    EXPECT_EQ(RecordableTime(192, 25000, 4000000 * kKB), 1281676);
    EXPECT_EQ(RecordableTime(0, 1, std::int64_t{kMax} * kKB), kMax);
    EXPECT_EQ(RecordableTime(0, -1, std::int64_t{kMax} * kKB), kMin);
    EXPECT_EQ(RecordableTime(kMax, kMax, std::int64_t{kMax} * kKB), 4036);
}

TEST(SecPerEpisode, DividesAndClamps) {
    EXPECT_EQ(SecPerEpisode(2700, 4), 675);
    EXPECT_EQ(SecPerEpisode(1800, 1), 1800);
    EXPECT_EQ(SecPerEpisode(kMin, -1), kMax);
    EXPECT_THROW(SecPerEpisode(1, 0), CalcError);
}

struct FailureCase {
    const char* name;
    std::function<void()> call;
    CalcError::Kind kind;
    std::string message;
};

TEST(Formulas, DivisionErrorsCarryTheirMessages) {
    const FailureCase cases[] = {
        {"zero_denominator", [] { PlaySec(30, 0, 1, 0); }, CalcError::Kind::IntDivideByZero,
         "ゼロによる除算"},
        {"zero_time", [] { VideoRate(650 * kKB, 0, 192, false); },
         CalcError::Kind::FloatDivideByZero, "0 による浮動小数点数除算"},
        {"zero_time_exact", [] { VideoRate(650 * kKB, 0, 192, true); },
         CalcError::Kind::FloatDivideByZero, "0 による浮動小数点数除算"},
        {"zero_time_and_size", [] { VideoRate(0, 0, 192, true); },
         CalcError::Kind::InvalidFloatOperation, "不正な浮動小数点数演算命令"},
        {"zero_total_rate", [] { RecordableTime(192, -192, 650 * kKB); },
         CalcError::Kind::FloatDivideByZero, "0 による浮動小数点数除算"},
        {"zero_total_rate_and_size", [] { RecordableTime(0, 0, 0); },
         CalcError::Kind::InvalidFloatOperation, "不正な浮動小数点数演算命令"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.call();
            ADD_FAILURE() << "no error raised";
        } catch (const CalcError& e) {
            EXPECT_EQ(e.kind(), c.kind);
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

} // namespace
} // namespace tavik
