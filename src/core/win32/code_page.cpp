// Text in the system's ANSI code page.
#include "core/win32/code_page.h"

#include <windows.h>

#include "core/win32/wide.h"

namespace palisade {

std::string ToAnsiCodePage(std::u16string_view text) {
    if (text.empty()) return {};
    std::wstring wide = ToWide(text);
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, "?", nullptr);
    if (size <= 0) return {};
    std::string out(std::size_t(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), size, "?", nullptr);
    return out;
}

}  // namespace palisade
