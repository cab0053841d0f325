// Small registry operations shared by the registry entries, the file
// associations and the PATH edit: keys created with read and write access in
// the process's own (32-bit) view, values as bytes or text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/registry_path.h"
#include "core/win32/unique_handle.h"

namespace palisade {

// The predefined key of a root; HKEY_CURRENT_USER for the every-user root,
// whose other hives come from UserHives.
HKEY KeyRootHandle(KeyRoot root);

struct KeyResult {
    UniqueHkey key;
    LSTATUS status = ERROR_SUCCESS;
    bool created = false;  // the key did not exist before
};

// Creates or opens `subKey` below `parent` for reading and writing.
KeyResult CreateRegistryKey(HKEY parent, std::u16string_view subKey);
// Opens an existing key; `access` as RegOpenKeyExW takes it.
KeyResult OpenRegistryKey(HKEY parent, std::u16string_view subKey, REGSAM access);

bool RegistryValueExists(HKEY key, std::u16string_view name);
LSTATUS SetRegistryValue(HKEY key, std::u16string_view name, DWORD type, const std::vector<std::uint8_t>& bytes);
LSTATUS SetRegistryText(HKEY key, std::u16string_view name, std::u16string_view text, DWORD type = REG_SZ);
// Deleting a value that is not there is no failure.
LSTATUS DeleteRegistryValue(HKEY key, std::u16string_view name);
// A REG_SZ or REG_EXPAND_SZ value as stored (not expanded); nullopt when
// missing or of another type.
std::optional<std::u16string> ReadRegistryText(HKEY key, std::u16string_view name);

}  // namespace palisade
