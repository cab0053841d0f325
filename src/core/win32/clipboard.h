// Puts plain text on the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/win32/win32_status.h"

namespace palisade {

// Replaces the clipboard's content with `text` as Unicode text; `owner` is
// the window that opens the clipboard.
Win32Status PutTextOnClipboard(HWND owner, std::u16string_view text);

}  // namespace palisade
