// The raw answers the system gives to the folder variables: one call per
// lookup step, so that every rule built on them stays portable and testable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "variables/os_version_info.h"

namespace palisade {

enum class RegistryRoot { LocalMachine, CurrentUser };

// GetDriveTypeW's answers, by their values.
enum class DriveKind : std::uint32_t {
    Unknown = 0,
    NoRootDirectory = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// A known-folder id in the layout of a GUID.
struct FolderGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

class SystemFacts {
public:
    virtual ~SystemFacts() = default;

    // SHGetSpecialFolderPathW(null, csidl, buffer, false); empty when it fails
    // or when shell32 cannot be loaded.
    virtual std::u16string SpecialFolder(int csidl) = 0;
    // SHGetKnownFolderPath(id, 0, null); empty when it fails or is missing.
    virtual std::u16string KnownFolder(const FolderGuid& id) = 0;
    // A REG_SZ or REG_EXPAND_SZ value as stored (not expanded); nullopt when
    // the key or value is missing or of another type.
    virtual std::optional<std::u16string> RegistryText(RegistryRoot root, std::u16string_view key,
                                                       std::u16string_view valueName) = 0;
    // GetEnvironmentVariableW; empty when not set.
    virtual std::u16string EnvironmentVariable(std::u16string_view name) = 0;
    // ExpandEnvironmentStringsW, the whole expansion; nullopt when the call fails.
    virtual std::optional<std::u16string> ExpandEnvironment(std::u16string_view text) = 0;
    virtual std::u16string WindowsFolder() = 0;  // GetWindowsDirectoryW
    virtual std::u16string SystemFolder() = 0;   // GetSystemDirectoryW; empty on failure
    virtual std::u16string TempPath() = 0;       // GetTempPathW, with its trailing backslash
    virtual bool FolderExists(std::u16string_view path) = 0;
    virtual bool CreateFolder(std::u16string_view path) = 0;
    virtual DriveKind DriveType(std::u16string_view root) = 0;  // GetDriveTypeW of "X:\"
    virtual std::u16string ModulePath() = 0;     // full path of the running executable
    virtual const OsVersionInfo& OsVersion() = 0;

    // %Temp% is worked out once and kept for as long as these facts live
    // (the process, for the real system).
    std::optional<std::u16string>& TempFolderCache() { return m_tempFolderCache; }

private:
    std::optional<std::u16string> m_tempFolderCache;
};

}  // namespace palisade
