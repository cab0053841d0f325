// The entry points of msi.dll and setupapi.dll, found at run time.
#include "actions/win32/msi_library_win32.h"

#include "core/win32/system_library.h"

namespace palisade {

const MsiLibrary& Msi() {
    static const MsiLibrary library = [] {
        MsiLibrary found;
        HMODULE module = LoadSystemLibraryForProcess(L"msi.dll");
        found.setInternalUi = LibraryFunction<decltype(found.setInternalUi)>(module, "MsiSetInternalUI");
        found.installProduct = LibraryFunction<decltype(found.installProduct)>(module, "MsiInstallProductW");
        return found;
    }();
    return library;
}

const SetupLibrary& SetupApi() {
    static const SetupLibrary library = [] {
        SetupLibrary found;
        HMODULE module = LoadSystemLibraryForProcess(L"setupapi.dll");
        found.loaded = module != nullptr;
        found.copyOemInf = LibraryFunction<decltype(found.copyOemInf)>(module, "SetupCopyOEMInfW");
        found.uninstallOemInf = LibraryFunction<decltype(found.uninstallOemInf)>(module, "SetupUninstallOEMInfW");
        return found;
    }();
    return library;
}

}  // namespace palisade
