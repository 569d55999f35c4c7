// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Container.h"
#include "core/CalcError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace tavik {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMB = 1048576;

std::string Name(Container c) {
    return std::string(ContainerKey(c));
}

// The searches against the model they invert: the rate and the time found
// fit, and one more does not.
TEST(Fitted, RateAndTimeAreTheLargestThatFit) {
    struct {
        std::int32_t sizeMB, seconds, audio, video, milliFps;
    } const cases[] = {
        {650, 1800, 192, 1150, kMaxMilliFps},
        {4482, 7200, 448, 6000, 29971},
        {23866, 7200, 640, 20000, 23977},
        {8, 60, 192, 926, 59941},
        {1, 1, 0, 1, 25000},
        {4096, 3600, 192, 9000, kMaxMilliFps}, // MP4's offsets widen near 4 GiB
        {4100, 4000, 0, 8300, kMaxMilliFps},
        {2147483647, 1, 0, kMax, kMaxMilliFps},
        {2147483647, kMax, 2147, 1, 1},
        {1000000, 60, 1, 0, kMaxMilliFps}, // no time past 2^31 s, yet not all of them fit
    };
    for (const ContainerRow& row : kContainers)
        for (const auto& k : cases) {
            const Container c = row.container;
            SCOPED_TRACE(Name(c) + " " + std::to_string(k.sizeMB) + " MB " +
                         std::to_string(k.seconds) + " s");
            const std::int64_t room = k.sizeMB * kMB;
            const std::int32_t rate = FittedVideoRate(c, k.sizeMB, k.seconds, k.audio, k.milliFps);
            EXPECT_LE(FileBytes(c, k.audio, rate, k.seconds, k.milliFps), room);
            if (rate < kMax) {
                EXPECT_GT(FileBytes(c, k.audio, rate + 1, k.seconds, k.milliFps), room);
            }
            const std::int32_t time = FittedTime(c, k.audio, k.video, k.sizeMB, k.milliFps);
            EXPECT_LE(FileBytes(c, k.audio, k.video, time, k.milliFps), room);
            if (time < kMax) {
                EXPECT_GT(FileBytes(c, k.audio, k.video, time + 1, k.milliFps), room);
            }
            const std::int64_t bytes = FileBytes(c, k.audio, k.video, k.seconds, k.milliFps);
            EXPECT_EQ(FittedSizeMB(c, k.audio, k.video, k.seconds, k.milliFps),
                      (bytes + kMB - 1) / kMB);
        }
}

TEST(Fitted, ShareGrowsWithTheFrameRateUpToTheMost) {
    for (const auto& [c, key, shown] : kContainers) {
        SCOPED_TRACE(key);
        EXPECT_EQ(ContainerOfKey(key), c); // every row reads back by its key
        EXPECT_EQ(ContainerKey(c), key);
        const std::int64_t most = ContainerShare(c, 192, 4000, 600);
        EXPECT_EQ(ContainerShare(c, 192, 4000, 600, 0), most);
        EXPECT_EQ(ContainerShare(c, 192, 4000, 600, 60001), most);
        EXPECT_LE(ContainerShare(c, 192, 4000, 600, 29971), most);
        EXPECT_LE(ContainerShare(c, 192, 4000, 600, 25000),
                  ContainerShare(c, 192, 4000, 600, 29971));
        EXPECT_EQ(ContainerShare(c, -5, 4000, 600), ContainerShare(c, 0, 4000, 600));
    }
    // Every input at its largest: exact where 64 bits hold it, clamped past them.
    EXPECT_EQ(FileBytes(Container::Ts, kMax, kMax, kMax), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(FittedSizeMB(Container::Ps, kMax, kMax, kMax), 1115033937686345);
}

// The share at the rates and frame rates tavik_mux_tests holds against
// ffmpeg's muxes, and at a DVD's and a Blu-ray's length: a change to the
// model must pass those files again before these numbers change.
TEST(Fitted, ShareIsTheOneCheckedAgainstRealMuxes) {
    struct {
        std::int32_t audio, video, seconds, milliFps;
        std::int64_t ts, m2ts, ps, mp4, mkv;
    } const cases[] = {
        {192, 3808, 60, kMaxMilliFps, 1455032, 2126976, 1019008, 136096, 178840},
        {192, 797, 60, 29971, 745084, 919908, 733540, 100076, 104999},
        {448, 6000, 7200, 25000, 210006884, 337949184, 146190848, 12964096, 10641376},
        {0, 9000, 3600, kMaxMilliFps, 129196572, 218120064, 87078784, 4324096, 8868736},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.video) + " kbit/s " + std::to_string(k.seconds) + " s");
        const auto share = [&](Container c) {
            return ContainerShare(c, k.audio, k.video, k.seconds, k.milliFps);
        };
        EXPECT_EQ(share(Container::Ts), k.ts);
        EXPECT_EQ(share(Container::M2ts), k.m2ts);
        EXPECT_EQ(share(Container::Ps), k.ps);
        EXPECT_EQ(share(Container::Mp4), k.mp4);
        EXPECT_EQ(share(Container::Mkv), k.mkv);
    }
}

TEST(Fitted, FailsAsTheDesignedSumsAndWhenNothingFits) {
    using Kind = CalcError::Kind;
    struct {
        const char* name;
        Container c;
        bool rate; // else the time
        std::int32_t sizeMB, seconds, audio, video;
        Kind kind;
    } const cases[] = {
        {"rate, no time", Container::Ts, true, 650, 0, 192, 0, Kind::FloatDivideByZero},
        {"rate, no time, no size", Container::Mkv, true, 0, 0, 192, 0, Kind::InvalidFloatOperation},
        {"rate, audio alone too large", Container::Mp4, true, 1, 60, 192, 0, Kind::SizeTooSmall},
        {"rate, headers too large", Container::Ps, true, 0, 1, 0, 0, Kind::SizeTooSmall},
        {"time, no rate", Container::M2ts, false, 650, 0, 0, 0, Kind::FloatDivideByZero},
        {"time, no rate, no size", Container::Ts, false, 0, 0, 0, 0, Kind::InvalidFloatOperation},
        {"time, headers too large", Container::Ts, false, 0, 0, 192, 1150, Kind::SizeTooSmall},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        try {
            if (k.rate)
                FittedVideoRate(k.c, k.sizeMB, k.seconds, k.audio);
            else
                FittedTime(k.c, k.audio, k.video, k.sizeMB);
            ADD_FAILURE() << "no failure";
        } catch (const CalcError& e) {
            EXPECT_EQ(e.kind(), k.kind);
        }
    }
    // Without a container nothing wraps the streams: an empty file fits.
    EXPECT_EQ(FittedTime(Container::None, 192, 1150, 0), 0);
    EXPECT_EQ(FittedVideoRate(Container::None, 1, 60, 0), 139);
    EXPECT_EQ(FittedVideoRate(Container::None, 125, 1024, 1024), 0); // the audio fills it exactly
}

} // namespace
} // namespace tavik
