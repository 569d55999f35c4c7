// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pieces of an MPEG transport stream, read from untrusted bytes: the
// packets (188 bytes, or 192 in M2TS with a 4-byte time code before each),
// the PAT and PMT sections and the PES headers' timestamps. Plain functions
// of a byte span; every length is checked against the span before it is
// used, and whatever does not hold is refused, never guessed.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavik::ts {

// The 90 kHz clock of PTS, DTS and the PCR's base, 33 bits wide.
constexpr std::int64_t kClockHz = 90000;
constexpr std::int64_t kClockWrap = std::int64_t{1} << 33;
constexpr std::uint16_t kNullPid = 0x1fff;

// Where the packets lie: their size and the offset of the first whole one.
// packetSize is 0 when the bytes are no transport stream.
struct Framing {
    int packetSize = 0;
    int offset = 0; // of the packet's first byte (the time code in M2TS)
};

// Looks for sync bytes at the same place in several packets in a row, within
// the first packets' length of the span.
Framing FindFraming(const std::uint8_t* data, std::size_t size);

struct Packet {
    std::uint16_t pid = 0;
    bool unitStart = false;
    bool hasPcr = false;
    std::int64_t pcr = 0; // the PCR's 90 kHz base
    const std::uint8_t* payload = nullptr;
    std::size_t payloadSize = 0;
};

// One 188-byte packet (without M2TS's time code); false when it has no sync
// byte, is marked as damaged, or its adaptation field overruns it.
bool ReadPacket(const std::uint8_t* p, Packet& out);

enum class StreamKind { Video, Audio, Other };
StreamKind KindOf(std::uint8_t streamType);

struct Stream {
    std::uint16_t pid = 0;
    std::uint8_t type = 0;
};

struct ProgrammeMap {
    std::uint16_t number = 0;
    int version = -1;
    std::uint16_t pcrPid = kNullPid;
    std::vector<Stream> streams;
};

struct PatEntry {
    std::uint16_t number = 0;
    std::uint16_t pmtPid = 0;
};

// A whole section, from its table_id to its CRC, which must match.
bool ReadPat(const std::uint8_t* s, std::size_t size, std::vector<PatEntry>& out);
bool ReadPmt(const std::uint8_t* s, std::size_t size, ProgrammeMap& out);

// The start of a PES packet: its timestamps where present and the length of
// its header, after which the elementary stream's bytes begin.
struct PesHead {
    bool hasPts = false;
    std::int64_t pts = 0;
    bool hasDts = false;
    std::int64_t dts = 0;
    std::size_t headerSize = 0;
};
bool ReadPesHead(const std::uint8_t* p, std::size_t size, PesHead& out);

// b - a on the 33-bit clock, as the nearer way round: a wrap from the top
// of the clock to its bottom is a short step forward.
std::int64_t ClockStep(std::int64_t a, std::int64_t b);

// A section that may span packets, gathered from one PID's payloads.
class SectionBuffer {
public:
    // Adds a packet's payload; true when a whole section is ready in Section().
    bool Add(const Packet& packet);
    const std::uint8_t* Section() const { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
    bool gathering_ = false;
};

} // namespace tavik::ts
