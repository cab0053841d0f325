// Named bits of the flag words that steer the installation (`SettingsFlags1`,
// `SettingsFlags2`, `PayloadFlags`): one name for each bit, for the readers
// and the steps that act on them.
#pragma once

#include <cstdint>

namespace palisade {

struct Flags1 {
    static constexpr std::uint32_t kMustUninstallOlder = 0x1;
    static constexpr std::uint32_t kUninstaller = 0x4;           // existing-install lookup, uninstall data, shared files; row 65 present
    static constexpr std::uint32_t kGreetingPage = 0x8;
    static constexpr std::uint32_t kPageColours = 0x10;          // row 46 present
    static constexpr std::uint32_t kCompressedChunks = 0x20;     // the archive's chunks are xz-compressed
    static constexpr std::uint32_t kKeepInstallLog = 0x40;
    static constexpr std::uint32_t kFolderPage = 0x80;
    static constexpr std::uint32_t kSingleInstance = 0x100;
    static constexpr std::uint32_t kReplaceNewFilesAtRestart = 0x800;
    static constexpr std::uint32_t kAddToPath = 0x1000;
    static constexpr std::uint32_t kRestartRequired = 0x4000;
    static constexpr std::uint32_t kKeepBackgroundPicture = 0x8000;
    static constexpr std::uint32_t kMasterProduct = 0x10000;     // row 47 present
    static constexpr std::uint32_t kVerifyWrittenFiles = 0x40000;
    static constexpr std::uint32_t kClearAttributesOnRetry = 0x80000;
    static constexpr std::uint32_t kLogEveryFile = 0x100000;
    static constexpr std::uint32_t kNoCancel = 0x200000;
    static constexpr std::uint32_t kNoFinishMessage = 0x400000;
    static constexpr std::uint32_t kHidePreInstallBatch = 0x800000;
    static constexpr std::uint32_t kHidePostInstallBatch = 0x1000000;
    static constexpr std::uint32_t kHideInstallExitBatch = 0x2000000;
    static constexpr std::uint32_t kHideUninstallBatch1 = 0x4000000;
    static constexpr std::uint32_t kHideUninstallBatch2 = 0x8000000;
    static constexpr std::uint32_t kNoExistingInstallQuestion = 0x10000000;
    static constexpr std::uint32_t kNoBackgroundWindow = 0x20000000;
};

struct Flags2 {
    static constexpr std::uint32_t kNoProductKey = 0x1;
    static constexpr std::uint32_t kStartMenuPage = 0x4;
    static constexpr std::uint32_t kCompareVersions = 0x10;
    static constexpr std::uint32_t kNoGreetingPage = 0x800;
    static constexpr std::uint32_t kConfirmOtherVersion = 0x1000;
    static constexpr std::uint32_t kSaveReadme = 0x4000;
    static constexpr std::uint32_t kSaveLicence = 0x8000;
    static constexpr std::uint32_t kHideFilePaths = 0x20000;
    static constexpr std::uint32_t kGrantFolderRights = 0x40000;
    static constexpr std::uint32_t kProgressPage = 0x80000;
    static constexpr std::uint32_t kRebootMarker = 0x200000;
    static constexpr std::uint32_t kPortableNoUninstaller = 0x1000000;
    static constexpr std::uint32_t kHideUpgradeBatch = 0x10000000;
    static constexpr std::uint32_t kHideReinstallBatch = 0x20000000;
    static constexpr std::uint32_t kDesktopFolderDefault = 0x4000000;  // an empty `DesktopFolder` is the product name
    static constexpr std::uint32_t kGrantSharedFolderRights = 0x40000000;
};

struct PayloadFlags {
    static constexpr std::uint32_t kReinstallBatchOnlyOnReinstall = 0x1;
    static constexpr std::uint32_t kRestorePoint = 0x2;
    static constexpr std::uint32_t kStrippedInstaller = 0x20;
    static constexpr std::uint32_t kPreInstallBatchTitle = 0x40;
    static constexpr std::uint32_t kPostInstallBatchTitle = 0x80;
    static constexpr std::uint32_t kUpgradeBatchTitle = 0x100;
    static constexpr std::uint32_t kReinstallBatchTitle = 0x200;
    static constexpr std::uint32_t kNewerWindowsOnly = 0x400;
    static constexpr std::uint32_t kPortableNoShortcuts = 0x800;
    static constexpr std::uint32_t kCiphered = 0x1000;           // the settings block and chunks are Blowfish-enciphered
    static constexpr std::uint32_t kRecordInstallFolder = 0x2000;
    static constexpr std::uint32_t kPortableNoRegistry = 0x8000;
    static constexpr std::uint32_t kPortableNoAssociations = 0x20000;
    static constexpr std::uint32_t kPortableNoFirewall = 0x80000;  // a portable installation adds no firewall exceptions
    // Our own bit (the format names none this high): the installer and its
    // uninstaller end with 0, 3010, 1602 or 1603 instead of the fixed codes.
    // It travels to the uninstaller in the product key's "ProductFlags2".
    static constexpr std::uint32_t kDeploymentExitCodes = 0x1000000;
};

}  // namespace palisade
