// Registry operations on keys and values with the program's wide text.
#include "actions/win32/registry_access_win32.h"

#include "core/win32/wide.h"

namespace palisade {

HKEY KeyRootHandle(KeyRoot root) {
    switch (root) {
        case KeyRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case KeyRoot::CurrentUser: return HKEY_CURRENT_USER;
        case KeyRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case KeyRoot::Users: return HKEY_USERS;
        case KeyRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
        case KeyRoot::DynData: return HKEY_DYN_DATA;
        case KeyRoot::AllUsers: return HKEY_CURRENT_USER;
    }
    return HKEY_LOCAL_MACHINE;
}

KeyResult CreateRegistryKey(HKEY parent, std::u16string_view subKey) {
    KeyResult result;
    HKEY handle = nullptr;
    DWORD disposition = 0;
    std::wstring name = ToWide(subKey);
    result.status = ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &handle,
                                      &disposition);
    if (result.status == ERROR_SUCCESS) {
        result.key.reset(handle);
        result.created = disposition == REG_CREATED_NEW_KEY;
    }
    return result;
}

KeyResult OpenRegistryKey(HKEY parent, std::u16string_view subKey, REGSAM access) {
    KeyResult result;
    HKEY handle = nullptr;
    std::wstring name = ToWide(subKey);
    result.status = ::RegOpenKeyExW(parent, name.c_str(), 0, access, &handle);
    if (result.status == ERROR_SUCCESS) result.key.reset(handle);
    return result;
}

bool RegistryValueExists(HKEY key, std::u16string_view name) {
    std::wstring wide = ToWide(name);
    return ::RegQueryValueExW(key, wide.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LSTATUS SetRegistryValue(HKEY key, std::u16string_view name, DWORD type, const std::vector<std::uint8_t>& bytes) {
    std::wstring wide = ToWide(name);
    return ::RegSetValueExW(key, wide.c_str(), 0, type, bytes.empty() ? nullptr : bytes.data(), DWORD(bytes.size()));
}

LSTATUS SetRegistryText(HKEY key, std::u16string_view name, std::u16string_view text, DWORD type) {
    std::wstring wide = ToWide(name);
    std::wstring data = ToWide(text);
    DWORD bytes = DWORD((data.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, wide.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

LSTATUS DeleteRegistryValue(HKEY key, std::u16string_view name) {
    std::wstring wide = ToWide(name);
    LSTATUS status = ::RegDeleteValueW(key, wide.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

std::optional<std::u16string> ReadRegistryText(HKEY key, std::u16string_view name) {
    std::wstring wide = ToWide(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, wide.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // Room for a terminator the stored data may lack.
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = DWORD(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    buffer.resize(bytes / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
    return FromWide(buffer);
}

}  // namespace palisade
