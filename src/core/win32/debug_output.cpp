// Writes program text to the system debugger channel.
#include "core/win32/debug_output.h"

#include <windows.h>

#include "core/debug_pieces.h"
#include "core/win32/wide.h"

namespace palisade {

void WriteDebugOutput(std::u16string_view text) {
    for (const std::u16string& piece : SplitForDebugOutput(text)) {
        ::OutputDebugStringW(ToWide(piece).c_str());
    }
    ::OutputDebugStringW(L"\n");
}

}  // namespace palisade
