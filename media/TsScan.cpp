// SPDX-License-Identifier: GPL-3.0-or-later
#include "TsScan.h"

#include <algorithm>
#include <array>

namespace tavik::ts {

namespace {

// A timestamp this far from the clock belongs to another clock: one met
// after a break, before the new clock's first reading.
constexpr std::int64_t kMostBehind = 3 * kClockHz;
constexpr std::int64_t kMostAhead = 5 * kClockHz;

const Stream* Find(const ProgrammeMap& map, std::uint16_t pid) {
    for (const Stream& s : map.streams)
        if (s.pid == pid) return &s;
    return nullptr;
}

// The stream whose timestamps stand in for a clock where the map names no PCR.
std::uint16_t TimestampClockPid(const ProgrammeMap& map) {
    for (const Stream& s : map.streams)
        if (KindOf(s.type) != StreamKind::Other) return s.pid;
    return kNullPid;
}

} // namespace

std::vector<ProgrammeSeen> ListProgrammes(const std::uint8_t* data, std::size_t size,
                                          Framing framing) {
    std::vector<ProgrammeSeen> seen;
    if (framing.packetSize == 0) return seen;
    std::array<std::int64_t, 8192> packets{};
    SectionBuffer pat;
    std::vector<SectionBuffer> pmts;
    const std::size_t step = static_cast<std::size_t>(framing.packetSize);
    const std::size_t sync = step - 188;
    for (std::size_t at = static_cast<std::size_t>(framing.offset); at + step <= size; at += step) {
        Packet packet;
        if (!ReadPacket(data + at + sync, packet)) continue;
        ++packets[packet.pid];
        std::vector<PatEntry> entries;
        if (packet.pid == 0 && seen.empty() && pat.Add(packet) &&
            ReadPat(pat.Section(), pat.Size(), entries)) {
            for (const PatEntry& e : entries)
                seen.push_back({ProgrammeMap{e.number, -1, kNullPid, {}}, e.pmtPid, 0});
            pmts.resize(seen.size());
        }
        for (std::size_t i = 0; i < seen.size(); ++i) {
            ProgrammeMap map;
            if (packet.pid == seen[i].pmtPid && seen[i].map.version < 0 && pmts[i].Add(packet) &&
                ReadPmt(pmts[i].Section(), pmts[i].Size(), map) && map.number == seen[i].map.number)
                seen[i].map = map;
        }
    }
    for (ProgrammeSeen& p : seen)
        for (const Stream& s : p.map.streams)
            if (KindOf(s.type) == StreamKind::Video) p.videoBytes += packets[s.pid] * 188;
    seen.erase(std::remove_if(seen.begin(), seen.end(),
                              [](const ProgrammeSeen& p) { return p.map.version < 0; }),
               seen.end());
    return seen;
}

PieceScanner::PieceScanner(Framing framing, std::uint16_t pmtPid, const ProgrammeMap& known,
                           std::int64_t begin)
    : framing_(framing), sync_(static_cast<std::size_t>(framing.packetSize) - 188), offset_(begin) {
    facts_.begin = begin;
    facts_.lastMap = known;
    facts_.pmtPid = pmtPid;
}

void PieceScanner::Feed(const std::uint8_t* data, std::size_t size) {
    if (framing_.packetSize == 0) return;
    const std::size_t step = static_cast<std::size_t>(framing_.packetSize);
    std::int64_t at = offset_;
    offset_ += static_cast<std::int64_t>(size);
    if (!carry_.empty()) {
        const std::int64_t from = at - static_cast<std::int64_t>(carry_.size());
        const std::size_t need = step - std::min(step, carry_.size());
        // A packet split between two reads, in step: put together on its own,
        // so the rest is scanned where it lies rather than copied.
        if (inStep_ && need > 0 && size >= need && carry_.size() > sync_ && carry_[sync_] == 0x47) {
            carry_.insert(carry_.end(), data, data + need);
            Packet packet;
            if (ReadPacket(carry_.data() + sync_, packet)) OnPacket(packet, from);
            carry_.clear();
            data += need;
            size -= need;
            at += static_cast<std::int64_t>(need);
        } else {
            std::vector<std::uint8_t> work = std::move(carry_);
            work.insert(work.end(), data, data + size);
            carry_.clear();
            Scan(work.data(), work.size(), from, false);
            return;
        }
    }
    Scan(data, size, at, false);
}

// Packets in step are read where their sync byte stands. Out of step, a
// place counts as a packet's start only with a sync byte a packet further on
// too; one whose next packet lies beyond the bytes so far waits for more, so
// where the reads cut the file changes nothing.
void PieceScanner::Scan(const std::uint8_t* data, std::size_t size, std::int64_t offset,
                        bool last) {
    const std::size_t step = static_cast<std::size_t>(framing_.packetSize);
    std::size_t at = 0;
    while (at + step <= size) {
        if (inStep_ && data[at + sync_] == 0x47) {
            Packet packet;
            if (ReadPacket(data + at + sync_, packet))
                OnPacket(packet, offset + static_cast<std::int64_t>(at));
            at += step;
            continue;
        }
        std::size_t next = inStep_ ? at + 1 : at;
        inStep_ = false;
        bool waiting = false;
        for (; next + step <= size; ++next) {
            if (data[next + sync_] != 0x47) continue;
            const std::size_t further = next + sync_ + step;
            if (further < size ? data[further] == 0x47 : (waiting = !last, true)) break;
        }
        at = next;
        if (waiting || at + step > size) break;
        inStep_ = true;
    }
    carry_.assign(data + std::min(at, size), data + size);
    if (last) carry_.clear();
}

void PieceScanner::OnPacket(const Packet& packet, std::int64_t offset) {
    ProgrammeMap& map = facts_.lastMap;
    if (packet.pid == 0) {
        std::vector<PatEntry> entries;
        if (pat_.Add(packet) && ReadPat(pat_.Section(), pat_.Size(), entries))
            for (const PatEntry& e : entries)
                if (e.number == map.number) facts_.pmtPid = e.pmtPid;
        return;
    }
    if (packet.pid == facts_.pmtPid) {
        ProgrammeMap read;
        if (pmt_.Add(packet) && ReadPmt(pmt_.Section(), pmt_.Size(), read) &&
            read.number == map.number)
            OnMap(read);
        return;
    }
    if (map.version < 0) return;
    if (packet.hasPcr && packet.pid == map.pcrPid) OnClock(packet.pcr, offset);
    const Stream* stream = Find(map, packet.pid);
    if (!stream) return;
    const StreamKind kind = KindOf(stream->type);
    if (kind == StreamKind::Other) return;
    PesHead head;
    const bool pes = packet.unitStart && ReadPesHead(packet.payload, packet.payloadSize, head);
    if (pes && map.pcrPid == kNullPid && packet.pid == TimestampClockPid(map) && head.hasPts)
        OnClock(head.hasDts ? head.dts : head.pts, offset);
    if (packet.unitStart) OnPes(packet, *stream);
    if (kind == StreamKind::Audio) {
        std::size_t bytes = packet.payloadSize;
        if (packet.unitStart) bytes = pes && head.headerSize <= bytes ? bytes - head.headerSize : 0;
        const auto n = static_cast<std::int64_t>(bytes);
        Audio(*stream).bytes += n;
        for (StreamClock& c : streamClocks_)
            if (c.pid == packet.pid) c.pending += n;
    }
}

void PieceScanner::OnMap(const ProgrammeMap& map) {
    facts_.lastMap = map;
    if (inStretch_) stretch_.lastVersion = map.version;
}

void PieceScanner::OnClock(std::int64_t clock, std::int64_t offset) {
    if (inStretch_) {
        const std::int64_t step =
            ClockStep((stretch_.clock0 + stretch_.clockEnd) % kClockWrap, clock);
        if (step < 0 || step > kLongestStep) {
            Break();
        } else {
            stretch_.clockEnd += step;
            stretch_.lastOffset = offset;
            return;
        }
    }
    stretch_ = Stretch{};
    stretch_.firstOffset = stretch_.lastOffset = offset;
    stretch_.clock0 = clock;
    stretch_.firstVersion = stretch_.lastVersion = facts_.lastMap.version;
    inStretch_ = true;
    streamClocks_.clear();
}

void PieceScanner::OnPes(const Packet& packet, const Stream& stream) {
    PesHead head;
    if (!inStretch_ || !ReadPesHead(packet.payload, packet.payloadSize, head) || !head.hasPts)
        return;
    const std::int64_t now = stretch_.clockEnd;
    const std::int64_t at = now + ClockStep((stretch_.clock0 + now) % kClockWrap, head.pts);
    if (at < now - kMostBehind || at > now + kMostAhead) return;
    auto clock = std::find_if(streamClocks_.begin(), streamClocks_.end(),
                              [&](const StreamClock& c) { return c.pid == packet.pid; });
    const bool audio = KindOf(stream.type) == StreamKind::Audio;
    if (clock == streamClocks_.end())
        clock =
            streamClocks_.insert(streamClocks_.end(), StreamClock{packet.pid, audio, at, at, 0, 0});
    // The last PES's length is taken to be the one before it: a stream's
    // packing varies with its content (silence packs many frames into one),
    // but little from one PES to the next.
    const std::int64_t step = at - clock->last;
    if (step > 0 && step <= kLongestStep) {
        clock->step = step;
        if (audio) {
            AudioStream& bytes = Audio(stream);
            bytes.spanBytes += clock->pending;
            bytes.spanTicks += step;
            clock->stepBytes = clock->pending;
        }
    }
    clock->pending = 0;
    clock->first = std::min(clock->first, at);
    clock->last = std::max(clock->last, at);
    if (!stretch_.hasTime) stretch_.first = stretch_.end = at;
    stretch_.hasTime = true;
    stretch_.first = std::min(stretch_.first, at);
    stretch_.end = std::max(stretch_.end, at + clock->step);
}

void PieceScanner::Break() {
    if (!inStretch_) return;
    // The union of the audio streams' spans.
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (const StreamClock& c : streamClocks_) {
        if (!c.audio) continue;
        std::int64_t last = 0; // the last PES's length, rounded down
        if (c.pending > 0 && c.stepBytes > 0) {
            last = c.pending * c.step / c.stepBytes;
            AudioStream& bytes = Audio(Stream{c.pid, 0});
            bytes.spanBytes += c.pending;
            bytes.spanTicks += last;
        }
        spans.emplace_back(c.first, c.last + last);
    }
    std::sort(spans.begin(), spans.end());
    std::int64_t reached = spans.empty() ? 0 : spans.front().first;
    for (const auto& [from, to] : spans) {
        stretch_.audioTicks += std::max<std::int64_t>(to - std::max(from, reached), 0);
        reached = std::max(reached, to);
    }
    facts_.stretches.push_back(stretch_);
    inStretch_ = false;
}

AudioStream& PieceScanner::Audio(const Stream& stream) {
    for (AudioStream& a : facts_.audio)
        if (a.pid == stream.pid) return a;
    facts_.audio.push_back({stream.pid, stream.type, 0, 0, 0});
    return facts_.audio.back();
}

PieceFacts PieceScanner::Finish() {
    if (!carry_.empty()) {
        const std::vector<std::uint8_t> rest = std::move(carry_);
        Scan(rest.data(), rest.size(), offset_ - static_cast<std::int64_t>(rest.size()), true);
    }
    carry_.clear();
    Break();
    facts_.end = offset_;
    return facts_;
}

} // namespace tavik::ts
