// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tavik-calc check: recordings' bytes against a size, and each recording's
// average total rate, as plain functions of the facts. The command probes the
// files and reads their lengths; nothing here opens a file.

#include <QByteArray>
#include <QJsonObject>

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

struct CheckedFile {
    QByteArray path; // as given, bytes
    std::int64_t bytes = 0;
    std::int64_t durationUs = 0; // as the probe reads it for --file; above 0
};

struct FitCheck {
    std::int32_t sizeMB = 0; // MB of 1,048,576 bytes
    std::vector<CheckedFile> files;
};

// The size's bytes less the files' summed bytes: negative when they do not fit.
std::int64_t SpareBytes(const FitCheck& check);

// A line per file, "NAME<TAB>BYTES bytes<TAB>SECONDS s<TAB>KBPS kbit/s", then
// "fits: X.XX MB spare" or "does not fit: X.XX MB over", each line ending in
// a newline. Spare MB are rounded down and missing MB up, so neither reads
// better than it is.
std::string CheckText(const FitCheck& check);

// The same as one object: size_mb, bytes, fits, spare_bytes and files, each
// file's name, bytes, seconds and kbps.
QJsonObject CheckJson(const FitCheck& check);

} // namespace tavik
