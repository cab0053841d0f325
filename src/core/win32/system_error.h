// The system's text for a Win32 error code.
#pragma once

#include <cstdint>
#include <string>

namespace palisade {

// FormatMessageW's text without its trailing line break, in `language` (0:
// the user's); empty when the system has none.
std::u16string SystemErrorText(std::uint32_t error, std::uint16_t language = 0);

}  // namespace palisade
