// The program's narrow text convention.
#include "core/program_narrow.h"

#include "core/text.h"

namespace palisade {

std::string EncodeProgramNarrow(std::u16string_view text) {
    bool ascii = true;
    for (char16_t c : text) ascii = ascii && c < 0x80;
    if (ascii) return std::string(text.begin(), text.end());
    return "|" + Utf16ToUtf8(text);
}

std::u16string DecodeProgramNarrow(std::string_view text) {
    if (!text.empty() && text.front() == '|') return Utf8ToUtf16(text.substr(1));
    return Windows1252ToUtf16(text);
}

}  // namespace palisade
