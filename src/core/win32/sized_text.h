// Reading text from the Win32 functions that fill a caller's buffer and
// answer with the size they need when it is too small.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/win32/wide.h"

namespace palisade {

// Calls `query(buffer, size)`, which returns the length written, or the size
// needed (or the buffer's size, as GetModuleFileNameW does) when the buffer
// was too small, or 0 on failure, until the whole text fits. Empty on failure.
template <typename Query>
std::u16string QuerySizedText(Query query, DWORD initialSize = MAX_PATH + 1) {
    std::wstring buffer(initialSize, L'\0');
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD length = query(buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return FromWide(std::wstring_view(buffer.data(), length));
        buffer.resize(std::max<std::size_t>(std::size_t(length) + 1, buffer.size() * 2));
    }
    return {};
}

}  // namespace palisade
