// Reading installed products' uninstall entries.
#include "startup/win32/installation_lookup_win32.h"

#include <windows.h>

#include "core/win32/registry.h"

namespace palisade {
namespace {

std::u16string TextOrEmpty(HKEY key, std::u16string_view name) {
    return ReadRegistryText(key, name).value_or(u"");
}

}  // namespace

std::optional<ExistingInstallation> ReadUninstallEntry(std::u16string_view entryName) {
    Win32Result<UniqueHkey> opened = TryOpenKey(
        HKEY_LOCAL_MACHINE, std::u16string(kInstalledProgramsKey) + u"\\" + std::u16string(entryName), KEY_READ);
    if (!opened.ok()) return std::nullopt;
    const UniqueHkey& key = *opened;
    ExistingInstallation entry;
    entry.location = TextOrEmpty(key.get(), u"InstallLocation");
    entry.version = TextOrEmpty(key.get(), u"DisplayVersion");
    entry.sharedFiles = TextOrEmpty(key.get(), u"SharedFiles");
    entry.startMenu = TextOrEmpty(key.get(), u"ProductStartMenu");
    entry.noDowngradeBelow = TextOrEmpty(key.get(), u"NoDowngradeBelow");
    entry.quietUninstallString = TextOrEmpty(key.get(), u"QuietUninstallString");
    entry.uninstallString = TextOrEmpty(key.get(), u"UninstallString");
    entry.uninstallSubdir = TextOrEmpty(key.get(), u"UninstallSubdir");
    entry.uninstallDataHash = TextOrEmpty(key.get(), kUninstallDataHashValue);
    return entry;
}

std::optional<std::u16string> ReadRegistryValueText(const RegistryValuePath& path) {
    HKEY hive = path.root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    return ReadRegistryText(hive, path.key, path.value).ToOptional();
}

}  // namespace palisade
