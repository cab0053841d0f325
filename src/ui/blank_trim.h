// Text without the blanks at its ends, for names in lists and from the system.
#pragma once

#include <string_view>

#include "core/text.h"

namespace palisade {

inline std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace palisade
