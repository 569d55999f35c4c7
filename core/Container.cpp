// SPDX-License-Identifier: GPL-3.0-or-later
#include "Container.h"

#include "CalcError.h"

#include <algorithm>
#include <limits>

namespace tavik {

namespace {

// Sizes reach 2^51 bytes and rate * time products 2^70: sums whose inputs
// keep (a + v) * t below kSmallProduct are done in 64 bits, which then hold
// every term, and larger ones in 128 bits, so nothing wraps at any input.
__extension__ using Int128 = __int128;
constexpr std::int64_t kSmallProduct = std::int64_t{1} << 48;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
// Bytes a stream of 1 kbit/s (1000 bit/s) fills in a second.
constexpr std::int64_t kBytesPerKbit = 125;

template <typename I> constexpr I CeilDiv(I a, I b) {
    return (a + b - 1) / b;
}

// MPEG-TS as ffmpeg's mpegts muxer writes it. Every packet is 188 bytes with
// a 4-byte header, so 184 carry data.
constexpr int kTsPacket = 188;
constexpr int kTsData = 184;

// PAT and PMT go out every 100 ms and the SDT every 500 ms, one packet each,
// and all three at the start.
template <typename I> I TsTablePackets(I seconds) {
    return 2 * (10 * seconds + 1) + (2 * seconds + 1);
}

// One PES per video frame: a 19-byte header (PTS and DTS), an 8-byte
// adaptation field (the PCR and random access flag every key frame gets, and
// every frame may be one), and the padding of the PES's last packet, 0 to
// 183 bytes: 92, its mean, which over the frames of a real recording the
// slack of the other terms more than covers.
constexpr int kTsVideoPerFrame = 19 + 8 + 92;

// The muxer gathers audio frames into one PES until the next would pass 2930
// bytes or 0.35 s, behind a 14-byte header, and pads the PES's last packet.
// How many packets that takes depends on the frame size, so it is counted
// for the audio codecs of MPEG recordings at 48 kHz and the most is taken:
// MPEG audio (1152 samples a frame), AAC (1024, and the 7-byte ADTS header
// the muxer puts before each frame) and AC-3 (1536).
constexpr int kSampleRate = 48000;
constexpr int kTsAudioPesData = 2930;
constexpr int kTsAudioPesHeader = 14;
constexpr int kTsAudioPesSamples = kSampleRate * 35 / 100;
// Counts below this divide in 32 bits, which is cheaper.
constexpr std::int64_t kMost32 = std::numeric_limits<std::uint32_t>::max() - 32;

template <typename I, int kSamples, int kExtraBytes> I TsAudioPacketsOf(I audioKbps, I seconds) {
    const I frameBytes =
        CeilDiv<I>(audioKbps * kBytesPerKbit * kSamples, kSampleRate) + kExtraBytes;
    const I frames = CeilDiv<I>(seconds * kSampleRate, kSamples);
    constexpr I kMostFrames = CeilDiv<I>(kTsAudioPesSamples, kSamples);
    const I perPes = frameBytes * kMostFrames <= kTsAudioPesData ? kMostFrames
                     : frameBytes > kTsAudioPesData
                         ? 1
                         : kTsAudioPesData / static_cast<std::uint32_t>(frameBytes);
    const I pes = frames <= kMost32 ? I{CeilDiv<std::uint32_t>(static_cast<std::uint32_t>(frames),
                                                               static_cast<std::uint32_t>(perPes))}
                                    : CeilDiv<I>(frames, perPes);
    return pes * CeilDiv<I>(perPes * frameBytes + kTsAudioPesHeader, kTsData);
}

template <typename I> I TsAudioPackets(I audioKbps, I seconds) {
    if (audioKbps == 0) return 0;
    return std::max({TsAudioPacketsOf<I, 1152, 0>(audioKbps, seconds),
                     TsAudioPacketsOf<I, 1024, 7>(audioKbps, seconds),
                     TsAudioPacketsOf<I, 1536, 0>(audioKbps, seconds)});
}

// M2TS (BDAV): the same packets, each behind a 4-byte time stamp, and null
// packets up to a whole aligned unit of 32.
constexpr int kM2tsPacket = 192;
constexpr int kM2tsUnit = 32;

// MPEG-PS in 2048-byte packs, as ffmpeg's dvd muxer writes them. A VOBU starts
// at a key frame at least 0.4 s after the last: a navigation pack, and the
// pack before it padded so that the key frame starts a pack (counted whole).
// Each pack has a 14-byte header; a video pack's PES header takes 10 bytes
// and 10 more for the PTS and DTS of a frame starting in it; an audio pack's
// takes 15, and 4 more for the substream header of AC-3 in a private stream.
constexpr int kPsPack = 2048;
constexpr int kPsVideoData = kPsPack - 14 - 10;
constexpr int kPsFrameStamps = 10;
constexpr int kPsAudioData = kPsPack - 14 - 15 - 4;

// MP4 and Matroska index every frame. Audio is counted at 50 frames a second,
// the most of AAC, MPEG audio, AC-3 and Opus at 48 kHz. The boxes and
// elements every file has, with the metadata ffmpeg copies, stay within 4 KiB.
constexpr int kAudioFramesPerSecond = 50;
constexpr int kFixedHeader = 4096;

// MP4 (moov after mdat, ffmpeg's default): per video sample its size (stsz),
// chunk offset (stco; 8 bytes as co64 once the streams near 4 GiB), sync
// sample (stss) and composition offset (ctts); per audio frame its size,
// chunk offset and sample-to-chunk entry (stsc, 12).
constexpr std::int64_t kMp4LargeStreams = (std::int64_t{1} << 32) - kBytesPerMB;
constexpr int Mp4VideoPerFrame(bool large) {
    return 4 + (large ? 8 : 4) + 4 + 8;
}
constexpr int Mp4AudioPerFrame(bool large) {
    return 4 + (large ? 8 : 4) + 12;
}

// Matroska: per frame a SimpleBlock header (9 bytes with the size's vint for
// frames up to 256 MB); every video frame may be a key frame, which starts a
// cluster (12) and gets a cue point (20); a cluster at least every 5 s.
constexpr int kMkvVideoPerFrame = 9 + 12 + 20;
constexpr int kMkvAudioPerFrame = 9;
constexpr int kMkvCluster = 12;
constexpr int kMkvClusterSeconds = 5;

// Every container lays the video out the same way: the file is whole units
// (packets, packs or bytes), `fixedUnits` of them for tables, audio and
// index, then the video with `perFrame` bytes of its own per frame, spread
// over units that carry `unitData` bytes each; the count is rounded up to a
// multiple of `align`.
template <typename I> struct Layout {
    I unitBytes;
    I unitData;
    I perFrame;
    I fixedUnits;
    I align;

    I Bytes(I videoBytes, I frames) const {
        I units = fixedUnits + CeilDiv<I>(videoBytes + perFrame * frames, unitData);
        if (align != 1) units = CeilDiv<I>(units, align) * align;
        return unitBytes * units;
    }
};

// `large`: the streams near 4 GiB or more (it matters to MP4 only).
template <typename I> Layout<I> LayoutOf(Container c, I audioKbps, I seconds, bool large) {
    const I audioBytes = audioKbps * kBytesPerKbit * seconds;
    const I audioFrames = audioKbps == 0 ? 0 : kAudioFramesPerSecond * seconds;
    switch (c) {
    case Container::None:
        break;
    case Container::Ts:
    case Container::M2ts:
        return {c == Container::Ts ? kTsPacket : kM2tsPacket, kTsData, kTsVideoPerFrame,
                TsTablePackets(seconds) + TsAudioPackets(audioKbps, seconds),
                c == Container::Ts ? 1 : kM2tsUnit};
    case Container::Ps: {
        const I vobus = seconds * 5 / 2 + 1;
        return {kPsPack, kPsVideoData, kPsFrameStamps,
                2 * vobus + CeilDiv<I>(audioBytes, kPsAudioData), 1};
    }
    case Container::Mp4:
        return {1, 1, Mp4VideoPerFrame(large),
                kFixedHeader + audioBytes + audioFrames * Mp4AudioPerFrame(large), 1};
    case Container::Mkv:
        return {1, 1, kMkvVideoPerFrame,
                kFixedHeader + audioBytes + audioFrames * kMkvAudioPerFrame +
                    kMkvCluster * CeilDiv<I>(seconds, kMkvClusterSeconds),
                1};
    }
    return {1, 1, 0, audioBytes, 1};
}

template <typename I> I FramesIn(I seconds, std::int32_t milliFps) {
    return CeilDiv<I>(seconds * milliFps, 1000);
}

template <typename I>
I BytesOf(Container c, I audioKbps, I videoKbps, I seconds, std::int32_t milliFps) {
    const I videoBytes = videoKbps * kBytesPerKbit * seconds;
    const bool large = audioKbps * kBytesPerKbit * seconds + videoBytes >= kMp4LargeStreams;
    return LayoutOf(c, audioKbps, seconds, large).Bytes(videoBytes, FramesIn(seconds, milliFps));
}

// The whole file; inputs not negative, milliFps within 1..kMaxMilliFps.
Int128 Bytes(Container c, std::int64_t a, std::int64_t v, std::int64_t t, std::int32_t milliFps) {
    if ((a + v) * t < kSmallProduct) return BytesOf<std::int64_t>(c, a, v, t, milliFps);
    return BytesOf<Int128>(c, a, v, t, milliFps);
}

std::int64_t NotNegative(std::int32_t value) {
    return std::max(value, 0);
}

std::int32_t FpsOrMost(std::int32_t milliFps) {
    return milliFps >= 1 && milliFps <= kMaxMilliFps ? milliFps : kMaxMilliFps;
}

std::int64_t Clamp64(Int128 value) {
    return value > kMax64 ? kMax64 : static_cast<std::int64_t>(value);
}

// The largest video rate whose file under the layout fits the room, or -1:
// the file's units are at most the room's whole units, rounded down to the
// alignment, which leaves the video its bytes; they divide by the bytes a
// kbit/s fills in the time.
std::int64_t LargestRate(const Layout<std::int64_t>& layout, std::int64_t room,
                         std::int64_t seconds, std::int64_t frames) {
    const std::int64_t units = room / layout.unitBytes / layout.align * layout.align;
    const std::int64_t videoBytes =
        (units - layout.fixedUnits) * layout.unitData - layout.perFrame * frames;
    return videoBytes < 0 ? -1 : videoBytes / (kBytesPerKbit * seconds);
}

[[noreturn]] void ThrowZeroDivisor(std::int32_t sizeMB) {
    throw CalcError(sizeMB == 0 ? CalcError::Kind::InvalidFloatOperation
                                : CalcError::Kind::FloatDivideByZero);
}

} // namespace

std::string_view ContainerKey(Container c) {
    for (const ContainerRow& row : kContainers)
        if (row.container == c) return row.key;
    return kContainers[0].key;
}

std::optional<Container> ContainerOfKey(std::string_view key) {
    for (const ContainerRow& row : kContainers)
        if (row.key == key) return row.container;
    return std::nullopt;
}

std::int32_t MilliFpsOfKey(std::string_view key) {
    for (const FrameRateRow& row : kFrameRates)
        if (row.key == key) return row.milliFps;
    return kMaxMilliFps;
}

std::int64_t ContainerShare(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                            std::int32_t seconds, std::int32_t milliFps) {
    const std::int64_t a = NotNegative(audioKbps), v = NotNegative(videoKbps);
    const std::int64_t t = NotNegative(seconds);
    return Clamp64(Bytes(c, a, v, t, FpsOrMost(milliFps)) - Int128{a + v} * kBytesPerKbit * t);
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
    return Clamp64(CeilDiv<Int128>(bytes, kBytesPerMB));
}

std::int32_t FittedVideoRate(Container c, std::int32_t sizeMB, std::int32_t seconds,
                             std::int32_t audioKbps, std::int32_t milliFps) {
    if (seconds <= 0) ThrowZeroDivisor(sizeMB);
    const std::int64_t room = NotNegative(sizeMB) * kBytesPerMB;
    const std::int64_t a = NotNegative(audioKbps);
    const std::int64_t t = seconds;
    // The audio's own bytes past the room: nothing fits. Below it, every
    // term of the layout holds in 64 bits.
    if (Int128{a} * kBytesPerKbit * t > room) throw CalcError(CalcError::Kind::SizeTooSmall);
    const std::int64_t frames = FramesIn<std::int64_t>(t, FpsOrMost(milliFps));
    std::int64_t rate = LargestRate(LayoutOf<std::int64_t>(c, a, t, false), room, t, frames);
    // MP4's offsets widen once the streams near 4 GiB: rates from there on
    // are laid out with the wide ones, and every rate below fits.
    if (c == Container::Mp4 && (a + rate) * kBytesPerKbit * t >= kMp4LargeStreams) {
        const std::int64_t firstLarge =
            CeilDiv<std::int64_t>(kMp4LargeStreams, kBytesPerKbit * t) - a;
        rate = std::max(LargestRate(LayoutOf<std::int64_t>(c, a, t, true), room, t, frames),
                        firstLarge - 1);
    }
    if (rate < 0) throw CalcError(CalcError::Kind::SizeTooSmall);
    return static_cast<std::int32_t>(std::min<std::int64_t>(rate, kMax));
}

std::int32_t FittedTime(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                        std::int32_t sizeMB, std::int32_t milliFps) {
    const std::int64_t a = NotNegative(audioKbps), v = NotNegative(videoKbps);
    if (a + v == 0) ThrowZeroDivisor(sizeMB);
    const Int128 room = NotNegative(sizeMB) * kBytesPerMB;
    const std::int32_t fps = FpsOrMost(milliFps);
    const auto bytesAt = [&](std::int64_t t) { return Bytes(c, a, v, t, fps); };
    // From `beyond` on, the streams alone pass the room.
    const std::int64_t beyond = static_cast<std::int64_t>(room / (kBytesPerKbit * (a + v))) + 1;
    if (beyond > kMax && bytesAt(kMax) <= room) return kMax;
    // Below it the file grows almost linearly with the time, so the time at
    // which the bytes per second measured up to there fill the room is at
    // most a few seconds off. Steps from it, doubling while they fit and
    // halving when not, find the edge.
    const std::int64_t hi = std::min<std::int64_t>(beyond, kMax);
    std::int64_t t = static_cast<std::int64_t>(room * hi / bytesAt(hi));
    for (std::int64_t back = 1; bytesAt(t) > room; back *= 2) {
        if (t == 0) throw CalcError(CalcError::Kind::SizeTooSmall);
        t = std::max<std::int64_t>(0, t - back);
    }
    for (std::int64_t step = 1; step > 0;) {
        if (t + step < hi && bytesAt(t + step) <= room) {
            t += step;
            step *= 2;
        } else {
            step /= 2;
        }
    }
    return static_cast<std::int32_t>(t);
}

} // namespace tavik
