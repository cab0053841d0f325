// Access lists of files and folders: adding full access for Everyone.
#include "core/win32/access_rights.h"

#include <windows.h>
#include <aclapi.h>

#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

bool IsDeniedEntry(const ACE_HEADER& ace) {
    return ace.AceType == ACCESS_DENIED_ACE_TYPE || ace.AceType == ACCESS_DENIED_OBJECT_ACE_TYPE ||
           ace.AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE || ace.AceType == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
}

// A copy of `source` without its access-denied entries.
Win32Result<UniqueLocal> WithoutDeniedEntries(PACL source) {
    ACL_SIZE_INFORMATION info{};
    if (!::GetAclInformation(source, &info, sizeof(info), AclSizeInformation)) return Win32Status::FromLastError();
    DWORD size = info.AclBytesInUse < sizeof(ACL) ? DWORD(sizeof(ACL)) : info.AclBytesInUse;
    UniqueLocal copy(::LocalAlloc(LPTR, size));
    if (!copy) return Win32Status::FromLastError();
    PACL acl = static_cast<PACL>(copy.get());
    if (!::InitializeAcl(acl, size, source->AclRevision)) return Win32Status::FromLastError();
    for (DWORD i = 0; i < info.AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!::GetAce(source, i, reinterpret_cast<void**>(&ace)) || IsDeniedEntry(*ace)) continue;
        if (!::AddAce(acl, source->AclRevision, MAXDWORD, ace, ace->AceSize)) return Win32Status::FromLastError();
    }
    return copy;
}

}  // namespace

Win32Status GrantEveryoneFullAccess(std::u16string_view path, EveryoneAccess how) {
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(everyone);
    if (!::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &sidSize)) return Win32Status::FromLastError();
    std::wstring widePath = ToWide(path);
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR rawDescriptor = nullptr;
    DWORD status = ::GetNamedSecurityInfoW(widePath.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, &current, nullptr, &rawDescriptor);
    if (status != ERROR_SUCCESS) return Win32Status(status);
    UniqueLocal descriptor(rawDescriptor);
    UniqueLocal filtered;
    if (how.dropDeniedEntries && current != nullptr) {
        Win32Result<UniqueLocal> copy = WithoutDeniedEntries(current);
        if (!copy.ok()) return copy.status();
        filtered = std::move(*copy);
        current = static_cast<PACL>(filtered.get());
    }
    EXPLICIT_ACCESS_W entries[2] = {};
    for (EXPLICIT_ACCESS_W& access : entries) {
        access.grfAccessMode = GRANT_ACCESS;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
    }
    ULONG count = 1;
    entries[0].grfAccessPermissions = GENERIC_ALL;
    entries[0].grfInheritance = how.inheritBelow ? SUB_CONTAINERS_AND_OBJECTS_INHERIT : NO_INHERITANCE;
    if (how.folderWithoutDelete) {
        entries[0].grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT | INHERIT_ONLY;
        entries[1].grfAccessPermissions = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE;
        entries[1].grfInheritance = NO_INHERITANCE;
        count = 2;
    }
    PACL rawUpdated = nullptr;
    status = ::SetEntriesInAclW(count, entries, current, &rawUpdated);
    if (status != ERROR_SUCCESS) return Win32Status(status);
    UniqueLocal updated(rawUpdated);
    return Win32Status(::SetNamedSecurityInfoW(widePath.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                               nullptr, rawUpdated, nullptr));
}

Win32Result<AccessList> AccessList::Read(std::u16string_view path) {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR rawDescriptor = nullptr;
    DWORD status = ::GetNamedSecurityInfoW(ToWide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, &acl, nullptr, &rawDescriptor);
    if (status != ERROR_SUCCESS) return Win32Status(status);
    return AccessList(UniqueLocal(rawDescriptor), acl);
}

Win32Status AccessList::ApplyProtected(std::u16string_view path) const {
    std::wstring widePath = ToWide(path);
    return Win32Status(::SetNamedSecurityInfoW(widePath.data(), SE_FILE_OBJECT,
                                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                               nullptr, nullptr, static_cast<PACL>(m_acl), nullptr));
}

}  // namespace palisade
