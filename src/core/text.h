// Conversions and comparisons for the core's wide text (UTF-16 in std::u16string).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palisade {

// UTF-8 to UTF-16. Invalid sequences become U+FFFD; never throws.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD; never throws.
std::string Utf16ToUtf8(std::u16string_view utf16);
// Windows-1252 bytes to UTF-16 (the five unassigned bytes map to the C1 controls).
std::u16string Windows1252ToUtf16(std::string_view narrow);
// ASCII text to UTF-16; bytes above 127 are taken as Windows-1252.
inline std::u16string Widen(std::string_view narrow) { return Windows1252ToUtf16(narrow); }

// Case folding of the invariant locale, enough for the program's own keywords
// and for comparing file names: ASCII and Latin-1 letters, Greek and Cyrillic.
char16_t FoldCase(char16_t c);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);
std::u16string::size_type FindIgnoreCase(std::u16string_view text, std::u16string_view what,
                                         std::u16string::size_type from = 0);

// Replaces every occurrence of `what` (non-overlapping, left to right).
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view what, std::u16string_view with);
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with);

bool IsBlank(char16_t c);

std::u16string ToU16(std::int64_t value);
std::u16string ToU16Hex(std::uint64_t value, int minDigits, bool upper = true);

}  // namespace palisade
