// SPDX-License-Identifier: GPL-3.0-or-later
#include "TsPackets.h"

#include <algorithm>

namespace tavik::ts {

namespace {

constexpr std::uint8_t kSync = 0x47;
constexpr std::size_t kPacket = 188;
// Sync bytes in a row that make a framing: a chance match is 1 in 256 each.
constexpr int kSyncsInARow = 5;
// PSI sections are at most 1024 bytes, header and CRC included.
constexpr std::size_t kLongestSection = 1024;

std::uint32_t Crc32(const std::uint8_t* p, std::size_t size) {
    std::uint32_t crc = 0xffffffff;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= std::uint32_t{p[i]} << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000) ? (crc << 1) ^ 0x04c11db7 : crc << 1;
    }
    return crc;
}

std::uint16_t Pid(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] & 0x1f) << 8 | p[1]);
}

// The section's length as its header states it, checked against the bytes
// and the CRC over them (which gives 0 over a whole, sound section).
bool SoundSection(const std::uint8_t* s, std::size_t size, std::uint8_t tableId) {
    if (size < 12 || s[0] != tableId || !(s[1] & 0x80)) return false;
    const std::size_t length = 3 + ((s[1] & 0x0f) << 8 | s[2]);
    return length == size && Crc32(s, size) == 0;
}

// A 33-bit timestamp in PES's five bytes, marker bits ignored.
std::int64_t Timestamp(const std::uint8_t* p) {
    return (std::int64_t{p[0] & 0x0e} << 29) | (std::int64_t{p[1]} << 22) |
           (std::int64_t{p[2] & 0xfe} << 14) | (std::int64_t{p[3]} << 7) | (p[4] >> 1);
}

} // namespace

Framing FindFraming(const std::uint8_t* data, std::size_t size) {
    for (const int packetSize : {188, 192}) {
        const std::size_t step = static_cast<std::size_t>(packetSize);
        const std::size_t sync = step - kPacket; // M2TS: after the time code
        for (std::size_t start = 0; start < step; ++start) {
            int inARow = 0;
            for (std::size_t at = start + sync; at < size && data[at] == kSync; at += step)
                if (++inARow == kSyncsInARow) break;
            // A short file is taken whole when every one of its packets is in step.
            const bool whole = size >= step && inARow > 0 &&
                               static_cast<std::size_t>(inARow) == (size - start) / step;
            if (inARow == kSyncsInARow || whole) return {packetSize, static_cast<int>(start)};
        }
    }
    return {};
}

bool ReadPacket(const std::uint8_t* p, Packet& out) {
    if (p[0] != kSync || (p[1] & 0x80)) return false; // no sync, or transport error
    out = Packet{};
    out.pid = Pid(p + 1);
    out.unitStart = (p[1] & 0x40) != 0;
    const int control = (p[3] >> 4) & 0x03;
    std::size_t at = 4;
    if (control & 0x02) {
        const std::size_t length = p[4];
        if (5 + length > kPacket) return false;
        if (length >= 7 && (p[5] & 0x10)) {
            out.hasPcr = true;
            out.pcr = (std::int64_t{p[6]} << 25) | (std::int64_t{p[7]} << 17) |
                      (std::int64_t{p[8]} << 9) | (std::int64_t{p[9]} << 1) | (p[10] >> 7);
        }
        at = 5 + length;
    }
    if (control & 0x01) {
        out.payload = p + at;
        out.payloadSize = kPacket - at;
    }
    return true;
}

StreamKind KindOf(std::uint8_t streamType) {
    switch (streamType) {
    case 0x01: // MPEG-1 video
    case 0x02: // MPEG-2 video
    case 0x10: // MPEG-4 part 2
    case 0x1b: // H.264
    case 0x24: // HEVC
    case 0xea: // VC-1
        return StreamKind::Video;
    case 0x03: // MPEG-1 audio
    case 0x04: // MPEG-2 audio
    case 0x0f: // AAC in ADTS, as Japanese broadcasts carry it
    case 0x11: // AAC in LATM
    case 0x80: // LPCM on Blu-ray
    case 0x81: // AC-3
    case 0x82: // DTS
    case 0x83: // TrueHD
    case 0x84: // E-AC-3 on Blu-ray
    case 0x87: // E-AC-3
        return StreamKind::Audio;
    default:
        return StreamKind::Other;
    }
}

