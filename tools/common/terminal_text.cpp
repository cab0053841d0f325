// Text from an installer or a project made safe to print.
#include "common/terminal_text.h"

#include <cstdio>

namespace palisade::tools {

std::optional<char32_t> NextCodePoint(std::string_view utf8, std::size_t& at) {
    unsigned char lead = static_cast<unsigned char>(utf8[at]);
    std::size_t length = lead < 0x80                ? 1
                         : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                         : (lead & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (length == 0 || at + length > utf8.size()) {
        ++at;
        return std::nullopt;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(utf8[at + i]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return std::nullopt;
        }
        c = (c << 6) | (next & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++at;
        return std::nullopt;
    }
    at += length;
    return c;
}

bool IsDisplayControl(char32_t c) {
    if (c == U'\n' || c == U'\t') return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string TerminalSafe(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    char escape[16];
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t start = at;
        std::optional<char32_t> c = NextCodePoint(utf8, at);
        if (!c) {
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(utf8[start]));
            out += escape;
        } else if (IsDisplayControl(*c)) {
            std::snprintf(escape, sizeof escape, *c < 0x100 ? "\\x%02x" : "\\u{%04x}", unsigned(*c));
            out += escape;
        } else {
            out.append(utf8.substr(start, at - start));
        }
    }
    return out;
}

}  // namespace palisade::tools
