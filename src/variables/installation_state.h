// The installation state that the folder variables read: filled by start-up,
// the settings reader and the main sequence, only read by ExpandVariables.
#pragma once

#include <cstdint>
#include <string>

namespace palisade {

// ExistingInstall: the kind of installation the main sequence settled on.
inline constexpr int kNewInstallation = 0;
inline constexpr int kReinstall = 1;
inline constexpr int kUpgrade = 2;
inline constexpr int kDowngrade = 3;

// The product's Bitness setting.
inline constexpr std::uint8_t kBitnessAny = 0;
inline constexpr std::uint8_t kBitness64Only = 1;
inline constexpr std::uint8_t kBitness32Only = 2;

struct InstallationState {
    bool automatic = false;               // %Automatic%
    bool portable = false;                // %Portable%: the folder lies on a portable drive
    std::uint8_t bitness = kBitnessAny;   // picks the view of %ProgramsDir% and %CommonDir%
    std::u16string installFolder;         // %InstallDir%, no trailing backslash
    std::u16string desktopShortcutFolder; // %DesktopShortcuts% (see DesktopShortcutFolder)
    std::u16string languageName;          // %Language%
    std::u16string productName;           // %ProductName%
    std::u16string companyName;           // %CompanyName%
    std::u16string productVersion;        // %Version%
    std::u16string oldVersion;            // %OldVersion%: the version being overwritten
    int existingInstall = kNewInstallation;  // %Existing%
    std::u16string sharedFolder;          // %SharedDir%
    std::u16string startMenuFolderName;   // the start-menu folder chosen in the wizard
    bool allUsers = false;                // installing for all users
    std::u16string uninstallDataFolder;   // %UninstallDir%: UninstallDataFolder
};

}  // namespace palisade
