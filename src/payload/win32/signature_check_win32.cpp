// Integrity mode 2: verifies the executable's Authenticode signature through
// wintrust.dll, loaded on demand.
#include "payload/win32/signature_check_win32.h"

#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include "core/win32/guarded_call.h"
#include "core/win32/system_library.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "payload/signature_result.h"

namespace palisade {

SignatureCheck VerifyOwnSignature(const std::u16string& executablePath) {
    std::wstring path = ToWide(executablePath);
    {
        // The verifier opens the file itself; an open failure is told apart
        // from a signature failure by trying first.
        UniqueFileHandle probe(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe) {
            DWORD error = ::GetLastError();
            return {MapSignatureOpenFailure(error), error};
        }
    }
    UniqueHmodule wintrust = LoadSystemLibrary(L"wintrust.dll").value_or(UniqueHmodule());
    using VerifyFunction = LONG(WINAPI*)(HWND, GUID*, LPVOID);
    auto verify = LibraryFunction<VerifyFunction>(wintrust.get(), "WinVerifyTrust");
    if (verify == nullptr) return {kSignatureVerifierMissing, kVerifierMissingLastError};

    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_IGNORE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;

    LONG status = 0;
    DWORD lastError = 0;
    GuardedResult guarded = RunGuarded([&] {
        status = verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
        lastError = ::GetLastError();
    });
    if (guarded.faulted) return {kSignatureVerifierCrashed, 0};
    return {MapSignatureStatus(static_cast<std::uint32_t>(status), lastError), lastError};
}

}  // namespace palisade
