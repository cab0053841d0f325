// One line on what each plain setting does, for `palisade keys`, the JSON Schema and `palisade init`.
#include "common/setting_descriptions.h"

#include <utility>

namespace palisade::tools {

namespace {

// Keyed by the project file's name of the setting; a unit test checks that
// every plain setting has a line here and that no line names a setting that
// does not exist.
const std::pair<const char*, const char*> kDescriptions[] = {
    {"SettingsFlags1", "The installer's first option word: a list of bit names"},
    {"SettingsFlags2", "The installer's second option word: a list of bit names"},
    {"AutomaticOverride", "1: the wizard runs by itself; 2: it does not unless /silent is given; 0: the command line decides"},
    {"TaskbarText", "The installer's title on the taskbar"},
    {"DisplayTitle", "The title shown on the background window"},
    {"TitleSize", "The size of the background window's title, relative to the screen"},
    {"ProgressPosition", "Where the background window places the progress page"},
    {"StatusDelay", "The least time in milliseconds each progress status message stays visible"},
    {"ShortcutMode", "1: shortcuts for all users; 0: for the installing user"},
    {"Publisher", "The product's publisher: shown in the list of installed programs; the default shared folder"},
    {"DisplayName", "The product's name: the pages, the uninstall registration and the <product> placeholder"},
    {"ProductDescription", "The <description> placeholder of the pages; empty means the product name"},
    {"Bitness", "0: any system; 1: 64-bit systems only; 2: 32-bit systems only"},
    {"FolderBaseSelector", "Which Program Files folder holds shared files: 0 follows Bitness; 1, 2 and 3 pick fixed ones"},
    {"SharedPath", "The folder of shared files below Common Files; empty means the publisher (or the product name)"},
    {"AlternativeSharedFolder", "The folder of shared files in a portable installation"},
    {"ProductStartMenu", "The start-menu folder of the product's shortcuts; empty means the product name"},
    {"DisplayVersion", "The product's version: the uninstall registration and the version comparisons"},
    {"DefaultInstallPath", "The installation folder below Program Files; \"<master>\" takes the master product's; "
                           "\"HKLM\\\\...\" or \"HKCU\\\\...\" names a registry value holding it; empty means the product name"},
    {"ProductRegistry", "The product's own registry key below Software, created and removed with the product"},
    {"DesktopFolderIcon", "An icon file for the product's desktop folder"},
    {"AppPathsProgram", "The main program, relative to the installation folder, registered under App Paths"},
    {"UninstallerFileName", "The uninstaller's file name; empty means uninstall.exe"},
    {"BitmapSize", "The size of the background picture in percent of the screen (0..100)"},
    {"StretchMode", "How the background picture is fitted to the window"},
    {"UninstallFonts", "Fonts at uninstallation: 0 keeps them, 1 removes them, 2 asks (removes them when silent)"},
    {"SummaryDocument2", "A second document the summary page offers to open"},
    {"UninstallSubdir", "The sub-folder of the installation folder that holds the uninstaller, its data and Install.log"},
    {"LinkNotifyAddress", "The address notified when the greeting page's link is clicked"},
    {"UninstallEntryName", "The name of the entry in the list of installed programs; empty means the product name"},
    {"InstallLocationValue", "A registry value that holds the folder of an existing installation"},
    {"DialogFont", "The pages' font: face and size, e.g. \"Segoe UI, 9\""},
    {"PageText", "The text of the pages' banner, with the <product>, <description> and <os> placeholders"},
    {"BannerTextColor", "The colour of the banner text (0xBBGGRR)"},
    {"PictureFrameMode", "How pictures on the pages are framed"},
    {"TitleColor", "The colour of the background window's title (0xBBGGRR)"},
    {"TitleShadow", "1: the background title has a shadow"},
    {"TitlePosition", "Where the background title stands"},
    {"TitleFont", "The faces the background title is drawn in, the first one installed wins"},
    {"TopColor", "The background window's colour at the top (0xBBGGRR)"},
    {"BottomColor", "The background window's colour at the bottom (0xBBGGRR); equal to TopColor gives one colour"},
    {"CopyrightPos", "Where the background window's copyright line stands; 0: no line"},
    {"CopyrightColor", "The colour of the copyright line (0xBBGGRR); needs CopyrightPos"},
    {"CopyrightSize", "The size of the copyright line; needs CopyrightPos"},
    {"CopyrightText", "The copyright line; needs CopyrightPos"},
    {"CopyrightFont", "The faces the copyright line is drawn in; needs CopyrightPos"},
    {"PageBackgroundColor", "The pages' background colour (0xBBGGRR); needs PageColours in SettingsFlags1"},
    {"PageTextColor", "The pages' text colour (0xBBGGRR); needs PageColours in SettingsFlags1"},
    {"MasterUninstallName", "The uninstall entry name of the master product; needs MasterProduct in SettingsFlags1"},
    {"MasterDisplayName", "The master product's name for messages; needs MasterProduct in SettingsFlags1"},
    {"MasterMinimumVersion", "The oldest version of the master product that will do; needs MasterProduct in SettingsFlags1"},
    {"StartupSound", "A sound file played when the installer starts"},
    {"DesktopFolder", "The product's desktop folder; empty means the product name with DesktopFolderDefault"},
    {"RegistryMerge", "A .reg file merged into the registry during the installation"},
    {"PreInstallBatch", "Commands run before the files are installed (Windows-1252)"},
    {"PostInstallBatch", "Commands run after the files are installed (Windows-1252)"},
    {"InstallExitBatch", "Commands run when the installer ends (Windows-1252)"},
    {"UninstallBatch1", "Commands run when the uninstaller starts (Windows-1252)"},
    {"UninstallBatch2", "Commands run when the uninstaller has removed the files (Windows-1252)"},
    {"UpgradeBatch", "Commands run when an older version is upgraded (Windows-1252)"},
    {"ReinstallBatch", "Commands run when the same version is installed again (Windows-1252)"},
    {"ExcludedSystems", "Bits of the kinds of Windows the product refuses to install on"},
    {"ArchiveInFile", "1: the archive follows the .setup section in the file instead of lying inside it"},
    {"NotifyText1", "Notification text 1 (Windows-1252)"},
    {"NotifyText2", "Notification text 2 (Windows-1252)"},
    {"NotifyText3", "Notification text 3 (Windows-1252)"},
    {"StartNotifyAddress", "The address notified when the installer starts (Windows-1252)"},
    {"BeginNotifyAddress", "The address notified when the installation begins (Windows-1252)"},
    {"CompletionNotifyAddress", "The address notified when the installation has finished (Windows-1252)"},
    {"NotifyText7", "Notification text 7 (Windows-1252)"},
    {"NotifyText8", "Notification text 8 (Windows-1252)"},
    {"NotifyText9", "Notification text 9 (Windows-1252)"},
    {"NotifyUrl", "The address notified by the uninstaller (Windows-1252)"},
    {"NotifyText11", "Notification text 11 (Windows-1252)"},
    {"CancelNotifyAddress", "The address notified when the installation is cancelled (Windows-1252)"},
    {"ErrorNotifyAddress", "The address notified when the installation fails (Windows-1252)"},
    {"ExpectedExistingVersion", "The installed version expected with ConfirmOtherVersion; another one is asked about (Windows-1252)"},
    {"NoDowngradeBelow", "The lowest version this installer may replace (Windows-1252)"},
    {"InstallPassword", "A password the installation asks for"},
    {"MustUninstallVersion", "With MustUninstallOlder: installed versions below it are uninstalled first; empty means every other version"},
    {"GreetingLinkAddress", "The address of the greeting page's link"},
    {"AddToPathSubfolder", "The sub-folder of the installation folder that AddToPath adds to the system PATH"},
    {"MessageBoxValue1", "The first value of the program's message box"},
    {"MessageBoxValue2", "The second value of the program's message box"},
    {"GreetingPageVariant", "The greeting page's layout"},
    {"LanguagePageVariant", "The language page's layout"},
    {"LicencePageVariant", "The licence page's layout"},
    {"ReadmePageVariant", "The readme page's layout"},
    {"FolderPageVariant", "The folder page's layout"},
    {"StartMenuPageVariant", "The start-menu page's layout"},
    {"ProgressPageVariant", "The progress page's layout"},
    {"SummaryPageVariant", "The summary page's layout"},
    {"IntegrityMode", "0: no test; 1: the installer checks a CRC-32 of its own head; 2: it checks its Authenticode signature"},
    {"UninstallerIcon", "An icon file for the written uninstaller; needs Uninstaller in SettingsFlags1"},
    {"LaunchProgram", "The program the summary page offers to start"},
    {"SummaryDocument", "The document the summary page offers to open"},
    {"FirewallRules", "Firewall exceptions to add, one rule a line"},
    {"RegistryEntries", "Registry entries to write, one a line"},
    {"SupportOffer", "The support address the uninstaller offers before it removes the product"},
    {"ProductIcon", "An icon file for the product's entry in the list of installed programs"},
};

}  // namespace

const char* SettingDescription(std::string_view key) {
    for (const auto& [name, description] : kDescriptions) {
        if (key == name) return description;
    }
    return nullptr;
}

}  // namespace palisade::tools
