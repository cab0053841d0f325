// Puts plain text on the clipboard.
#include "core/win32/clipboard.h"

#include <cstring>

namespace palisade {

Win32Status PutTextOnClipboard(HWND owner, std::u16string_view text) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    if (memory == nullptr) return Win32Status::FromLastError();
    void* bytes = ::GlobalLock(memory);
    std::memcpy(bytes, text.data(), text.size() * sizeof(char16_t));
    static_cast<char16_t*>(bytes)[text.size()] = u'\0';
    ::GlobalUnlock(memory);
    if (!::OpenClipboard(owner)) {
        Win32Status status = Win32Status::FromLastError();
        ::GlobalFree(memory);
        return status;
    }
    ::EmptyClipboard();
    // The clipboard owns the memory once it took it.
    Win32Status status;
    if (::SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        status = Win32Status::FromLastError();
        ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return status;
}

}  // namespace palisade
