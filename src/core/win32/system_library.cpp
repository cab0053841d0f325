// Libraries loaded from the system folder only.
#include "core/win32/system_library.h"

#include "core/win32/known_paths.h"
#include "core/win32/wide.h"

namespace palisade {

Win32Result<UniqueHmodule> LoadSystemLibrary(const wchar_t* fileName) {
    // Systems without the restricted search answer ERROR_INVALID_PARAMETER;
    // the library is then named by its full path in the system folder.
    if (HMODULE module = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return UniqueHmodule(module);
    }
    Win32Status searchFailure = Win32Status::FromLastError();
    if (searchFailure.code() != ERROR_INVALID_PARAMETER) return searchFailure;
    std::u16string path = SystemFilePath(FromWide(fileName));
    if (path.empty()) return Win32Status(ERROR_PATH_NOT_FOUND);
    if (HMODULE module = ::LoadLibraryExW(ToWide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
        return UniqueHmodule(module);
    }
    return Win32Status::FromLastError();
}

HMODULE LoadSystemLibraryForProcess(const wchar_t* fileName) {
    Win32Result<UniqueHmodule> module = LoadSystemLibrary(fileName);
    return module.ok() ? module->release() : nullptr;
}

}  // namespace palisade
