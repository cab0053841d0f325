// The program's narrow text convention: plain when pure ASCII, otherwise "|"
// followed by UTF-8, so that 8-bit stores keep any wide text intact.
#pragma once

#include <string>
#include <string_view>

namespace palisade {

std::string EncodeProgramNarrow(std::u16string_view text);

// The reverse, also for texts from older stores: "|" followed by UTF-8, else
// 8-bit text read as Windows-1252.
std::u16string DecodeProgramNarrow(std::string_view text);

}  // namespace palisade
