// Privileges of the process's own token.
#include "core/win32/privileges.h"

#include <windows.h>

#include "core/win32/unique_handle.h"

namespace palisade {

Win32Status EnablePrivilege(const wchar_t* name) {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken)) {
        return Win32Status::FromLastError();
    }
    UniqueHandle token(rawToken);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) return Win32Status::FromLastError();
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        return Win32Status::FromLastError();
    }
    // Success with ERROR_NOT_ALL_ASSIGNED in the last error means nothing changed.
    DWORD outcome = ::GetLastError();
    return Win32Status(outcome == ERROR_NOT_ALL_ASSIGNED ? outcome : 0);
}

}  // namespace palisade
