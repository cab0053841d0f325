// Quoting one argument for a Windows command line, so that the program
// started reads it back as one argument exactly as given.
#pragma once

#include <string>
#include <string_view>

namespace palisade {

// The argument unchanged when it needs no quotes; otherwise in double quotes
// with the backslashes before a quote (and before the closing quote) doubled
// and every inner quote escaped, as the C runtime's argument splitter reads it.
std::u16string QuoteArgument(std::u16string_view argument);

}  // namespace palisade
