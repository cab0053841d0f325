// Opening a folder (or a file) to all users: ownership, no access-denied
// entries, and full access for Everyone inherited below.
#include "actions/win32/folder_rights_win32.h"

#include <windows.h>
#include <aclapi.h>

#include "core/format.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

constexpr DWORD kProtectiveAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// What a fault inside the security calls is reported as (E_UNEXPECTED).
constexpr DWORD kFaultCode = 0x8000FFFF;

void ClearProtectiveAttributes(const wchar_t* path) {
    DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kProtectiveAttributes) != 0) {
        ::SetFileAttributesW(path, attributes & ~kProtectiveAttributes);
    }
}

void EnablePrivilege(HANDLE token, const wchar_t* name) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
        ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
}

// Makes the process's user the owner. A failure is not reported: without
// ownership the access list can often still be changed, and that is the aim.
void TakeOwnership(wchar_t* path) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, &token)) return;
    EnablePrivilege(token, SE_TAKE_OWNERSHIP_NAME);
    EnablePrivilege(token, SE_RESTORE_NAME);
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (::GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size)) {
        PSID user = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
        ::SetNamedSecurityInfoW(path, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, user, nullptr, nullptr, nullptr);
    }
    ::CloseHandle(token);
}

// A copy of `source` without its access-denied entries; null (with the
// error in `error`) when it cannot be made. Free with LocalFree.
PACL WithoutDeniedEntries(PACL source, DWORD& error) {
    ACL_SIZE_INFORMATION info{};
    if (!::GetAclInformation(source, &info, sizeof(info), AclSizeInformation)) {
        error = ::GetLastError();
        return nullptr;
    }
    DWORD size = info.AclBytesInUse < sizeof(ACL) ? sizeof(ACL) : info.AclBytesInUse;
    PACL copy = static_cast<PACL>(::LocalAlloc(LPTR, size));
    if (copy == nullptr || !::InitializeAcl(copy, size, source->AclRevision)) {
        error = ::GetLastError();
        if (copy != nullptr) ::LocalFree(copy);
        return nullptr;
    }
    for (DWORD i = 0; i < info.AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!::GetAce(source, i, reinterpret_cast<void**>(&ace))) continue;
        bool denied = ace->AceType == ACCESS_DENIED_ACE_TYPE || ace->AceType == ACCESS_DENIED_OBJECT_ACE_TYPE ||
                      ace->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
                      ace->AceType == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
        if (!denied) ::AddAce(copy, source->AclRevision, MAXDWORD, ace, ace->AceSize);
    }
    return copy;
}

// The access-list part of OpenToEveryone, kept free of objects with
// destructors so that it can run under the fault guard.
DWORD GrantEveryone(wchar_t* path) {
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(everyone);
    if (!::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &sidSize)) return ::GetLastError();
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD error = ::GetNamedSecurityInfoW(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                          &current, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) return error;
    PACL filtered = current != nullptr ? WithoutDeniedEntries(current, error) : nullptr;
    if (current == nullptr || filtered != nullptr) {
        EXPLICIT_ACCESS_W access{};
        access.grfAccessPermissions = GENERIC_ALL;
        access.grfAccessMode = GRANT_ACCESS;
        access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
        PACL updated = nullptr;
        error = ::SetEntriesInAclW(1, &access, filtered, &updated);
        if (error == ERROR_SUCCESS) {
            error = ::SetNamedSecurityInfoW(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            updated, nullptr);
            ::LocalFree(updated);
        }
    }
    if (filtered != nullptr) ::LocalFree(filtered);
    ::LocalFree(descriptor);
    return error;
}

DWORD OpenToEveryoneGuarded(wchar_t* path) {
    DWORD code = 0;
    GuardedResult guarded = RunGuarded([&] {
        ClearProtectiveAttributes(path);
        TakeOwnership(path);
        code = GrantEveryone(path);
    });
    return guarded.faulted ? kFaultCode : code;
}

}  // namespace

std::uint32_t OpenToEveryone(std::u16string_view path) {
    std::wstring widePath = ToWide(path);
    return OpenToEveryoneGuarded(&widePath[0]);
}

void GrantFolderRights(std::u16string_view folder, InstallContext& context) {
    if (folder.empty() || !context.Flag2(Flags2::kGrantFolderRights)) return;
    RunLog& log = context.log.runLog;
    log.AppendWidePieces({u"Granting rights to directory \"", folder, u"\"..."});
    std::wstring widePath = ToWide(folder);
    DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    DWORD code = attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)
                     ? DWORD(ERROR_PATH_NOT_FOUND)
                     : OpenToEveryoneGuarded(&widePath[0]);
    if (code == 0) {
        log.AppendWide(u"OK\r\n");
    } else {
        log.AppendFormattedWide(u"FAILED code %d: %s\r\n\r\n", {int(code), SystemErrorText(code)});
    }
}

}  // namespace palisade
