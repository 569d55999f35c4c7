// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A transport-stream recording's playing time and audio rate, from a bounded
// number of its bytes, as a plan of reads: the caller asks Next() what to
// read, hands the bytes to Take(), and repeats until Next() says done. No
// I/O here, so the plan can be tested and fuzzed over bytes in memory.
//
// - The main programme is the one given, or the one whose video carries the
//   most bytes in the first 4 MiB.
// - A file up to 64 MiB is read whole. A larger one is sampled: its head, its
//   tail and 1 MiB pieces spread between. Between two pieces the clock must
//   advance as far as the bytes between them hold at the rate the pieces
//   show (within a factor of two and a second), and the programme map must
//   be the same version; where not, a piece is read half-way, and so on,
//   until a break lies in a gap of at most 2 MiB, which is read whole. The
//   bytes read stay within 64 MiB and 4 MiB per break found; a gap still in
//   doubt then counts the time its bytes hold.
// - The playing time is the sum of the continuous stretches' spans; the
//   audio rate of each of the programme's audio streams is its bytes over
//   the time they span (sampled: in the pieces read, each weighed by the
//   part of the file it stands for, and 2 % added for what was not read).

#include "TsScan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavik::ts {

struct Read {
    std::int64_t offset = 0;
    std::int64_t size = 0;
};

struct AudioRate {
    std::uint16_t pid = 0;
    std::uint8_t type = 0;
    std::int64_t bitsPerSecond = 0; // rounded up; 0 where no two PES were met
    std::int64_t bytes = 0;         // what the rate was taken over
    std::int64_t ticks = 0;
};

struct RecordingFacts {
    enum class Status { Read, NotTransportStream, NoSuchProgramme, NoClock };
    Status status = Status::NotTransportStream;
    std::uint16_t programme = 0;
    std::uint16_t wanted = 0;              // the one asked for, if any
    std::vector<std::uint16_t> programmes; // every programme the file lists
    int stretches = 0;
    std::vector<std::int64_t> stretchTicks; // each one's span, in 90 kHz ticks
    std::int64_t durationUs = 0;            // their sum, rounded up
    std::vector<AudioRate> audio;
    // All the audio streams' bytes over the time the audio spans: streams
    // side by side add up, streams one after the other (new PIDs) do not.
    std::int64_t audioBitsPerSecond = 0;
    std::int64_t bytesRead = 0;
    bool sampled = false;
};

// How much is read: the program's defaults; smaller ones let the tests and
// the fuzzer reach the sampling with small files.
struct ReadLimits {
    std::int64_t wholeUpTo = std::int64_t{64} << 20; // also the budget before breaks
    std::int64_t head = std::int64_t{4} << 20;       // and the chunk when reading whole
    std::int64_t piece = std::int64_t{1} << 20;
    std::int64_t perBreak = std::int64_t{4} << 20;
};

class RecordingPlan {
public:
    RecordingPlan(std::int64_t fileSize, std::optional<std::uint16_t> programme,
                  ReadLimits limits = {});

    std::optional<Read> Next();
    // The bytes for the last Next(); fewer when the file ended early.
    void Take(const std::uint8_t* data, std::size_t size);
    const RecordingFacts& Facts() const { return facts_; }

private:
    struct Piece {
        PieceFacts facts;
        ProgrammeMap startMap;
        std::uint16_t startPmtPid = kNullPid;
    };

    void Start(const std::uint8_t* data, std::size_t size);
    void TakePiece(std::int64_t offset, const std::uint8_t* data, std::size_t size);
    std::optional<Read> NextSample();
    void Place(const Read& read, std::size_t replacing);
    void MeasureRate();
    bool Follows(const Stretch& a, const Stretch& b, std::int64_t& step) const;
    void Conclude();
    std::int64_t Aligned(std::int64_t offset) const;

    std::int64_t fileSize_;
    std::optional<std::uint16_t> wanted_;
    ReadLimits limits_;
    Framing framing_;
    RecordingFacts facts_;
    bool done_ = false;
    std::optional<Read> pending_;
    // Reading whole: the one scanner, fed in order.
    std::optional<PieceScanner> whole_;
    std::int64_t wholeAt_ = 0;
    // Sampling: the pieces by offset, the ones still to read, the one being read.
    std::vector<Piece> pieces_;
    std::vector<Read> planned_;
    std::size_t replaceFrom_ = 0;
    std::size_t replaceCount_ = 0;
    std::int64_t takingOffset_ = 0;
    std::int64_t bytesPerTick_ = 0; // scaled by 2^16
};

// The whole plan over bytes in memory (tests, fuzzing).
RecordingFacts ReadRecording(const std::uint8_t* data, std::size_t size,
                             std::optional<std::uint16_t> programme = std::nullopt,
                             ReadLimits limits = {});

} // namespace tavik::ts
