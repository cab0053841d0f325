// Shared fixtures of the settings tests: a settings record with every value set, and field offsets in its block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/crc32.h"
#include "payload/settings.h"
#include "payload/settings_flags.h"
#include "payload/settings_schema.h"

namespace palisade::settings_testing {

inline ByteBlob Blob(std::initializer_list<int> bytes) {
    ByteBlob blob;
    for (int b : bytes) blob.push_back(std::uint8_t(b));
    return blob;
}

inline MessageCatalogue SmallCatalogue() {
    MessageCatalogue catalogue({u"Deutsch", u"English", u"Fran\u00e7ais"}, 3);
    const char16_t* texts[3][3] = {
        {u"Willkommen bei <product>", u"Welcome to <product>", u"Bienvenue"},
        {u"Zeile 1\r\nZeile 2", u"Line 1\r\nLine 2", u"Ligne \u00e9"},
        {u"", u"<description> on <os>", u"\u20ac"},
    };
    for (std::size_t m = 0; m < 3; ++m) {
        for (std::size_t l = 0; l < 3; ++l) catalogue.SetText(m, l, texts[m][l]);
    }
    return catalogue;
}

// Every value differs from its default, every conditional row is present, and
// texts cover non-ASCII characters and the longer CompactString length forms.
inline InstallerSettings FullSettings() {
    InstallerSettings s;
    s.settingsFlags1 = Flags1::kUninstaller | Flags1::kPageColours | Flags1::kMasterProduct | 0x20 | 0x100;
    s.settingsFlags2 = Flags2::kDesktopFolderDefault | 0x4 | 0x100;
    s.automaticOverride = 2;
    s.taskbarText = u"Taskbar \u00e4\u00f6\u00fc";
    s.displayTitle = u"Title \u4e2d\u6587";
    s.titleSize = 1.25;
    s.progressPosition = 3 | 24;
    s.statusDelay = 1500;
    s.shortcutMode = 1;
    s.fixedSize = 0x123456789ull;
    s.reserveSize = 1u << 20;
    s.shortcutPlacements = {kPlaceStartMenu | kPlaceTaskbar, kPlaceDesktop | kPlaceDesktopFolder, kPlaceStartup,
                            kPlaceRoot};
    s.installerOptions = kOptionLicenceReadToEnd | kOptionShowDiskSpace | kOptionOpenDocument2Checked;
    s.publisher = u"Example Company";
    s.displayName = u"Example Product";
    s.productDescription = std::u16string(300, u'd');  // 600 bytes: the 3-byte length form
    s.bitness = 2;
    s.folderBaseSelector = 3;
    s.sharedPath = u"Shared";
    s.alternativeSharedFolder = u"PortableShared";
    s.productStartMenu = u"Example Menu";
    s.displayVersion = u"1.2.3";
    s.defaultInstallPath = u"<os>\\Example";
    s.productRegistry = u"Example\\Product";
    s.desktopFolderIcon = Blob({0, 0, 1, 0, 0xFF});
    s.appPathsProgram = u"bin\\example.exe";
    s.uninstallerFileName = u"uninstall.exe";
    s.bitmapSize = 80;
    s.stretchMode = 3;
    s.uninstallFonts = 1;
    s.summaryDocument2 = u"https://example.com/notes";
    s.licenceTexts = {Blob({'{', '\\', 'r', 't', 'f'}), Blob({}), Blob({0xFF, 0xFE, 'A', 0})};
    s.readmeTexts = {Blob({'r', 'e', 'a', 'd', '\n'})};
    s.uninstallSubdir = u"uninst";
    s.linkNotifyAddress = "http://example.com/link";
    s.uninstallEntryName = u"ExampleProduct";
    s.installLocationValue = u"HKLM\\Software\\Example\\Path";
    s.dialogFont = u"Segoe UI,9";
    s.pageText = u"Install <product> on <os>";
    s.bannerTextColor = 0x00112233;
    s.pictureFrameMode = 2;
    s.titleColor = 0x0000FF00;
    s.titleShadow = 7;
    s.titlePosition = 2;
    s.titleFont = u"Arial Black";
    s.topColor = 0x00102030;
    s.bottomColor = 0x00405060;
    s.backgroundPicture = Blob({'B', 'M', 0, 1, 2, 3});
    s.bitmapTpi = 5;
    s.copyrightPos = 5;
    s.copyrightColor = 0x00ABCDEF;
    s.copyrightSize = 0.75;
    s.copyrightText = u"\u00a9 Example";
    s.copyrightFont = u"Verdana";
    s.pageBackgroundColor = 0x00F0F0F0;
    s.pageTextColor = 0x00202020;
    s.masterUninstallName = u"MasterEntry";
    s.masterDisplayName = u"Master Product";
    s.masterMinimumVersion = u"2.0";
    s.startupSound = ByteBlob(255, 0x7F);  // 255 bytes: the 6-byte length form
    s.desktopFolder = u"Example Folder";
    s.registryMerge = Blob({0xFF, 0xFE, 'W', 0});
    s.preInstallBatch = "echo pre\r\n";
    s.postInstallBatch = "echo post \xE9";
    s.installExitBatch = "echo exit";
    s.uninstallBatch1 = "echo u1";
    s.uninstallBatch2 = "echo u2";
    s.upgradeBatch = "echo upgrade";
    s.reinstallBatch = "echo reinstall";
    s.minimumSystemVersion = {6, 1, 7601, 2, 1, 0};
    s.excludedSystems = 0x2 | 0x4;
    s.archiveInFile = 1;
    s.notifyText1 = "n1";
    s.notifyText2 = "n2";
    s.notifyText3 = "n3";
    s.startNotifyAddress = "http://example.com/start?v=%version%";
    s.beginNotifyAddress = "http://example.com/begin";
    s.completionNotifyAddress = "http://example.com/done";
    s.notifyText7 = "n7";
    s.notifyText8 = "n8";
    s.notifyText9 = "n9";
    s.notifyUrl = "http://example.com/uninstalled";
    s.notifyText11 = "n11";
    s.cancelNotifyAddress = "http://example.com/cancel";
    s.errorNotifyAddress = "http://example.com/error";
    s.expectedExistingVersion = "1.1";
    s.noDowngradeBelow = "1.0";
    s.buildDate = {2026, 3, 9, 14, 5, 7};
    s.installPassword = u"secret";
    s.mustUninstallVersion = u"0.9";
    s.greetingLinkAddress = u"https://example.com/";
    s.addToPathSubfolder = u"bin";
    s.messageBoxValue1 = -3;
    s.messageBoxValue2 = 97;
    s.greetingPageVariant = 0;
    s.languagePageVariant = 2;
    s.licencePageVariant = 3;
    s.readmePageVariant = 0;
    s.folderPageVariant = 2;
    s.startMenuPageVariant = 3;
    s.progressPageVariant = 0;
    s.summaryPageVariant = 2;
    s.integrityMode = 1;
    s.uninstallerIcon = Blob({0, 0, 1, 0, 1});
    s.fileDeletions = {{"old.dll", 2, "2020/01/01", kDeleteAtInstall},
                       {"%InstallDir%\\*.tmp", 0, "", kDeleteAtInstall | kDeleteAtUninstall}};
    s.fileAssociations = {{1, ".exa", "Example.Doc", "open,print", "example.ico,1", "", u"Example document",
                           u"\"%InstallDir%\\example.exe\" \"%1\"", u"&Open"},
                          {2, ".exb", "", "open", "", "spare", u"", u"example.exe", u""}};
    s.authorShortcuts = {{u"Help", u"Read the manual", u"%InstallDir%\\help.chm", u"", u"%StartMenuChosen%\\Docs", 1,
                          kPlaceDesktop, 3, "%InstallDir%", 2, kShortcutPermanent | kShortcutExpandTarget}};
    s.launchProgram = u"%InstallDir%\\example.exe";
    s.summaryDocument = u"%InstallDir%\\readme.html";
    s.firewallRules = u"8080;Example;3;0\r\nexample.exe;;0;1";
    s.registryEntries = u"\\HKLM\\Software\\Example\r\n\\HKCU\\Software\\Example,Name,1,%InstallDir%,1";
    s.uninstallValues = {{"HelpLink", 1, u"https://example.com/help"}, {"Software\\Example\\Size", 4, u"42"}};
    s.supportOffer = u"https://example.com/support";
    s.productIcon = Blob({0, 0, 1, 0, 2});
    s.autoCloseEntries = {{u"ExampleWindow", u"*Example", u"Example", 2, 1 | 4}, {u"", u"Other", u"Other", 3, 2}};
    s.messageCatalogue = SmallCatalogue();
    return s;
}

// The offset at which `fieldName` starts in the block written for `settings`
// (the block's size when no stored field has that name).
inline std::size_t FieldOffset(const InstallerSettings& settings, const std::string& fieldName) {
    SettingsWriter writer;
    for (const SettingsField& field : SettingsSchema()) {
        if (!field.write || (field.present && !field.present(settings))) continue;
        if (fieldName == field.name) break;
        field.write(writer, settings, field);
    }
    return writer.Bytes().size();
}

inline void PatchI32(std::vector<std::uint8_t>& block, std::size_t at, std::int32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = std::uint8_t(std::uint32_t(value) >> (8 * i));
}

// Reads a block whose checksum is right, so that only the values decide.
inline SettingsResult ReadWithGoodChecksum(const std::vector<std::uint8_t>& block) {
    return ReadSettings(block, Crc32(block));
}

}  // namespace palisade::settings_testing
