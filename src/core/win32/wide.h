// The one place where the core's UTF-16 text becomes wchar_t and back.
#pragma once

#include <string>
#include <string_view>

namespace palisade {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

inline std::u16string FromWide(const wchar_t* text) {
    return text ? FromWide(std::wstring_view(text)) : std::u16string();
}

}  // namespace palisade
