// The few registry writes of component registration.
#include "actions/win32/component_registry_win32.h"

#include "core/win32/wide.h"

namespace palisade {

ComponentKey CreateComponentKey(HKEY parent, std::u16string_view subKey) {
    ComponentKey result;
    HKEY handle = nullptr;
    result.status = ::RegCreateKeyExW(parent, ToWide(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_READ | KEY_WRITE, nullptr, &handle, nullptr);
    if (result.status == ERROR_SUCCESS) result.key.reset(handle);
    return result;
}

LSTATUS SetComponentText(HKEY key, std::u16string_view name, std::u16string_view text) {
    std::wstring value = ToWide(text);
    DWORD bytes = DWORD((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, name.empty() ? nullptr : ToWide(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

}  // namespace palisade
