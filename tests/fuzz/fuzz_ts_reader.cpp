// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the transport stream reader over any bytes, read whole
// and sampled (with limits small enough for the fuzzer's inputs), with or
// without a programme asked for. The reads it plans must stay inside the
// file and their total within the bound; read whole, how the reads cut the
// bytes must not change what is found.
#include "media/TsRecording.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    const std::optional<std::uint16_t> programme =
        mode & 1 ? std::optional<std::uint16_t>(mode >> 1) : std::nullopt;
    const tavik::ts::ReadLimits small{24576, 2048, 512, 2048};
    const auto total = static_cast<std::int64_t>(size);
    for (const tavik::ts::ReadLimits& limits : {small, tavik::ts::ReadLimits{}}) {
        tavik::ts::RecordingPlan plan(total, programme, limits);
        std::int64_t read = 0;
        int reads = 0;
        while (const std::optional<tavik::ts::Read> r = plan.Next()) {
            if (r->offset < 0 || r->size <= 0 || r->offset + r->size > total || ++reads > 100000)
                std::abort();
            read += r->size;
            plan.Take(data + r->offset, static_cast<std::size_t>(r->size));
        }
        const tavik::ts::RecordingFacts& f = plan.Facts();
        if (f.bytesRead != read || f.durationUs < 0 || f.audioBitsPerSecond < 0) std::abort();
        if (f.sampled && read > limits.wholeUpTo + limits.perBreak * f.stretches) std::abort();
    }
    // Read whole, the outcome cannot depend on how the reads cut the bytes.
    const auto whole = [&](std::int64_t chunk) {
        return tavik::ts::ReadRecording(data, size, programme,
                                        {std::int64_t{1} << 40, chunk, 512, 1024});
    };
    const tavik::ts::RecordingFacts a = whole(2048 + mode % 7);
    const tavik::ts::RecordingFacts b = whole(std::int64_t{1} << 30);
    // (The programme is chosen from the first read: compared where both chose the same.)
    using Status = tavik::ts::RecordingFacts::Status;
    const bool chosen =
        a.programme == b.programme && (a.status == Status::Read) == (b.status == Status::Read) &&
        a.status != Status::NotTransportStream && b.status != Status::NotTransportStream;
    if (chosen && (a.durationUs != b.durationUs || a.stretches != b.stretches ||
                   a.audioBitsPerSecond != b.audioBitsPerSecond))
        std::abort();
    return 0;
}
