// Reading one text value from the registry, the way the variables need it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace palisade {

// A REG_SZ or REG_EXPAND_SZ value as stored (not expanded), without its
// terminating zeros; nullopt when the key or value is missing, unreadable or
// of another type. The key is opened in the process's own registry view.
std::optional<std::u16string> ReadRegistryText(HKEY root, std::u16string_view key, std::u16string_view valueName);

// The same for a value of a key that is already open.
std::optional<std::u16string> ReadRegistryTextValue(HKEY key, std::u16string_view valueName);

}  // namespace palisade
