// SPDX-License-Identifier: GPL-3.0-or-later
#include "Console.h"

#include "TavikVersion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavik {

namespace {

// The length of the UTF-8 sequence at the start of text, or 0 where it is
// not one (cut short, overlong, a surrogate, beyond U+10FFFF).
std::size_t Utf8Length(std::string_view text, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) return 0;
    return length;
}

} // namespace

std::string Printable(std::string_view text) {
    std::string shown;
    while (!text.empty()) {
        char32_t code = 0;
        const std::size_t length = Utf8Length(text, code);
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0); // C0, DEL, C1
        if (length != 0 && !control) {
            shown.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        // One byte at a time: each escape names a byte of the value.
        const auto byte = static_cast<unsigned char>(text.front());
        text.remove_prefix(1);
        if (byte == '\n' || byte == '\t' || byte == '\r') {
            shown += byte == '\n' ? "\\n" : byte == '\t' ? "\\t" : "\\r";
            continue;
        }
        constexpr char kHex[] = "0123456789abcdef";
        shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return shown;
}

int Print(const char* program, const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail(program, 1, std::string("write error: ") + std::strerror(errno));
    return 0;
}

int Fail(const char* program, int status, std::string_view message) {
    std::fprintf(stderr, "%s: %.*s\n", program, static_cast<int>(message.size()), message.data());
    return status;
}

std::string VersionLine(const char* program) {
    return std::string(program) + " (Tavik) " + TAVIK_VERSION + "\n";
}

} // namespace tavik
