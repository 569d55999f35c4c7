// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One contiguous run of a transport stream's bytes, read for one programme:
// its clock's continuous stretches and its audio bytes. A stretch ends where
// the clock (the PCR, or the timestamps where a programme has none) steps
// back or leaps forward more than any continuous recording does: what two
// recordings joined, a restarted recorder or a broadcast discontinuity leave. A new programme map
// (version or PIDs) ends a stretch when the clock does not follow on across
// it. A 33-bit wrap is a short step forward and no break.

#include "TsPackets.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavik::ts {

// The largest step between clock readings of one continuous stretch; the
// standard allows 0.1 s between PCRs and 0.7 s between timestamps.
constexpr std::int64_t kLongestStep = kClockHz;

struct Stretch {
    // File offsets of the packets with its first and last clock readings.
    std::int64_t firstOffset = 0;
    std::int64_t lastOffset = 0;
    std::int64_t clock0 = 0;   // the first reading, on the 33-bit clock
    std::int64_t clockEnd = 0; // the last reading, after clock0
    // The programme's timestamps, after clock0; end includes the last PES's
    // length (taken as the step before it in its stream).
    bool hasTime = false;
    std::int64_t first = 0;
    std::int64_t end = 0;
    // The time its audio streams' PES span, from each one's first timestamp
    // to its last: streams side by side count once, one after another (new
    // PIDs) each.
    std::int64_t audioTicks = 0;
    int firstVersion = -1; // the programme map's version at each end
    int lastVersion = -1;

    std::int64_t Length() const { return hasTime ? end - first : 0; }
};

// An audio stream's elementary bytes (PES headers left out), and those of
// its PES with the time they span: to the next PES's timestamp, or for the
// last PES of a stretch, its bytes at the rate of the PES before it (packing
// varies with the content; the rate of neighbouring PES little).
struct AudioStream {
    std::uint16_t pid = 0;
    std::uint8_t type = 0;
    std::int64_t bytes = 0;
    std::int64_t spanBytes = 0;
    std::int64_t spanTicks = 0;
};

struct PieceFacts {
    std::int64_t begin = 0; // the file offsets read
    std::int64_t end = 0;
    std::vector<Stretch> stretches; // those with a clock reading, in order
    std::vector<AudioStream> audio;
    ProgrammeMap lastMap; // the map in force at the end (version -1: none yet)
    std::uint16_t pmtPid = kNullPid;
};

// A programme as the start of a file lists it, and its video's bytes there.
struct ProgrammeSeen {
    ProgrammeMap map;
    std::uint16_t pmtPid = 0;
    std::int64_t videoBytes = 0;
};

// The programmes whose maps the bytes carry, in the PAT's order.
std::vector<ProgrammeSeen> ListProgrammes(const std::uint8_t* data, std::size_t size,
                                          Framing framing);

// Scans bytes fed in file order, resynchronising where packets are damaged
// or out of step (a cut inside a packet before a joined file).
class PieceScanner {
public:
    PieceScanner(Framing framing, std::uint16_t pmtPid, const ProgrammeMap& known,
                 std::int64_t begin);

    // The next bytes of the file, following on from the last.
    void Feed(const std::uint8_t* data, std::size_t size);
    PieceFacts Finish();

private:
    void Scan(const std::uint8_t* data, std::size_t size, std::int64_t offset, bool last);
    void OnPacket(const Packet& packet, std::int64_t offset);
    void OnMap(const ProgrammeMap& map);
    void OnClock(std::int64_t clock, std::int64_t offset);
    void OnPes(const Packet& packet, const Stream& stream);
    void Break();
    AudioStream& Audio(const Stream& stream);

    struct StreamClock {
        std::uint16_t pid = 0;
        bool audio = false;
        std::int64_t first = 0; // after clock0
        std::int64_t last = 0;
        std::int64_t step = 0;
        std::int64_t pending = 0;   // audio bytes since the last PES start
        std::int64_t stepBytes = 0; // the audio bytes of the last PES closed
    };

    Framing framing_;
    std::size_t sync_;                // the sync byte's place in a packet
    std::vector<std::uint8_t> carry_; // bytes not yet read as a packet
    bool inStep_ = true;              // whether carry_ starts where a packet should
    std::int64_t offset_;             // of the next byte fed
    PieceFacts facts_;
    SectionBuffer pat_;
    SectionBuffer pmt_;
    Stretch stretch_;
    bool inStretch_ = false;
    std::vector<StreamClock> streamClocks_;
};

} // namespace tavik::ts
