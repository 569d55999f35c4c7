// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sums for a file that must fit: the streams at their rates plus what the
// container wraps them in. Here rates are kbit/s of 1000 bit/s (ffmpeg's "k")
// and sizes MB of 1,048,576 bytes. The container's share is modelled from its
// format as ffmpeg's muxers write it with their default options, and never
// taken smaller than what they add at any frame rate up to the one given.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavik {

// None keeps the designed sums.
enum class Container { None, Ts, M2ts, Ps, Mp4, Mkv };

// The containers, none first, in the order the settings page lists them:
// each with its name in settings and on the command line, and the name the
// user sees, the source of its translation where it has one (i18n/).
struct ContainerRow {
    Container container;
    std::string_view key;
    const char* shown;
};
inline constexpr ContainerRow kContainers[] = {
    {Container::None, "none", "なし"}, {Container::Ts, "ts", "MPEG-TS"},
    {Container::M2ts, "m2ts", "M2TS"}, {Container::Ps, "ps", "MPEG-PS (DVD)"},
    {Container::Mp4, "mp4", "MP4"},    {Container::Mkv, "mkv", "Matroska"},
};

std::string_view ContainerKey(Container c);
std::optional<Container> ContainerOfKey(std::string_view key);

// Sizes here and in what the file system reports are MB of 1,048,576 bytes.
constexpr std::int64_t kBytesPerMB = 1048576;

// Frame rates in thousandths of a frame per second. Without one known, the
// share is the largest any rate up to 60 frames/s gives.
constexpr std::int32_t kMaxMilliFps = 60000;

// The frame rates the settings page offers: each with its key in settings,
// the rate as ffmpeg and tavik-calc --fps take it, the name the user sees,
// and the rate in thousandths of a frame per second rounded up, so the share
// is never taken for a lower rate than the video's. The first, the default,
// is the most any rate up to 60 frames/s needs.
struct FrameRateRow {
    std::string_view key;
    const char* shown;
    std::int32_t milliFps;
};
inline constexpr FrameRateRow kFrameRates[] = {
    {"upto60", "60 まで", kMaxMilliFps},
    {"24000/1001", "23.976", 23977},
    {"24", "24", 24000},
    {"25", "25", 25000},
    {"30000/1001", "29.97", 29971},
    {"30", "30", 30000},
    {"50", "50", 50000},
    {"60000/1001", "59.94", 59941},
    {"60", "60", 60000},
};

// The frame rate of the row with that key; kMaxMilliFps for a key no row holds.
std::int32_t MilliFpsOfKey(std::string_view key);

// The bytes the container adds to audio and video at the given rates over
// `seconds`: headers, tables, padding and index. 0 for None. Negative inputs
// count as 0; milliFps outside 1..kMaxMilliFps counts as kMaxMilliFps.
std::int64_t ContainerShare(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                            std::int32_t seconds, std::int32_t milliFps = kMaxMilliFps);

// The streams' bytes at their nominal rates, rounded up, plus the share.
std::int64_t FileBytes(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                       std::int32_t seconds, std::int32_t milliFps = kMaxMilliFps);

// The room the file needs, in whole MB, rounded up.
std::int64_t FittedSizeMB(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                          std::int32_t seconds, std::int32_t milliFps = kMaxMilliFps);

// The largest whole video rate whose file is no larger than sizeMB. Raises
// the designed division errors for seconds = 0 (invalid operation when
// sizeMB is 0 too) and SizeTooSmall when not even a video rate of 0 fits.
std::int32_t FittedVideoRate(Container c, std::int32_t sizeMB, std::int32_t seconds,
                             std::int32_t audioKbps, std::int32_t milliFps = kMaxMilliFps);

// The longest whole-second time whose file is no larger than sizeMB. Raises
// the designed division errors for a zero total rate (invalid operation when
// sizeMB is 0 too) and SizeTooSmall when not even an empty file fits.
std::int32_t FittedTime(Container c, std::int32_t audioKbps, std::int32_t videoKbps,
                        std::int32_t sizeMB, std::int32_t milliFps = kMaxMilliFps);

} // namespace tavik
