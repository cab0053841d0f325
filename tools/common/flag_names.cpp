// Names of the bits of the payload's and the settings' flag words, for project files and the inspector.
#include "common/flag_names.h"

#include <cstdio>

namespace palisade::tools {

namespace {

const std::vector<FlagName> kPayloadFlags = {
    {"ReinstallBatchOnlyOnReinstall", 0x1, "the reinstall batch runs only when the same version is installed"},
    {"RestorePoint", 0x2, "open and close a System Restore point"},
    {"StrippedInstaller", 0x20, "the uninstaller is this executable without the payload section"},
    {"LogPreInstallBatch", 0x40, "the pre-installation batch is titled and its output logged"},
    {"LogPostInstallBatch", 0x80, "the post-installation batch is titled and its output logged"},
    {"LogUpgradeBatch", 0x100, "the upgrade batch is titled and its output logged"},
    {"LogReinstallBatch", 0x200, "the reinstall batch is titled and its output logged"},
    {"NewerWindows", 0x400, "kept only on Windows Server 2003 and Windows Vista or later"},
    {"PortableNoShortcuts", 0x800, "a portable installation creates no shortcuts"},
    {"Ciphered", 0x1000, "settings and archive are enciphered (set by the builder's 'cipher')"},
    {"RecordInstallFolder", 0x2000, "the uninstaller removes the installation folder itself"},
    {"PortableNoRegistry", 0x8000, "a portable installation writes no registry entries"},
    {"PortableNoAssociations", 0x20000, "a portable installation registers no file associations"},
    {"PortableNoFirewall", 0x80000, "a portable installation adds no firewall exceptions"},
    {"DeploymentExitCodes", 0x1000000,
     "end with the exit codes deployment tools read: 0 success, 3010 restart needed, 1602 cancelled, 1603 failed"},
};

const std::vector<FlagName> kSettingsFlags1 = {
    {"MustUninstallOlder", 0x1, "an installed other version must be uninstalled first"},
    {"Uninstaller", 0x4, "look for an existing installation; write the uninstaller and its registration"},
    {"GreetingPage", 0x8, "always show the greeting page"},
    {"PageColours", 0x10, "pages use PageBackgroundColor and PageTextColor"},
    {"CompressedArchive", 0x20, "archive chunks are xz-compressed (set by the builder's 'compress')"},
    {"KeepInstallLog", 0x40, "write Install.log also after a run without failures"},
    {"FolderPage", 0x80, "show the installation folder page"},
    {"SingleInstance", 0x100, "refuse to run while another installer of this builder runs"},
    {"ReplaceNewFilesAtRestart", 0x800, "a new file that cannot be written is replaced at restart"},
    {"AddToPath", 0x1000, "add a folder of the installation to the system PATH"},
    {"RestartRequired", 0x4000, "set at run time when a restart is needed"},
    {"KeepBackgroundPicture", 0x8000, "the uninstaller shows the installer's background picture"},
    {"MasterProduct", 0x10000, "the product needs a master product (MasterUninstallName ...)"},
    {"VerifyWrittenFiles", 0x40000, "read every written file back and compare it"},
    {"ClearAttributesOnRetry", 0x80000, "after a failed write, clear read-only, hidden and system"},
    {"LogEveryFile", 0x100000, "log one line per installed file and shortcut"},
    {"NoCancel", 0x200000, "the progress page cannot be cancelled"},
    {"NoFinishMessage", 0x400000, "no message at the end of a successful installation"},
    {"HidePreInstallBatch", 0x800000, "run the pre-installation batch without a console window"},
    {"HidePostInstallBatch", 0x1000000, "run the post-installation batch without a console window"},
    {"HideInstallExitBatch", 0x2000000, "run the installation-exit batch without a console window"},
    {"HideUninstallBatch1", 0x4000000, "run uninstall batch 1 without a console window"},
    {"HideUninstallBatch2", 0x8000000, "run uninstall batch 2 without a console window"},
    {"NoExistingInstallQuestion", 0x10000000, "do not ask before installing over an existing installation"},
    {"NoBackgroundWindow", 0x20000000, "no full-screen background window"},
};

const std::vector<FlagName> kSettingsFlags2 = {
    {"NoProductKey", 0x1, "do not create the product's registry key"},
    {"StartMenuPage", 0x4, "show the start-menu folder page"},
    {"CompareVersions", 0x10, "tell reinstall, upgrade and downgrade apart by version"},
    {"NewFolderButton", 0x20, "the folder browser offers a new-folder button"},
    {"MaximisedBackground", 0x100, "the background window covers the whole screen"},
    {"KeepBackgroundTitle", 0x400, "choosing a language does not change the background title"},
    {"NoGreetingPage", 0x800, "no greeting page unless GreetingPage is set"},
    {"ConfirmOtherVersion", 0x1000, "ask before installing over an unexpected installed version"},
    {"UninstallRestartRequired", 0x2000, "set at run time when the uninstaller needs a restart"},
    {"SaveReadme", 0x4000, "save the readme texts into the installation folder"},
    {"SaveLicence", 0x8000, "save the licence texts into the installation folder"},
    {"HideFilePaths", 0x20000, "the progress page shows message 54 instead of each path"},
    {"GrantFolderRights", 0x40000, "give everyone full access to the installation folders"},
    {"ProgressPage", 0x80000, "show the progress page"},
    {"CustomPageIcon", 0x100000, "pages carry the installer's icon"},
    {"RebootMarker", 0x200000, "create reboot.dat, deleted at the next restart"},
    {"PortableNoUninstaller", 0x1000000, "a portable installation writes no uninstaller"},
    {"ViewLogOption", 0x2000000, "the summary page offers to view the installation log"},
    {"DesktopFolderDefault", 0x4000000, "an empty DesktopFolder means the product name"},
    {"HideUpgradeBatch", 0x10000000, "run the upgrade batch without a console window"},
    {"HideReinstallBatch", 0x20000000, "run the reinstall batch without a console window"},
    {"GrantSharedFolderRights", 0x40000000, "give everyone full access to the shared folder"},
};

const std::vector<FlagName> kInstallerOptions = {
    {"LicenceReadToEnd", 0x1, "the licence can be accepted only after scrolling to its end"},
    {"ShowDiskSpace", 0x2, "the folder page shows the space needed and free"},
    {"ButtonPictures", 0x4, "buttons show their pictures"},
    {"RunProgramChecked", 0x8, "the summary page's run-program box starts checked"},
    {"OpenDocumentChecked", 0x10, "the summary page's open-document box starts checked"},
    {"OpenDocument2Checked", 0x20, "the summary page's second open-document box starts checked"},
};

const std::vector<FlagName> kShortcutPlacements = {
    {"StartMenu", 0x01, "the product's start-menu folder"},
    {"Desktop", 0x02, "the desktop"},
    {"DesktopFolder", 0x04, "the product's desktop folder (DesktopFolder)"},
    {"Startup", 0x08, "the Startup folder"},
    {"Root", 0x10, "the root of the system drive"},
    {"Taskbar", 0x20, "pinned to the taskbar"},
};

const std::vector<FlagName> kDeletionFlags = {
    {"AtRestart", 0x1, "delete at the next restart"},
    {"ReportDeferred", 0x2, "report a deletion deferred to the restart"},
    {"AtInstall", 0x4, "delete before the files are installed"},
    {"AtUninstall", 0x8, "delete when uninstalling"},
};

}  // namespace

const std::vector<FlagName>& FlagNames(FlagWord word) {
    switch (word) {
        case FlagWord::PayloadFlags: return kPayloadFlags;
        case FlagWord::SettingsFlags1: return kSettingsFlags1;
        case FlagWord::SettingsFlags2: return kSettingsFlags2;
        case FlagWord::InstallerOptions: return kInstallerOptions;
        case FlagWord::ShortcutPlacement: return kShortcutPlacements;
        case FlagWord::DeletionFlags: return kDeletionFlags;
    }
    return kPayloadFlags;
}

const char* FlagWordName(FlagWord word) {
    switch (word) {
        case FlagWord::PayloadFlags: return "PayloadFlags";
        case FlagWord::SettingsFlags1: return "SettingsFlags1";
        case FlagWord::SettingsFlags2: return "SettingsFlags2";
        case FlagWord::InstallerOptions: return "InstallerOptions";
        case FlagWord::ShortcutPlacement: return "shortcut placement";
        case FlagWord::DeletionFlags: return "deletion flags";
    }
    return "";
}

std::optional<std::uint32_t> FindFlag(FlagWord word, std::string_view name) {
    for (const FlagName& flag : FlagNames(word)) {
        if (name == flag.name) return flag.bit;
    }
    return std::nullopt;
}

std::vector<std::string> DescribeFlags(FlagWord word, std::uint32_t value) {
    std::vector<std::string> names;
    for (int bit = 0; bit < 32; ++bit) {
        std::uint32_t mask = std::uint32_t(1) << bit;
        if ((value & mask) == 0) continue;
        std::string name;
        for (const FlagName& flag : FlagNames(word)) {
            if (flag.bit == mask) name = flag.name;
        }
        if (name.empty()) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%x", mask);
            name = hex;
        }
        names.push_back(name);
    }
    return names;
}

}  // namespace palisade::tools
