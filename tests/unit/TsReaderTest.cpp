// SPDX-License-Identifier: GPL-3.0-or-later
// The transport stream reader over packets made here byte by byte: the
// clock's breaks, the wrap, new PIDs, damaged and cut packets, M2TS, the
// programme chosen. Files ffmpeg writes are the probe's tests' business.
#include "media/TsRecording.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tavik::ts {
namespace {

constexpr std::int64_t kFrame = 3600; // 40 ms at 90 kHz

// A run of frames: each a video PES carrying the PCR and an audio PES of
// `audio` bytes, both stamped with the clock.
struct Segment {
    std::int64_t start; // 90 kHz
    int frames;
    std::uint16_t programme = 1;
    std::uint16_t audioPid = 0x101;
    int version = 0;
    int audio = 100;
    std::uint16_t secondAudio = 0; // a second audio stream beside the first
};

struct Maker {
    std::vector<std::uint8_t> bytes;
    bool m2ts = false;

    void Packet(std::uint16_t pid, bool start, const std::vector<std::uint8_t>& payload,
                const std::int64_t* pcr = nullptr) {
        if (m2ts) bytes.insert(bytes.end(), 4, 0);
        std::vector<std::uint8_t> p{0x47, static_cast<std::uint8_t>((start ? 0x40 : 0) | pid >> 8),
                                    static_cast<std::uint8_t>(pid), 0x30};
        const std::size_t fill = 184 - payload.size() - 1; // adaptation field's length
        p.push_back(static_cast<std::uint8_t>(fill));
        if (fill > 0) p.push_back(pcr ? 0x10 : 0);
        if (pcr)
            for (int shift : {25, 17, 9, 1})
                p.push_back(static_cast<std::uint8_t>(*pcr >> shift));
        if (pcr) p.insert(p.end(), {static_cast<std::uint8_t>((*pcr & 1) << 7), 0});
        p.resize(5 + fill, 0xff);
        p.insert(p.end(), payload.begin(), payload.end());
        bytes.insert(bytes.end(), p.begin(), p.end());
    }
    void Section(std::uint16_t pid, std::vector<std::uint8_t> s) {
        s[2] = static_cast<std::uint8_t>(s.size() + 4 - 3);
        std::uint32_t crc = 0xffffffff;
        for (std::uint8_t b : s)
            for (int bit = 0; bit < 8; ++bit, b <<= 1)
                crc = ((crc >> 31) ^ (b >> 7)) ? (crc << 1) ^ 0x04c11db7 : crc << 1;
        for (int shift : {24, 16, 8, 0})
            s.push_back(static_cast<std::uint8_t>(crc >> shift));
        s.insert(s.begin(), 0); // pointer field
        Packet(pid, true, s);
    }
    static std::uint8_t Hi(int pid) { return static_cast<std::uint8_t>(0xe0 | pid >> 8); }
    static std::uint8_t Lo(int v) { return static_cast<std::uint8_t>(v); }
    // Programmes 1 to 3 listed, with PMT PIDs 0x1001 to 0x1003; video on 0x100 + 16 * number.
    void Maps(const Segment& r) {
        const int video = 0x100 + 16 * r.programme;
        // clang-format off
        Section(0, {0, 0xb0, 0, 0, 1, 0xc1, 0, 0, 0, 1, 0xf0, 1, 0, 2, 0xf0, 2, 0, 3, 0xf0, 3});
        std::vector<std::uint8_t> pmt{2, 0xb0, 0, 0, Lo(r.programme), Lo(0xc1 | r.version << 1), 0, 0,
                                      Hi(video), Lo(video), 0xf0, 0, 2, Hi(video), Lo(video), 0xf0, 0,
                                      0x0f, Hi(r.audioPid), Lo(r.audioPid), 0xf0, 0};
        if (r.secondAudio) pmt.insert(pmt.end(), {std::uint8_t{0x0f}, Hi(r.secondAudio), Lo(r.secondAudio), std::uint8_t{0xf0}, std::uint8_t{0}});
        Section(0x1000 + r.programme, pmt);
    }
    void Pes(int pid, std::int64_t pts, int size, bool pcr) {
        std::vector<std::uint8_t> pes{0, 0, 1, 0xe0, 0, 0, 0x80, 0x80, 5,
                                      Lo(0x21 | (pts >> 29 & 0x0e)), Lo(pts >> 22), Lo(pts >> 14 | 1),
                                      Lo(pts >> 7), Lo(pts << 1 | 1)};
        // clang-format on
        pes.resize(pes.size() + static_cast<std::size_t>(size), 0xaa);
        Packet(static_cast<std::uint16_t>(pid), true, pes, pcr ? &pts : nullptr);
    }
    void Frames(const Segment& r) {
        for (int i = 0; i < r.frames; ++i) {
            const std::int64_t t = (r.start + i * kFrame) % kClockWrap;
            if (i % 10 == 0) Maps(r);
            Pes(0x100 + 16 * r.programme, t, 20, true);
            Pes(r.audioPid, t, r.audio, false);
            if (r.secondAudio) Pes(r.secondAudio, t, r.audio, false);
        }
    }
};

struct ReaderCase {
    const char* name;
    std::vector<Segment> runs;
    int stretches;
    std::int64_t durationUs;
    std::int64_t audioBitsPerSecond; // per stream and summed alike here
    RecordingFacts::Status status = RecordingFacts::Status::Read;
    bool m2ts = false;
    int damage = 0; // bytes cut from the end, or garbage after the first run
    std::optional<std::uint16_t> programme = {};
    bool sampled = false; // read in 2 KiB pieces, as a large file is
    int sideBySide = 1;   // audio streams at once: each has its share of the rate
};

// 50 frames are 2 s; 100 audio bytes every 40 ms are 20 kbit/s.
constexpr auto kRead = RecordingFacts::Status::Read;

// clang-format off
const ReaderCase kCases[] = {
    {"continuous", {{0, 50}}, 1, 2000000, 20000},
    {"restarted_clock", {{90000, 50}, {90000, 50}}, 2, 4000000, 20000},
    {"ends_after_the_first_begins", {{900000, 50}, {800000, 50}}, 2, 4000000, 20000},
    {"jumps_ten_minutes", {{0, 50}, {600 * 90000, 50}}, 2, 4000000, 20000},
    {"follows_on", {{0, 50}, {50 * kFrame, 50}}, 1, 4000000, 20000},
    {"wraps", {{kClockWrap - 25 * kFrame, 50}}, 1, 2000000, 20000},
    {"new_pids_and_version", {{0, 50}, {50 * kFrame, 50, 1, 0x102, 1}}, 1, 4000000, 20000},
    {"m2ts", {{0, 50}}, 1, 2000000, 20000, kRead, true},
    {"cut_inside_a_packet", {{0, 50}}, 1, 1960000, 20000, kRead, false, 7},
    {"garbage_between", {{0, 50}, {50 * kFrame, 50}}, 1, 4000000, 20000, kRead, false, -100},
    {"no_such_programme", {{0, 50}}, 0, 0, 0, RecordingFacts::Status::NoSuchProgramme, false, 0, 7},
    {"another_programme", {{0, 50, 2}, {0, 50, 3, 0x103, 0, 150}}, 1, 2000000, 30000, kRead, false, 0, 3},
    {"second_audio_beside", {{0, 50, 1, 0x101, 0, 100, 0x104}}, 1, 2000000, 40000, kRead, false, 0, {}, false, 2},
    {"sampled", {{0, 1000}}, 1, 40000000, 20000, kRead, false, 0, {}, true},
    // The real average of 100 and 160 bytes a frame, each for half the time.
    {"sampled_audio_changes", {{0, 500}, {500 * kFrame, 500, 1, 0x101, 0, 160}}, 1, 40000000, 26000, kRead, false, 0, {}, true},
    {"sampled_break", {{0, 500}, {90000, 500}}, 2, 40000000, 20000, kRead, false, 0, {}, true},
    {"sampled_jump", {{0, 500}, {600 * 90000, 500}}, 2, 40000000, 20000, kRead, false, 0, {}, true},
};
// clang-format on

TEST(TsReader, StretchesAndAudioFromPackets) {
    for (const ReaderCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Maker m;
        m.m2ts = c.m2ts;
        for (const Segment& r : c.runs) {
            m.Frames(r);
            if (c.damage < 0 && &r == &c.runs.front())
                m.bytes.insert(m.bytes.end(), static_cast<std::size_t>(-c.damage), 0x47);
        }
        if (c.damage > 0) m.bytes.resize(m.bytes.size() - 188 - static_cast<std::size_t>(c.damage));
        const ReadLimits small{128 << 10, 8 << 10, 2 << 10, 8 << 10};
        const RecordingFacts f = ReadRecording(m.bytes.data(), m.bytes.size(), c.programme,
                                               c.sampled ? small : ReadLimits{});
        EXPECT_EQ(f.sampled, c.sampled);
        EXPECT_LE(f.bytesRead, c.sampled ? 136 << 10 : 1 << 30) << m.bytes.size();
        ASSERT_EQ(f.status, c.status);
        EXPECT_EQ(f.stretches, c.stretches);
        // The time exact, sampled too: the pieces' clocks join up. The audio
        // rate exact read whole; sampled never 1 % low, at most 5 % high.
        EXPECT_EQ(f.durationUs, c.durationUs);
        const auto within = [&](std::int64_t rate, std::int64_t real) {
            EXPECT_GE(rate, real * (c.sampled ? 99 : 100) / 100);
            EXPECT_LE(rate, real * (c.sampled ? 105 : 100) / 100);
        };
        within(f.audioBitsPerSecond, c.audioBitsPerSecond);
        EXPECT_GE(f.audio.size(),
                  c.audioBitsPerSecond ? std::size_t(c.sideBySide) : 0u); // each one listed
        for (const AudioRate& a : f.audio)
            within(a.bitsPerSecond, c.audioBitsPerSecond / c.sideBySide);
    }
}

TEST(TsReader, NotATransportStream) {
    const std::vector<std::uint8_t> text(4000, 'x');
    EXPECT_EQ(ReadRecording(text.data(), text.size()).status,
              RecordingFacts::Status::NotTransportStream);
}

} // namespace
} // namespace tavik::ts
