// Privileges of the process's own token.
#pragma once

#include "core/win32/win32_status.h"

namespace palisade {

// Enables `name` (SE_TAKE_OWNERSHIP_NAME and the like) in the process token.
// AdjustTokenPrivileges succeeds even when the token does not hold the
// privilege; that case is reported as ERROR_NOT_ALL_ASSIGNED.
Win32Status EnablePrivilege(const wchar_t* name);

}  // namespace palisade
