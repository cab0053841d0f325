// The decisions of the main installation sequence that depend only on the
// settings and on facts gathered beforehand: system checks, the kind of
// installation, the default folder and the restart command of an uninstaller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "payload/settings.h"
#include "variables/os_version_info.h"
#include "variables/system_facts.h"

namespace palisade {

// Product versions compare field by field as numbers (see CompareVersions).
int CompareProductVersions(std::u16string_view a, std::u16string_view b);

// The bit of the excluded-systems mask that describes the running system.
std::uint32_t SystemKindBit(const OsVersionInfo& os);

// 0 when the product may run on this system; else the bitness it needs (64
// or 32), for message 81.
int RequiredBitness(std::uint8_t bitness, bool systemIs64Bit);

// True when the running system is older than the minimum of the settings
// (major, minor, service pack, then build where the minimum names one).
bool BelowMinimumSystem(const MinimumSystemVersion& minimum, const OsVersionInfo& os);
// The minimum as a system name, for message 60.
std::u16string MinimumSystemText(const MinimumSystemVersion& minimum);

// What the uninstall entry of an installed product says.
struct ExistingInstallation {
    std::u16string location;
    std::u16string version;
    std::u16string sharedFiles;
    std::u16string startMenu;
    std::u16string noDowngradeBelow;
    std::u16string quietUninstallString;
    std::u16string uninstallString;
    std::u16string uninstallSubdir;    // where its Uninstall.DAT lies, below `location`
    std::u16string uninstallDataHash;  // the SHA-256 recorded for that file; empty: none
};

// The older installation must be removed before this one may run.
bool MustUninstallFirst(const InstallerSettings& settings, std::u16string_view existingVersion);

// The installed product forbids going below its NoDowngradeBelow version.
bool DowngradeForbidden(std::u16string_view noDowngradeBelow, std::u16string_view productVersion);

struct InstallTypeDecision {
    int type = 1;             // 1 reinstall, 2 upgrade, 3 downgrade
    int questionMessage = 3;  // 3..6, the first line of the question
};
InstallTypeDecision DecideInstallType(bool compareVersions, std::u16string_view existingVersion,
                                      std::u16string_view productVersion);

// `SettingsFlags2` 0x1000: the installed version is not the one the author expected.
bool UnexpectedExistingVersion(const InstallerSettings& settings, std::u16string_view existingVersion);

// The uninstaller's command with " /r:\"<this installer's command line>\""
// appended (the line's double quotes become back-quotes).
std::u16string MustUninstallCommand(std::u16string_view uninstallCommand, std::u16string_view ownCommandLine);

// A registry value named by a path "HKLM\key\...\value" or "HKCU\...".
struct RegistryValuePath {
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::u16string key;
    std::u16string value;
};
std::optional<RegistryValuePath> ParseRegistryValuePath(std::u16string_view path);

// The default installation folder as the settings give it.
struct DefaultInstallPath {
    enum class Source { Folder, Master, Registry } source = Source::Folder;
    std::u16string folder;          // Folder: the full path
    RegistryValuePath registry;     // Registry: where the path is read
    std::u16string registryText;    // Registry: the path as written, for messages
};
// `expanded` is the stored text with "<os>" replaced and variables expanded
// (or the product name when the stored text is empty); `programFiles` the
// folder a relative path is joined to.
DefaultInstallPath ResolveDefaultInstallPath(std::u16string_view expanded, std::u16string_view programFiles);

// The folder text of a folder decision: trimmed, no trailing backslash (a
// drive root keeps it).
std::u16string NormaliseFolder(std::u16string_view folder);

}  // namespace palisade
