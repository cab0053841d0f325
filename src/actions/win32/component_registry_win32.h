// The few registry writes of component registration: keys under
// HKEY_LOCAL_MACHINE (the process's own view) and string values.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/win32/unique_handle.h"

namespace palisade {

struct ComponentKey {
    UniqueHkey key;
    LSTATUS status = ERROR_SUCCESS;
};

// Creates or opens `subKey` below `parent` with read and write access.
ComponentKey CreateComponentKey(HKEY parent, std::u16string_view subKey);
// A REG_SZ value; an empty name is the key's default value.
LSTATUS SetComponentText(HKEY key, std::u16string_view name, std::u16string_view text);

}  // namespace palisade
