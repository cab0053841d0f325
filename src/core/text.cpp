// Conversions and comparisons for the core's wide text.
#include "core/text.h"

#include <utf8cpp/utf8/unchecked.h>  // the checked half throws: the stub has no exceptions

#include <iterator>

namespace palisade {

namespace {

// utf8::replace_invalid without its checked (throwing) append, which the stub,
// built without exceptions, cannot compile: one U+FFFD for each invalid
// sequence, the same result.
std::string ReplaceInvalidUtf8(std::string_view utf8) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    std::string valid;
    auto out = std::back_inserter(valid);
    auto it = utf8.begin();
    while (it != utf8.end()) {
        auto sequenceStart = it;
        switch (utf8::internal::validate_next(it, utf8.end())) {
            case utf8::internal::UTF8_OK:
                valid.append(sequenceStart, it);
                break;
            case utf8::internal::NOT_ENOUGH_ROOM:
                out = utf8::unchecked::append(kReplacement, out);
                it = utf8.end();
                break;
            case utf8::internal::INVALID_LEAD:
                out = utf8::unchecked::append(kReplacement, out);
                ++it;
                break;
            default:  // incomplete, overlong or an invalid code point: one mark for the sequence
                out = utf8::unchecked::append(kReplacement, out);
                ++it;
                while (it != utf8.end() && utf8::internal::is_trail(*it)) ++it;
                break;
        }
    }
    return valid;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::string valid = ReplaceInvalidUtf8(utf8);
    std::u16string out;
    utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        utf8::unchecked::append(cp, std::back_inserter(out));  // a valid code point by construction
    }
    return out;
}

namespace {
// Windows-1252 code points for bytes 0x80..0x9F; the unassigned ones keep their C1 value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

std::u16string Windows1252ToUtf16(std::string_view narrow) {
    std::u16string out;
    out.reserve(narrow.size());
    for (unsigned char c : narrow) {
        out.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c));
    }
    return out;
}

char16_t FoldCase(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char16_t(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17E && c != 0x131 && c != 0x138 && c != 0x149) {
        // Latin Extended-A pairs alternate upper/lower; the exact parity flips at 0x139..0x148 and 0x179..0x17E.
        bool oddLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        bool isLower = oddLower ? (c % 2 == 0) : (c % 2 == 1);
        return isLower ? char16_t(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return char16_t(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 0x50);
    return c;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::u16string::size_type FindIgnoreCase(std::u16string_view text, std::u16string_view what,
                                         std::u16string::size_type from) {
    if (what.empty()) return from <= text.size() ? from : std::u16string::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        if (EqualsIgnoreCase(text.substr(i, what.size()), what)) return i;
    }
    return std::u16string::npos;
}

template <typename Char>
static std::basic_string<Char> ReplaceAllImpl(std::basic_string_view<Char> text,
                                              std::basic_string_view<Char> what,
                                              std::basic_string_view<Char> with) {
    std::basic_string<Char> out;
    if (what.empty()) return std::basic_string<Char>(text);
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = text.find(what, pos);
        if (hit == text.npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(with);
        pos = hit + what.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view what, std::u16string_view with) {
    return ReplaceAllImpl<char16_t>(text, what, with);
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    return ReplaceAllImpl<char>(text, what, with);
}

bool IsBlank(char16_t c) {
    // The white-space set of the C runtime's iswspace for the characters a command line can hold.
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

std::u16string ToU16(std::int64_t value) {
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

std::u16string ToU16Hex(std::uint64_t value, int minDigits, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string out;
    do {
        out.insert(out.begin(), char16_t(digits[value & 0xF]));
        value >>= 4;
    } while (value != 0);
    while (int(out.size()) < minDigits) out.insert(out.begin(), u'0');
    return out;
}

}  // namespace palisade
