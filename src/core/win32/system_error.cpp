// The system's text for a Win32 error code.
#include "core/win32/system_error.h"

#include <windows.h>

#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {

std::u16string SystemErrorText(std::uint32_t error, std::uint16_t language) {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    UniqueLocal owned(buffer);
    std::u16string text;
    if (length != 0 && buffer != nullptr) text = FromWide(std::wstring_view(buffer, length));
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace palisade
