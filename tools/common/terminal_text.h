// Text from an installer or a project made safe to print: control
// characters that a terminal would act on (escape sequences, carriage
// returns, bidirectional overrides) are shown as escapes instead.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace palisade::tools {

// The code point at `at` (advanced past it); nothing for an invalid byte
// (then `at` moves by one).
std::optional<char32_t> NextCodePoint(std::string_view utf8, std::size_t& at);

// C0 controls other than line feed and tab, DEL, C1 controls, and the
// bidirectional formatting characters (U+061C, U+200E, U+200F,
// U+202A..U+202E, U+2066..U+2069).
bool IsDisplayControl(char32_t c);

// `utf8` with every display control written as \xNN (below 0x100) or
// \u{NNNN}, and every invalid byte as \xNN; a backslash stays a backslash.
std::string TerminalSafe(std::string_view utf8);

}  // namespace palisade::tools
