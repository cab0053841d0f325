// The placeholders of a notification address and their percent-encoding.
#include "variables/notify_placeholders.h"

#include "core/text.h"
#include "variables/os_description.h"

namespace palisade {
namespace {

bool IsUnreserved(unsigned char c) {
    // Decided on the byte itself, not through the C locale.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

// Replace-all for 8-bit text with the placeholder compared without regard to
// ASCII case; replaced text is not searched again by the same placeholder.
std::string ReplaceAllAsciiIgnoreCase(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (pos + what.size() <= text.size() && EqualsAsciiIgnoreCase(text.substr(pos, what.size()), what)) {
            out.append(with);
            pos += what.size();
        } else {
            out.push_back(text[pos++]);
        }
    }
    return out;
}

bool IsAddressBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsAddressBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAddressBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Narrow(std::u16string_view asciiText) { return Utf16ToUtf8(asciiText); }

}  // namespace

std::string PercentEncode(std::string_view utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if (IsUnreserved(c)) {
            out.push_back(char(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

std::string NotifyPlaceholders(std::string_view address, std::u16string_view productVersion,
                               std::uint64_t session, const OsVersionInfo& os) {
    const std::pair<std::string_view, std::string> replacements[] = {
        {"%version%", PercentEncode(Utf16ToUtf8(productVersion))},
        {"%Session%", Narrow(ToU16Hex(session, 1))},
        {"%OS%", std::to_string(OsCode(os))},
        {"%OSMajor%", std::to_string(os.majorVersion)},
        {"%OSMinor%", std::to_string(os.minorVersion)},
        {"%OSName%", PercentEncode(Utf16ToUtf8(DescribeOs(os, kDescribeShort)))},
        {"%OSDescription%", PercentEncode(Utf16ToUtf8(DescribeOs(os, 0)))},
        {"%OSServer%", IsServerOs(os) ? "1" : "0"},
    };
    std::string text(TrimBlanks(address));
    for (const auto& [placeholder, value] : replacements) {
        text = ReplaceAllAsciiIgnoreCase(text, placeholder, value);
    }
    return text;
}

}  // namespace palisade
