// Libraries the program loads on demand, taken from the system folder only:
// a DLL of the same name beside the installer (in Downloads, say) is never
// loaded in their place.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/win32/unique_handle.h"
#include "core/win32/win32_status.h"

namespace palisade {

// Called first thing at start: from then on a library loaded by name alone is
// looked for in the system folder only, never in the installer's folder
// (usually Downloads) or the current folder.
void RestrictLibrarySearchToSystemFolder();

// Loads `fileName` (for example L"version.dll") from the system folder.
Win32Result<UniqueHmodule> LoadSystemLibrary(const wchar_t* fileName);

// The same, for a library that stays loaded until the process ends (freeing
// one that may have started threads is not worth the risk); null on failure.
HMODULE LoadSystemLibraryForProcess(const wchar_t* fileName);

// A library given by its full path (a product's COM server), with the
// libraries it needs taken from its own folder and the system folder.
Win32Result<UniqueHmodule> LoadLibraryFromPath(std::u16string_view path);

// An exported function as its real type; null when the module lacks it.
template <typename Function>
Function LibraryFunction(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    // Through a generic function pointer: GetProcAddress's FARPROC carries no
    // real signature, and a direct cast draws -Wcast-function-type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// A function of kernel32, which every process has loaded; null on systems
// that lack it (Wow64DisableWow64FsRedirection on a 32-bit Windows, say).
template <typename Function>
Function KernelFunction(const char* name) {
    return LibraryFunction<Function>(::GetModuleHandleW(L"kernel32.dll"), name);
}

}  // namespace palisade
