// The description of an exception code shown on the crash report's first line.
#pragma once

#include <cstdint>
#include <string_view>

namespace palisade {

inline constexpr std::uint32_t kExceptionAccessViolation = 0xC0000005;
inline constexpr std::uint32_t kExceptionBreakpoint = 0x80000003;
inline constexpr std::uint32_t kExceptionSingleStep = 0x80000004;
inline constexpr std::uint32_t kExceptionNoncontinuable = 0xC0000025;
inline constexpr std::uint32_t kExceptionStackOverflow = 0xC00000FD;
inline constexpr std::uint32_t kExceptionLanguage = 0xE06D7363;

// The table's text for `code`; empty for a code it does not hold.
std::string_view ExceptionDescription(std::uint32_t code);

}  // namespace palisade
