// Access lists of files and folders: adding full access for Everyone.
#pragma once

#include <string_view>

#include "core/win32/win32_status.h"

namespace palisade {

struct EveryoneAccess {
    bool inheritBelow = false;       // files and folders below inherit the entry
    bool dropDeniedEntries = false;  // entries that deny access to anyone are removed first
};

// Adds an entry allowing Everyone full access to the access list of `path`.
Win32Status GrantEveryoneFullAccess(std::u16string_view path, EveryoneAccess how);

}  // namespace palisade
