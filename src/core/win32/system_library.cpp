// Libraries loaded from the system folder only.
#include "core/win32/system_library.h"

#include "core/win32/known_paths.h"
#include "core/win32/wide.h"

namespace palisade {

void RestrictLibrarySearchToSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto restrict = KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (restrict != nullptr && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Older systems: at least the current folder leaves the search order.
    ::SetDllDirectoryW(L"");
}

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

Win32Result<UniqueHmodule> LoadLibraryFromPath(std::u16string_view path) {
    std::wstring widePath = ToWide(path);
    constexpr DWORD kOwnFolderThenSystem = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    if (HMODULE module = ::LoadLibraryExW(widePath.c_str(), nullptr, kOwnFolderThenSystem)) {
        return UniqueHmodule(module);
    }
    Win32Status failure = Win32Status::FromLastError();
    if (failure.code() != ERROR_INVALID_PARAMETER) return failure;
    if (HMODULE module = ::LoadLibraryExW(widePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
        return UniqueHmodule(module);
    }
    return Win32Status::FromLastError();
}

HMODULE LoadSystemLibraryForProcess(const wchar_t* fileName) {
    Win32Result<UniqueHmodule> module = LoadSystemLibrary(fileName);
    return module.ok() ? module->release() : nullptr;
}

}  // namespace palisade
