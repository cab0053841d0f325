// Access lists of files and folders: adding full access for Everyone.
#pragma once

#include <string_view>

#include "core/win32/unique_handle.h"
#include "core/win32/win32_status.h"

namespace palisade {

struct EveryoneAccess {
    bool inheritBelow = false;       // files and folders below inherit the entry
    bool dropDeniedEntries = false;  // entries that deny access to anyone are removed first
    // For the folder itself only read, write and run: no right to delete,
    // rename or re-secure what lies in it unless that inherits the entry (a
    // protected sub-folder then stays out of everyone's reach).
    bool folderWithoutDelete = false;
};

// Adds entries allowing Everyone full access to the access list of `path`.
Win32Status GrantEveryoneFullAccess(std::u16string_view path, EveryoneAccess how);

// The access list of a folder or file as it is now.
class AccessList {
public:
    static Win32Result<AccessList> Read(std::u16string_view path);
    // Gives `path` this list's entries as its own, protected from inheritance
    // (so that what its parent later grants does not reach it).
    Win32Status ApplyProtected(std::u16string_view path) const;

private:
    explicit AccessList(UniqueLocal descriptor, void* acl) : m_descriptor(std::move(descriptor)), m_acl(acl) {}
    UniqueLocal m_descriptor;
    void* m_acl;  // inside m_descriptor
};

}  // namespace palisade
