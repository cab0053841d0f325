// The entry points of msi.dll and setupapi.dll the installer and the
// uninstaller call, found at run time so that neither library is imported:
// both may be missing on old systems.
#pragma once

#include <windows.h>

namespace palisade {

struct MsiLibrary {
    int(WINAPI* setInternalUi)(int level, HWND* owner) = nullptr;
    UINT(WINAPI* installProduct)(const wchar_t* package, const wchar_t* commandLine) = nullptr;
    bool Usable() const { return setInternalUi != nullptr && installProduct != nullptr; }
};

// msi.dll from the system folder, loaded once and kept for the process.
const MsiLibrary& Msi();

struct SetupLibrary {
    BOOL(WINAPI* copyOemInf)(const wchar_t* sourceInf, const wchar_t* mediaLocation, DWORD mediaType, DWORD copyStyle,
                             wchar_t* destination, DWORD destinationSize, DWORD* requiredSize,
                             wchar_t** destinationComponent) = nullptr;
    BOOL(WINAPI* uninstallOemInf)(const wchar_t* infFileName, DWORD flags, void* reserved) = nullptr;
    bool loaded = false;
};

// setupapi.dll from the system folder, loaded once and kept for the process.
const SetupLibrary& SetupApi();

}  // namespace palisade
