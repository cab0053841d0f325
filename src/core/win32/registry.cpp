// Registry keys and values with the program's wide text.
#include "core/win32/registry.h"

#include <cstring>

#include "core/win32/wide.h"

namespace palisade {

Win32Result<UniqueHkey> TryOpenKey(HKEY parent, std::u16string_view subKey, REGSAM access) {
    HKEY handle = nullptr;
    LSTATUS status = ::RegOpenKeyExW(parent, ToWide(subKey).c_str(), 0, access, &handle);
    if (status != ERROR_SUCCESS) return Win32Status(std::uint32_t(status));
    return UniqueHkey(handle);
}

namespace {

// The shallowest level of `subKey` that cannot be opened: the first one
// creating the path would add. `subKey` itself when every level above it exists.
std::u16string_view FirstMissingLevel(HKEY parent, std::u16string_view subKey, REGSAM view) {
    for (std::size_t end = subKey.find(u'\\'); end != std::u16string_view::npos; end = subKey.find(u'\\', end + 1)) {
        std::u16string_view level = subKey.substr(0, end);
        Win32Result<UniqueHkey> opened = TryOpenKey(parent, level, KEY_QUERY_VALUE | view);
        if (!opened.ok() && opened.code() == ERROR_FILE_NOT_FOUND) return level;
    }
    return subKey;
}

}  // namespace

Win32Result<CreatedKey> CreateKey(HKEY parent, std::u16string_view subKey, REGSAM access) {
    const REGSAM view = access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    std::u16string_view firstMissing = FirstMissingLevel(parent, subKey, view);
    HKEY handle = nullptr;
    DWORD disposition = 0;
    LSTATUS status = ::RegCreateKeyExW(parent, ToWide(subKey).c_str(), 0, nullptr, 0, access, nullptr, &handle,
                                       &disposition);
    if (status != ERROR_SUCCESS) return Win32Status(std::uint32_t(status));
    CreatedKey key{UniqueHkey(handle), disposition == REG_CREATED_NEW_KEY, {}};
    if (key.created) key.firstCreated = std::u16string(firstMissing);
    return key;
}

Win32Result<RegistryValue> ReadRegistryValue(HKEY key, std::u16string_view name) {
    const std::wstring wideName = ToWide(name);
    RegistryValue value;
    value.bytes.resize(256);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = DWORD(value.bytes.size());
        LSTATUS status = ::RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, value.bytes.data(), &size);
        if (status == ERROR_MORE_DATA) {
            // The value may grow between two calls; room for a missing terminator too.
            value.bytes.resize(size + sizeof(wchar_t));
            continue;
        }
        if (status != ERROR_SUCCESS) return Win32Status(std::uint32_t(status));
        value.bytes.resize(size);
        return value;
    }
    return Win32Status(ERROR_MORE_DATA);
}

Win32Result<std::u16string> ReadRegistryText(HKEY key, std::u16string_view name) {
    Win32Result<RegistryValue> value = ReadRegistryValue(key, name);
    if (!value.ok()) return value.status();
    if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) return Win32Status(ERROR_UNSUPPORTED_TYPE);
    std::u16string text(value->bytes.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) std::memcpy(&text[0], value->bytes.data(), text.size() * sizeof(char16_t));
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

Win32Result<std::u16string> ReadRegistryText(HKEY root, std::u16string_view subKey, std::u16string_view name,
                                             REGSAM view) {
    Win32Result<UniqueHkey> key = TryOpenKey(root, subKey, KEY_QUERY_VALUE | view);
    if (!key.ok()) return key.status();
    return ReadRegistryText(key->get(), name);
}

Win32Result<std::uint32_t> ReadRegistryDword(HKEY key, std::u16string_view name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LSTATUS status =
        ::RegQueryValueExW(key, ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS) return Win32Status(std::uint32_t(status));
    if (type != REG_DWORD || size != sizeof(value)) return Win32Status(ERROR_UNSUPPORTED_TYPE);
    return std::uint32_t(value);
}

bool RegistryValueExists(HKEY key, std::u16string_view name) {
    return ::RegQueryValueExW(key, ToWide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

Win32Status SetRegistryValue(HKEY key, std::u16string_view name, DWORD type, const std::vector<std::uint8_t>& bytes) {
    return Win32Status(std::uint32_t(::RegSetValueExW(key, ToWide(name).c_str(), 0, type,
                                                      bytes.empty() ? nullptr : bytes.data(), DWORD(bytes.size()))));
}

Win32Status SetRegistryText(HKEY key, std::u16string_view name, std::u16string_view text, DWORD type) {
    std::wstring data = ToWide(text);
    DWORD bytes = DWORD((data.size() + 1) * sizeof(wchar_t));
    return Win32Status(std::uint32_t(::RegSetValueExW(key, ToWide(name).c_str(), 0, type,
                                                      reinterpret_cast<const BYTE*>(data.c_str()), bytes)));
}

Win32Status SetRegistryDword(HKEY key, std::u16string_view name, std::uint32_t value) {
    DWORD data = value;
    return Win32Status(std::uint32_t(::RegSetValueExW(key, ToWide(name).c_str(), 0, REG_DWORD,
                                                      reinterpret_cast<const BYTE*>(&data), sizeof(data))));
}

Win32Status DeleteRegistryValue(HKEY key, std::u16string_view name) {
    LSTATUS status = ::RegDeleteValueW(key, ToWide(name).c_str());
    return Win32Status(status == ERROR_FILE_NOT_FOUND ? 0u : std::uint32_t(status));
}

}  // namespace palisade
