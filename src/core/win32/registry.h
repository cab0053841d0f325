// Registry keys and values with the program's wide text. Every function
// returns the status the registry API returned; absence is ERROR_FILE_NOT_FOUND.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/win32/unique_handle.h"
#include "core/win32/win32_status.h"

namespace palisade {

// Opens an existing key with `access` (KEY_WOW64_64KEY and the like may be
// added to choose a view).
Win32Result<UniqueHkey> TryOpenKey(HKEY parent, std::u16string_view subKey, REGSAM access);

struct CreatedKey {
    UniqueHkey key;
    bool created = false;  // the key did not exist before
    // The shallowest level of the path that this call created ("Software\Acme"
    // when "Software\Acme\Tool" was asked for and neither existed): deleting
    // it removes exactly what the call added. Empty when nothing was created.
    std::u16string firstCreated;
};
// Creates or opens `subKey` below `parent`, for reading and writing unless
// told otherwise, with every missing level on the way.
Win32Result<CreatedKey> CreateKey(HKEY parent, std::u16string_view subKey, REGSAM access = KEY_READ | KEY_WRITE);

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> bytes;
};
// A value of any type as stored.
Win32Result<RegistryValue> ReadRegistryValue(HKEY key, std::u16string_view name);

// A REG_SZ or REG_EXPAND_SZ value as stored (not expanded), without its
// terminating zeros; ERROR_UNSUPPORTED_TYPE for a value of another type.
Win32Result<std::u16string> ReadRegistryText(HKEY key, std::u16string_view name);
// The same, opening `subKey` below `root` for reading first.
Win32Result<std::u16string> ReadRegistryText(HKEY root, std::u16string_view subKey, std::u16string_view name,
                                             REGSAM view = 0);

// A REG_DWORD value; ERROR_UNSUPPORTED_TYPE for a value of another type.
Win32Result<std::uint32_t> ReadRegistryDword(HKEY key, std::u16string_view name);

bool RegistryValueExists(HKEY key, std::u16string_view name);
Win32Status SetRegistryValue(HKEY key, std::u16string_view name, DWORD type, const std::vector<std::uint8_t>& bytes);
// Text with its terminating zero, as REG_SZ unless told otherwise.
Win32Status SetRegistryText(HKEY key, std::u16string_view name, std::u16string_view text, DWORD type = REG_SZ);
Win32Status SetRegistryDword(HKEY key, std::u16string_view name, std::uint32_t value);
// Deleting a value that is not there is no failure.
Win32Status DeleteRegistryValue(HKEY key, std::u16string_view name);

}  // namespace palisade
