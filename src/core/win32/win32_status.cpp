// Win32 failures carried as values.
#include "core/win32/win32_status.h"

#include <windows.h>

namespace palisade {

Win32Status Win32Status::FromLastError(std::uint32_t fallback) {
    DWORD error = ::GetLastError();
    return Win32Status(error != 0 ? error : fallback);
}

}  // namespace palisade
