// Text in the system's ANSI code page, for the places that still take it
// (command-line batch additions, wininit.ini).
#pragma once

#include <string>
#include <string_view>

namespace palisade {

// Wide text converted to the ANSI code page; characters it lacks become '?'.
std::string ToAnsiCodePage(std::u16string_view text);

}  // namespace palisade
