// Reading installed products' uninstall entries.
#include "startup/win32/installation_lookup_win32.h"

#include <windows.h>

#include <vector>

#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

std::optional<std::u16string> QueryText(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return FromWide(buffer.data());
}

std::u16string TextOrEmpty(HKEY key, const wchar_t* name) { return QueryText(key, name).value_or(u""); }

}  // namespace

std::optional<ExistingInstallation> ReadUninstallEntry(std::u16string_view entryName) {
    std::wstring path = ToWide(std::u16string(kInstalledProgramsKey) + u"\\" + std::u16string(entryName));
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return std::nullopt;
    UniqueHkey key(raw);
    ExistingInstallation entry;
    entry.location = TextOrEmpty(key.get(), L"InstallLocation");
    entry.version = TextOrEmpty(key.get(), L"DisplayVersion");
    entry.sharedFiles = TextOrEmpty(key.get(), L"SharedFiles");
    entry.startMenu = TextOrEmpty(key.get(), L"ProductStartMenu");
    entry.noDowngradeBelow = TextOrEmpty(key.get(), L"NoDowngradeBelow");
    entry.quietUninstallString = TextOrEmpty(key.get(), L"QuietUninstallString");
    entry.uninstallString = TextOrEmpty(key.get(), L"UninstallString");
    return entry;
}

std::optional<std::u16string> ReadRegistryValueText(const RegistryValuePath& path) {
    HKEY hive = path.root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(hive, ToWide(path.key).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return std::nullopt;
    UniqueHkey key(raw);
    return QueryText(key.get(), ToWide(path.value).c_str());
}

}  // namespace palisade