bool ReadPat(const std::uint8_t* s, std::size_t size, std::vector<PatEntry>& out) {
    if (!SoundSection(s, size, 0x00)) return false;
    out.clear();
    for (std::size_t at = 8; at + 4 + 4 <= size; at += 4) {
        const auto number = static_cast<std::uint16_t>(s[at] << 8 | s[at + 1]);
        if (number != 0) out.push_back({number, Pid(s + at + 2)}); // 0: the network's
    }
    return true;
}

bool ReadPmt(const std::uint8_t* s, std::size_t size, ProgrammeMap& out) {
    if (!SoundSection(s, size, 0x02)) return false;
    ProgrammeMap map;
    map.number = static_cast<std::uint16_t>(s[3] << 8 | s[4]);
    map.version = (s[5] >> 1) & 0x1f;
    map.pcrPid = Pid(s + 8);
    const std::size_t end = size - 4; // the CRC
    std::size_t at = 12 + ((s[10] & 0x0f) << 8 | s[11]);
    while (at + 5 <= end) {
        map.streams.push_back({Pid(s + at + 1), s[at]});
        at += 5 + ((s[at + 3] & 0x0f) << 8 | s[at + 4]);
    }
    if (at != end) return false; // a descriptor loop that overruns the section
    out = map;
    return true;
}

bool ReadPesHead(const std::uint8_t* p, std::size_t size, PesHead& out) {
    out = PesHead{};
    if (size < 9 || p[0] != 0 || p[1] != 0 || p[2] != 1) return false;
    // Stream IDs without the optional header (padding, private 2, ...) carry no time.
    const std::uint8_t id = p[3];
    if (id == 0xbc || id == 0xbe || id == 0xbf || id == 0xf0 || id == 0xf1 || id == 0xff ||
        id == 0xf2 || id == 0xf8 || (p[6] & 0xc0) != 0x80) {
        out.headerSize = 6;
        return true;
    }
    out.headerSize = 9 + std::size_t{p[8]};
    const int flags = p[7] >> 6;
    if (flags & 0x02) {
        if (out.headerSize < 14 || size < 14) return false;
        out.hasPts = true;
        out.pts = Timestamp(p + 9);
    }
    if (flags == 0x03) {
        if (out.headerSize < 19 || size < 19) return false;
        out.hasDts = true;
        out.dts = Timestamp(p + 14);
    }
    return true;
}

std::int64_t ClockStep(std::int64_t a, std::int64_t b) {
    std::int64_t d = (b - a) % kClockWrap;
    if (d < 0) d += kClockWrap;
    return d >= kClockWrap / 2 ? d - kClockWrap : d;
}

bool SectionBuffer::Add(const Packet& packet) {
    const std::uint8_t* p = packet.payload;
    std::size_t n = packet.payloadSize;
    if (!p || n == 0) return false;
    if (packet.unitStart) {
        const std::size_t pointer = p[0];
        if (1 + pointer >= n) {
            gathering_ = false;
            return false;
        }
        p += 1 + pointer;
        n -= 1 + pointer;
        bytes_.clear();
        gathering_ = true;
    } else if (!gathering_) {
        return false;
    }
    bytes_.insert(bytes_.end(), p, p + std::min(n, kLongestSection - bytes_.size()));
    if (bytes_.size() < 3) return false;
    const std::size_t length = 3 + ((bytes_[1] & 0x0f) << 8 | bytes_[2]);
    if (length > kLongestSection) {
        gathering_ = false;
        return false;
    }
    if (bytes_.size() < length) return false;
    bytes_.resize(length);
    gathering_ = false;
    return true;
}

} // namespace tavik::ts
