// SystemFacts answered by the running Windows system.
#pragma once

#include <windows.h>

#include <string>

#include "core/win32/unique_handle.h"
#include "variables/system_facts.h"

namespace palisade {

// What SHGetKnownFolderPath answered, kept whole for diagnostics.
struct KnownFolderAnswer {
    bool available = false;  // the entry point exists
    HRESULT result = E_NOTIMPL;
    std::u16string path;
};

class Win32SystemFacts final : public SystemFacts {
public:
    std::u16string SpecialFolder(int csidl) override;
    std::u16string KnownFolder(const FolderGuid& id) override;
    std::optional<std::u16string> RegistryText(RegistryRoot root, std::u16string_view key,
                                               std::u16string_view valueName) override;
    std::u16string EnvironmentVariable(std::u16string_view name) override;
    std::optional<std::u16string> ExpandEnvironment(std::u16string_view text) override;
    std::u16string WindowsFolder() override;
    std::u16string SystemFolder() override;
    std::u16string TempPath() override;
    bool FolderExists(std::u16string_view path) override;
    bool CreateFolder(std::u16string_view path) override;
    DriveKind DriveType(std::u16string_view root) override;
    std::u16string ModulePath() override;
    const OsVersionInfo& OsVersion() override;

    KnownFolderAnswer QueryKnownFolder(const FolderGuid& id);

private:
    // shell32.dll, loaded on first use; null when it cannot be loaded.
    HMODULE Shell32();

    UniqueHmodule m_shell32;
    bool m_shell32Tried = false;
};

// The facts of this process (one object, so that %Temp% is worked out once).
Win32SystemFacts& ProcessSystemFacts();

}  // namespace palisade
