// Reading one text value from the registry.
#include "variables/win32/registry_text.h"

#include <cstring>
#include <vector>

#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {

std::optional<std::u16string> ReadRegistryText(HKEY root, std::u16string_view key, std::u16string_view valueName) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    UniqueHkey handle(opened);
    return ReadRegistryTextValue(handle.get(), valueName);
}

std::optional<std::u16string> ReadRegistryTextValue(HKEY key, std::u16string_view valueName) {
    const std::wstring name = ToWide(valueName);
    std::vector<BYTE> data(512);
    DWORD type = 0;
    for (;;) {
        DWORD size = DWORD(data.size());
        LSTATUS status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size + sizeof(wchar_t));
            continue;
        }
        if (status != ERROR_SUCCESS) return std::nullopt;
        data.resize(size);
        break;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * sizeof(char16_t));
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

}  // namespace palisade
