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
constexpr Container kContainers[] = {Container::None, Container::Ts,  Container::M2ts,
                                     Container::Ps,   Container::Mp4, Container::Mkv};

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
    };
    for (const Container c : kContainers)
        for (const auto& k : cases) {
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
    for (const Container c : kContainers) {
        SCOPED_TRACE(Name(c));
        const std::int64_t most = ContainerShare(c, 192, 4000, 600);
        EXPECT_EQ(ContainerShare(c, 192, 4000, 600, 0), most);
        EXPECT_EQ(ContainerShare(c, 192, 4000, 600, 60001), most);
        EXPECT_LE(ContainerShare(c, 192, 4000, 600, 29971), most);
        EXPECT_LE(ContainerShare(c, 192, 4000, 600, 25000),
                  ContainerShare(c, 192, 4000, 600, 29971));
        EXPECT_EQ(ContainerShare(c, -5, 4000, 600), ContainerShare(c, 0, 4000, 600));
        EXPECT_EQ(c == Container::None, most == 0);
        EXPECT_EQ(FileBytes(c, 192, 4000, 600), 125 * 4192 * 600 + most);
    }
    // Every input at its largest: exact where 64 bits hold it, clamped past them.
    EXPECT_EQ(FileBytes(Container::Ts, kMax, kMax, kMax), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(FittedSizeMB(Container::Ps, kMax, kMax, kMax), 1115033937686345);
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
}

TEST(Fitted, ContainerKeysRoundTrip) {
    for (const Container c : kContainers)
        EXPECT_EQ(ContainerOfKey(ContainerKey(c)), c);
    EXPECT_EQ(ContainerKey(Container::Ps), "ps");
    for (const char* key : {"", "TS", "mpegts", "ts ", "vob"})
        EXPECT_FALSE(ContainerOfKey(key)) << key;
}

} // namespace
} // namespace tavik
