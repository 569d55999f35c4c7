// SPDX-License-Identifier: GPL-3.0-or-later
#include "TsRecording.h"

#include <algorithm>

namespace tavik::ts {

namespace {

__extension__ using Int128 = __int128;

constexpr std::int64_t kSamples = 24;
constexpr std::int64_t kRateScale = 1 << 16;
constexpr std::int64_t kSampledMarginPercent = 2;

// ceil(a * b / c) for a, b, c above 0, without overflow.
std::int64_t MulDivUp(std::int64_t a, std::int64_t b, std::int64_t c) {
    return static_cast<std::int64_t>((Int128{a} * b + c - 1) / c);
}

const Stretch* LastStretch(const std::vector<Stretch>& s) {
    return s.empty() ? nullptr : &s.back();
}

} // namespace

RecordingPlan::RecordingPlan(std::int64_t fileSize, std::optional<std::uint16_t> programme,
                             ReadLimits limits)
    : fileSize_(std::max<std::int64_t>(fileSize, 0)), wanted_(programme), limits_(limits) {
    // Every read must make progress and hold whole packets.
    limits_.head = std::max<std::int64_t>(limits_.head, 2048);
    limits_.piece = std::max<std::int64_t>(limits_.piece, 512);
}

std::int64_t RecordingPlan::Aligned(std::int64_t offset) const {
    const std::int64_t step = framing_.packetSize;
    const std::int64_t start = framing_.offset;
    return offset <= start ? start : start + (offset - start) / step * step;
}

std::optional<Read> RecordingPlan::Next() {
    if (done_) return std::nullopt;
    if (pending_) return pending_;
    if (framing_.packetSize == 0) {
        pending_ = Read{0, std::min(fileSize_, limits_.head)};
    } else if (whole_) {
        if (wholeAt_ < fileSize_)
            pending_ = Read{wholeAt_, std::min(limits_.head, fileSize_ - wholeAt_)};
    } else {
        pending_ = NextSample();
    }
    if (!pending_ || pending_->size <= 0) {
        pending_.reset();
        Conclude();
    }
    return pending_;
}

void RecordingPlan::Take(const std::uint8_t* data, std::size_t size) {
    if (!pending_ || done_) return;
    const Read read = *pending_;
    pending_.reset();
    size = std::min(size, static_cast<std::size_t>(read.size));
    facts_.bytesRead += static_cast<std::int64_t>(size);
    if (framing_.packetSize == 0) {
        Start(data, size);
    } else if (whole_) {
        whole_->Feed(data, size);
        // A file that ends early (cut while read) ends the reading.
        wholeAt_ = static_cast<std::int64_t>(size) < read.size ? fileSize_ : wholeAt_ + read.size;
    } else {
        TakePiece(takingOffset_, data, size);
    }
}

void RecordingPlan::Start(const std::uint8_t* data, std::size_t size) {
    framing_ = FindFraming(data, size);
    const std::vector<ProgrammeSeen> seen = ListProgrammes(data, size, framing_);
    if (framing_.packetSize == 0 || seen.empty()) {
        facts_.status = RecordingFacts::Status::NotTransportStream;
        done_ = true;
        return;
    }
    const ProgrammeSeen* main = nullptr;
    for (const ProgrammeSeen& p : seen) {
        facts_.programmes.push_back(p.map.number);
        if (wanted_ ? p.map.number == *wanted_ : (!main || p.videoBytes > main->videoBytes))
            main = &p;
    }
    if (!main) {
        facts_.status = RecordingFacts::Status::NoSuchProgramme;
        facts_.wanted = *wanted_;
        done_ = true;
        return;
    }
    facts_.programme = main->map.number;
    if (fileSize_ <= limits_.wholeUpTo) {
        whole_.emplace(framing_, main->pmtPid, main->map, 0);
        whole_->Feed(data, size);
        wholeAt_ = static_cast<std::int64_t>(size) < std::min(fileSize_, limits_.head)
                       ? fileSize_
                       : static_cast<std::int64_t>(size);
        return;
    }
    facts_.sampled = true;
    PieceScanner scanner(framing_, main->pmtPid, main->map, 0);
    scanner.Feed(data, size);
    pieces_.push_back({scanner.Finish(), main->map, main->pmtPid});
    const std::int64_t head = limits_.head;
    const std::int64_t tail = Aligned(fileSize_ - head);
    for (std::int64_t k = 1; k <= kSamples; ++k)
        planned_.push_back({Aligned(head + (tail - head) * k / (kSamples + 1)), limits_.piece});
    planned_.push_back({tail, fileSize_ - tail});
}

void RecordingPlan::TakePiece(std::int64_t offset, const std::uint8_t* data, std::size_t size) {
    // A piece read between others starts with the map in force before it.
    Piece piece;
    if (replaceCount_ > 0) {
        piece.startMap = pieces_[replaceFrom_].startMap;
        piece.startPmtPid = pieces_[replaceFrom_].startPmtPid;
    } else { // after the head at least
        piece.startMap = pieces_[replaceFrom_ - 1].facts.lastMap;
        piece.startPmtPid = pieces_[replaceFrom_ - 1].facts.pmtPid;
    }
    PieceScanner scanner(framing_, piece.startPmtPid, piece.startMap, offset);
    scanner.Feed(data, size);
    piece.facts = scanner.Finish();
    const auto at = pieces_.begin() + static_cast<std::ptrdiff_t>(replaceFrom_);
    pieces_.insert(pieces_.erase(at, at + static_cast<std::ptrdiff_t>(replaceCount_)), piece);
}

void RecordingPlan::MeasureRate() {
    std::int64_t bytes = 0;
    std::int64_t ticks = 0;
    for (const Piece& p : pieces_)
        for (const Stretch& s : p.facts.stretches) {
            bytes += s.lastOffset - s.firstOffset;
            ticks += s.clockEnd;
        }
    bytesPerTick_ = ticks > 0 ? static_cast<std::int64_t>(Int128{bytes} * kRateScale / ticks) : 0;
}

// Whether b follows on from a, the bytes between them holding the clock's
// step at the rate the pieces show; step is set either way.
bool RecordingPlan::Follows(const Stretch& a, const Stretch& b, std::int64_t& step) const {
    step = ClockStep((a.clock0 + a.clockEnd) % kClockWrap, b.clock0);
    if (a.lastVersion != b.firstVersion || bytesPerTick_ <= 0 || step < 0) return false;
    const std::int64_t expected = static_cast<std::int64_t>(Int128{b.firstOffset - a.lastOffset} *
                                                            kRateScale / bytesPerTick_);
    return step <= 2 * expected + kClockHz && 2 * (step + kClockHz) >= expected;
}

std::optional<Read> RecordingPlan::NextSample() {
    if (!planned_.empty()) {
        const Read read = planned_.front();
        planned_.erase(planned_.begin());
        Place(read, 0);
        return read;
    }
    MeasureRate();
    int breaks = 0;
    for (const Piece& p : pieces_)
        breaks += std::max<int>(static_cast<int>(p.facts.stretches.size()) - 1, 0);
    const std::int64_t budget = limits_.wholeUpTo + limits_.perBreak * breaks;
    // The first pair of neighbouring pieces with a clock whose clocks do not follow on.
    std::size_t i = 0;
    for (std::size_t j = 1; j < pieces_.size(); ++j) {
        if (pieces_[j].facts.stretches.empty()) continue;
        std::int64_t step = 0;
        const Stretch* a = LastStretch(pieces_[i].facts.stretches);
        if (a && !Follows(*a, pieces_[j].facts.stretches.front(), step)) {
            const std::int64_t gap = pieces_[j].facts.begin - pieces_[i].facts.end;
            const bool whole = gap <= 2 * limits_.piece;
            const Read read =
                whole ? Read{pieces_[i].facts.begin, pieces_[j].facts.end - pieces_[i].facts.begin}
                      : Read{Aligned(pieces_[i].facts.end + gap / 2), limits_.piece};
            if (facts_.bytesRead + read.size > budget) return std::nullopt;
            Place(read, whole ? j - i + 1 : 0);
            return read;
        }
        i = j;
    }
    return std::nullopt;
}

// Where a read's piece goes among the pieces, and how many it replaces.
void RecordingPlan::Place(const Read& read, std::size_t replacing) {
    std::size_t at = 0;
    while (at < pieces_.size() && pieces_[at].facts.begin < read.offset)
        ++at;
    if (replacing && at < pieces_.size() && pieces_[at].facts.begin == read.offset) {
        replaceFrom_ = at;
        replaceCount_ = replacing;
    } else {
        replaceFrom_ = std::max<std::size_t>(at, 1);
        replaceCount_ = 0;
    }
    takingOffset_ = read.offset;
}

void RecordingPlan::Conclude() {
    done_ = true;
    if (whole_) {
        pieces_.push_back({whole_->Finish(), {}, kNullPid});
        whole_.reset();
    }
    MeasureRate();
    // The stretches joined where the pieces' clocks follow on; a gap left in
    // doubt counts what its bytes hold.
    std::int64_t ticks = 0;
    int chains = 0;
    const Stretch* previous = nullptr;
    Stretch chain;
    const auto close = [&] {
        if (chains == 0) return;
        facts_.stretchTicks.push_back(chain.hasTime ? chain.end - chain.first : chain.clockEnd);
        ticks += facts_.stretchTicks.back();
    };
    for (const Piece& p : pieces_) {
        for (std::size_t k = 0; k < p.facts.stretches.size(); ++k) {
            const Stretch& b = p.facts.stretches[k];
            std::int64_t step = 0;
            if (k == 0 && previous && Follows(*previous, b, step)) {
                const std::int64_t shift = chain.clockEnd + step;
                if (b.hasTime) {
                    chain.first =
                        chain.hasTime ? std::min(chain.first, shift + b.first) : shift + b.first;
                    chain.end = std::max(chain.hasTime ? chain.end : shift + b.end, shift + b.end);
                    chain.hasTime = true;
                }
                chain.clockEnd = shift + b.clockEnd;
            } else {
                close();
                if (k == 0 && previous && bytesPerTick_ > 0)
                    ticks += static_cast<std::int64_t>(
                        Int128{b.firstOffset - previous->lastOffset} * kRateScale / bytesPerTick_);
                chain = b;
                ++chains;
            }
            previous = &b;
        }
    }
    close();
    facts_.stretches = chains;
    if (ticks <= 0) {
        facts_.status = RecordingFacts::Status::NoClock;
        return;
    }
    facts_.status = RecordingFacts::Status::Read;
    facts_.durationUs = MulDivUp(ticks, 100, 9);
    // Each stream's bytes over the time they span. A sampled piece stands
    // for the bytes half-way to its neighbours, so a long stretch of a file
    // weighs as much as it lasts, whatever was read of it.
    std::int64_t audioTicks = 0;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        const PieceFacts& piece = pieces_[i].facts;
        const std::int64_t from = i == 0 ? 0 : (pieces_[i - 1].facts.end + piece.begin) / 2;
        const std::int64_t to =
            i + 1 == pieces_.size() ? fileSize_ : (piece.end + pieces_[i + 1].facts.begin) / 2;
        const std::int64_t read = std::max<std::int64_t>(piece.end - piece.begin, 1);
        const auto weigh = [&](std::int64_t n) {
            return static_cast<std::int64_t>(Int128{n} * std::max(to - from, read) / read);
        };
        for (const AudioStream& a : piece.audio) {
            auto rate = std::find_if(facts_.audio.begin(), facts_.audio.end(),
                                     [&](const AudioRate& r) { return r.pid == a.pid; });
            if (rate == facts_.audio.end())
                rate = facts_.audio.insert(facts_.audio.end(), AudioRate{a.pid, a.type, 0, 0, 0});
            rate->bytes += weigh(a.spanBytes);
            rate->ticks += weigh(a.spanTicks);
        }
        for (const Stretch& s : piece.stretches)
            audioTicks += weigh(s.audioTicks);
    }
    // What the samples cannot see is allowed for on the safe side: a rate
    // taken low is the one that overfills a size.
    const std::int64_t margin = facts_.sampled ? kSampledMarginPercent : 0;
    const auto rateOf = [margin](std::int64_t bytes, std::int64_t ticks) {
        return MulDivUp(MulDivUp(bytes, 8 * kClockHz, ticks), 100 + margin, 100);
    };
    std::int64_t bytes = 0;
    for (AudioRate& rate : facts_.audio) {
        if (rate.ticks > 0) rate.bitsPerSecond = rateOf(rate.bytes, rate.ticks);
        bytes += rate.bytes;
    }
    if (audioTicks > 0) facts_.audioBitsPerSecond = rateOf(bytes, audioTicks);
}

RecordingFacts ReadRecording(const std::uint8_t* data, std::size_t size,
                             std::optional<std::uint16_t> programme, ReadLimits limits) {
    RecordingPlan plan(static_cast<std::int64_t>(size), programme, limits);
    while (const std::optional<Read> read = plan.Next()) {
        const auto from = static_cast<std::size_t>(
            std::clamp<std::int64_t>(read->offset, 0, static_cast<std::int64_t>(size)));
        const std::size_t n = std::min(size - from, static_cast<std::size_t>(read->size));
        plan.Take(data + from, n);
    }
    return plan.Facts();
}

} // namespace tavik::ts
