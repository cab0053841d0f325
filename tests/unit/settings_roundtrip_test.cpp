// Writing settings and reading them back: every row and list, absent rows, defaults and run-time rewrites.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "payload/settings_flags.h"
#include "settings_test_support.h"

namespace palisade {
namespace {

using settings_testing::FullSettings;
using settings_testing::ReadWithGoodChecksum;

InstallerSettings RoundTrip(const InstallerSettings& settings, const SettingsReadOptions& options = {}) {
    SettingsWriteResult written = WriteSettingsChecked(settings);
    EXPECT_TRUE(written.problems.empty()) << written.problems.front();
    SettingsResult read = ReadSettings(written.block, Crc32(written.block), options);
    EXPECT_EQ(read.errorCode, 0);
    return read.settings.value_or(InstallerSettings{});
}

// Compared member by member, not through operator== (which walks the schema):
// a member that the schema forgot would be neither written nor compared there.
#define EXPECT_SAME(member) EXPECT_TRUE(back.member == full.member) << #member
TEST(SettingsRoundTrip, EveryRowComesBack) {
    const InstallerSettings full = FullSettings();
    const InstallerSettings back = RoundTrip(full);
    EXPECT_SAME(settingsFlags1); EXPECT_SAME(settingsFlags2); EXPECT_SAME(automaticOverride);
    EXPECT_SAME(taskbarText); EXPECT_SAME(displayTitle); EXPECT_SAME(titleSize); EXPECT_SAME(progressPosition);
    EXPECT_SAME(statusDelay); EXPECT_SAME(shortcutMode); EXPECT_SAME(fixedSize); EXPECT_SAME(reserveSize);
    EXPECT_SAME(shortcutPlacements); EXPECT_SAME(installerOptions); EXPECT_SAME(publisher);
    EXPECT_SAME(displayName); EXPECT_SAME(productDescription); EXPECT_SAME(bitness);
    EXPECT_SAME(folderBaseSelector); EXPECT_SAME(sharedPath); EXPECT_SAME(alternativeSharedFolder);
    EXPECT_SAME(productStartMenu); EXPECT_SAME(displayVersion); EXPECT_SAME(defaultInstallPath);
    EXPECT_SAME(productRegistry); EXPECT_SAME(desktopFolderIcon); EXPECT_SAME(appPathsProgram);
    EXPECT_SAME(uninstallerFileName); EXPECT_SAME(bitmapSize); EXPECT_SAME(stretchMode);
    EXPECT_SAME(uninstallFonts); EXPECT_SAME(summaryDocument2); EXPECT_SAME(licenceTexts);
    EXPECT_SAME(readmeTexts); EXPECT_SAME(uninstallSubdir); EXPECT_SAME(linkNotifyAddress);
    EXPECT_SAME(uninstallEntryName); EXPECT_SAME(installLocationValue); EXPECT_SAME(dialogFont);
    EXPECT_SAME(pageText); EXPECT_SAME(bannerTextColor); EXPECT_SAME(pictureFrameMode); EXPECT_SAME(titleColor);
    EXPECT_SAME(titleShadow); EXPECT_SAME(titlePosition); EXPECT_SAME(titleFont); EXPECT_SAME(topColor);
    EXPECT_SAME(bottomColor); EXPECT_SAME(backgroundPicture); EXPECT_SAME(bitmapTpi); EXPECT_SAME(copyrightPos);
    EXPECT_SAME(copyrightColor); EXPECT_SAME(copyrightSize); EXPECT_SAME(copyrightText);
    EXPECT_SAME(copyrightFont); EXPECT_SAME(pageBackgroundColor); EXPECT_SAME(pageTextColor);
    EXPECT_SAME(masterUninstallName); EXPECT_SAME(masterDisplayName); EXPECT_SAME(masterMinimumVersion);
    EXPECT_SAME(startupSound); EXPECT_SAME(desktopFolder); EXPECT_SAME(registryMerge);
    EXPECT_SAME(preInstallBatch); EXPECT_SAME(postInstallBatch); EXPECT_SAME(installExitBatch);
    EXPECT_SAME(uninstallBatch1); EXPECT_SAME(uninstallBatch2); EXPECT_SAME(upgradeBatch);
    EXPECT_SAME(reinstallBatch); EXPECT_SAME(minimumSystemVersion); EXPECT_SAME(excludedSystems);
    EXPECT_SAME(archiveInFile); EXPECT_SAME(notifyText1); EXPECT_SAME(notifyText2); EXPECT_SAME(notifyText3);
    EXPECT_SAME(startNotifyAddress); EXPECT_SAME(beginNotifyAddress); EXPECT_SAME(completionNotifyAddress);
    EXPECT_SAME(notifyText7); EXPECT_SAME(notifyText8); EXPECT_SAME(notifyText9); EXPECT_SAME(notifyUrl);
    EXPECT_SAME(notifyText11); EXPECT_SAME(cancelNotifyAddress); EXPECT_SAME(errorNotifyAddress);
    EXPECT_SAME(expectedExistingVersion); EXPECT_SAME(noDowngradeBelow); EXPECT_SAME(buildDate);
    EXPECT_SAME(installPassword); EXPECT_SAME(mustUninstallVersion); EXPECT_SAME(greetingLinkAddress);
    EXPECT_SAME(addToPathSubfolder); EXPECT_SAME(messageBoxValue1); EXPECT_SAME(messageBoxValue2);
    EXPECT_SAME(greetingPageVariant); EXPECT_SAME(languagePageVariant); EXPECT_SAME(licencePageVariant);
    EXPECT_SAME(readmePageVariant); EXPECT_SAME(folderPageVariant); EXPECT_SAME(startMenuPageVariant);
    EXPECT_SAME(progressPageVariant); EXPECT_SAME(summaryPageVariant); EXPECT_SAME(integrityMode);
    EXPECT_SAME(uninstallerIcon); EXPECT_SAME(fileDeletions); EXPECT_SAME(fileAssociations);
    EXPECT_SAME(authorShortcuts); EXPECT_SAME(launchProgram); EXPECT_SAME(summaryDocument);
    EXPECT_SAME(firewallRules); EXPECT_SAME(registryEntries); EXPECT_SAME(uninstallValues);
    EXPECT_SAME(supportOffer); EXPECT_SAME(productIcon); EXPECT_SAME(autoCloseEntries);
    EXPECT_SAME(messageCatalogue);
    EXPECT_EQ(back, full);
}
#undef EXPECT_SAME

TEST(SettingsRoundTrip, EqualityNoticesAChangeInAnyStoredField) {
    const InstallerSettings full = FullSettings();
    std::vector<std::function<void(InstallerSettings&)>> changes = {
        [](InstallerSettings& s) { s.settingsFlags2 ^= 1; },
        [](InstallerSettings& s) { s.shortcutPlacements.forUninstaller ^= 1; },
        [](InstallerSettings& s) { s.buildDate.second ^= 1; },
        [](InstallerSettings& s) { s.minimumSystemVersion.servicePackMinor ^= 1; },
        [](InstallerSettings& s) { s.fileAssociations[1].spareText += "x"; },
        [](InstallerSettings& s) { s.authorShortcuts[0].iconIndex ^= 1; },
        [](InstallerSettings& s) { s.uninstallValues[0].type ^= 1; },
        [](InstallerSettings& s) { s.autoCloseEntries[0].phaseMask ^= 1; },
        [](InstallerSettings& s) { s.fileDeletions[1].reference += "x"; },
        [](InstallerSettings& s) { s.bitmapTpi ^= 1; },
        [](InstallerSettings& s) { s.messageCatalogue.SetText(2, 0, u"changed"); },
        [](InstallerSettings& s) { s.messageCatalogue.SetLanguage(2); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        InstallerSettings changed = full;
        changes[i](changed);
        EXPECT_NE(changed, full) << "change " << i;
    }
}

TEST(SettingsRoundTrip, ConditionalRowsAreLeftOutAndReadAsDefaults) {
    InstallerSettings full = FullSettings();
    full.settingsFlags1 &= ~(Flags1::kUninstaller | Flags1::kPageColours | Flags1::kMasterProduct);
    full.copyrightPos = 0;
    const InstallerSettings back = RoundTrip(full);
    const InstallerSettings defaults;
    EXPECT_EQ(back.copyrightColor, defaults.copyrightColor);
    EXPECT_EQ(back.copyrightSize, defaults.copyrightSize);
    EXPECT_EQ(back.copyrightText, defaults.copyrightText);
    EXPECT_EQ(back.copyrightFont, defaults.copyrightFont);
    EXPECT_EQ(back.pageBackgroundColor, defaults.pageBackgroundColor);
    EXPECT_EQ(back.pageTextColor, defaults.pageTextColor);
    EXPECT_EQ(back.masterUninstallName, u"");
    EXPECT_EQ(back.masterMinimumVersion, u"");
    EXPECT_TRUE(back.uninstallerIcon.empty());
    // Everything after the absent rows is still in step.
    EXPECT_EQ(back.startupSound, full.startupSound);
    EXPECT_EQ(back.fileDeletions, full.fileDeletions);
    EXPECT_EQ(back.messageCatalogue, full.messageCatalogue);
}

TEST(SettingsRoundTrip, EmptyListsAndTextsComeBack) {
    InstallerSettings s = FullSettings();
    s.licenceTexts.clear();
    s.readmeTexts.clear();
    s.fileDeletions.clear();
    s.fileAssociations.clear();
    s.authorShortcuts.clear();
    s.uninstallValues.clear();
    s.autoCloseEntries.clear();
    s.backgroundPicture.clear();
    s.bitmapTpi = -1;
    s.firewallRules.clear();
    s.registryEntries.clear();
    EXPECT_EQ(RoundTrip(s), s);
}

TEST(SettingsRoundTrip, EmptyValuesTakeTheirDefaults) {
    InstallerSettings s = FullSettings();
    s.productDescription.clear();
    s.sharedPath.clear();
    s.productStartMenu.clear();
    s.uninstallEntryName.clear();
    s.desktopFolder.clear();
    InstallerSettings back = RoundTrip(s);
    EXPECT_EQ(back.productDescription, s.displayName);
    EXPECT_EQ(back.sharedPath, s.publisher);
    EXPECT_EQ(back.productStartMenu, s.displayName);
    EXPECT_EQ(back.uninstallEntryName, s.displayName);
    EXPECT_EQ(back.desktopFolder, s.displayName);

    s.publisher.clear();
    s.settingsFlags2 &= ~Flags2::kDesktopFolderDefault;
    back = RoundTrip(s);
    EXPECT_EQ(back.sharedPath, s.displayName) << "no company name: the product name";
    EXPECT_EQ(back.desktopFolder, u"") << "without the flag an empty desktop folder stays empty";
}

TEST(SettingsRoundTrip, ProductNameOverrideFeedsTheDefaults) {
    InstallerSettings s = FullSettings();
    s.productDescription.clear();
    SettingsReadOptions options;
    options.productNameOverride = u"Renamed";
    InstallerSettings back = RoundTrip(s, options);
    EXPECT_EQ(back.displayName, u"Renamed");
    EXPECT_EQ(back.productDescription, u"Renamed");
}

TEST(SettingsRoundTrip, SilentModeRewritesTheFlagWords) {
    InstallerSettings s = FullSettings();
    s.settingsFlags1 = 0xFFFFFFFF;
    s.settingsFlags2 = 0xFFFFFFFF;
    SettingsReadOptions silent;
    silent.silent = true;
    InstallerSettings back = RoundTrip(s, silent);
    EXPECT_EQ(back.settingsFlags1, 0x7fffff7fu);
    EXPECT_EQ(back.settingsFlags2, ~0x8120cu);

    s.settingsFlags1 = Flags1::kUninstaller;
    s.settingsFlags2 = 0x8120c;
    back = RoundTrip(s, silent);
    EXPECT_EQ(back.settingsFlags1, Flags1::kUninstaller | 0x30600000u);
    EXPECT_EQ(back.settingsFlags2, 0x800u);
    // Versions are still compared, so an upgrade is told from a reinstall.
    s.settingsFlags2 = Flags2::kCompareVersions;
    EXPECT_EQ(RoundTrip(s, silent).settingsFlags2, Flags2::kCompareVersions | 0x800u);
    EXPECT_EQ(back.uninstallerIcon, s.uninstallerIcon) << "conditions see the rewritten words";
}

TEST(SettingsRoundTrip, BackgroundHookRunsBeforeTheChecksumTest) {
    std::vector<std::uint8_t> block = WriteSettings(FullSettings());
    SettingsReadOptions options;
    std::u16string seenTitle;
    bool called = false;
    options.beforeChecksum = [&](const InstallerSettings& s) {
        called = true;
        seenTitle = s.displayTitle;
    };
    SettingsResult result = ReadSettings(block, Crc32(block) ^ 1, options);
    EXPECT_TRUE(called);
    EXPECT_EQ(seenTitle, FullSettings().displayTitle);
    EXPECT_EQ(result.errorCode, FatalCode::kSettingsChecksum);
    EXPECT_FALSE(result.settings);
}

TEST(SettingsRoundTrip, WriterReportsWhatTheReaderWouldRefuse) {
    InstallerSettings s = FullSettings();
    s.statusDelay = 10000;
    s.linkNotifyAddress = std::string(256, 'a');
    s.backgroundPicture.clear();  // bitmapTpi 5 is then lost
    s.expectedExistingVersion = std::string("a\0b", 3);
    s.fileDeletions.push_back({"~~THE END~~", 0, "", 0});
    s.messageCatalogue = MessageCatalogue();
    std::vector<std::string> fields;
    for (const std::string& problem : WriteSettingsChecked(s).problems) {
        fields.push_back(problem.substr(0, problem.find(':')));
    }
    std::vector<std::string> expected = {"statusDelay",    "linkNotifyAddress", "backgroundPicture, bitmapTpi",
                                         "expectedExistingVersion", "fileDeletions", "messageCatalogue",
                                         "messageCatalogue"};
    EXPECT_EQ(fields, expected);
    EXPECT_TRUE(WriteSettingsChecked(FullSettings()).problems.empty());
}

TEST(SettingsSchema, CoversEveryRowInOrder) {
    std::set<int> rows;
    int previous = 0;
    for (const SettingsField& field : SettingsSchema()) {
        EXPECT_GE(field.row, previous) << field.name;
        previous = field.row;
        rows.insert(field.row);
        EXPECT_TRUE(field.encoding == SettingsEncoding::ChecksumPoint || (field.read && field.write)) << field.name;
    }
    EXPECT_EQ(rows.size(), 75u);
    EXPECT_EQ(*rows.begin(), 1);
    EXPECT_EQ(*rows.rbegin(), 75);
}

TEST(SettingsSchema, EveryFieldIsDocumented) {
    std::ifstream file(std::string(PALISADE_SOURCE_DIR) + "/docs/payload-format.md");
    ASSERT_TRUE(file) << "docs/payload-format.md";
    std::stringstream text;
    text << file.rdbuf();
    std::string doc = text.str();
    for (const SettingsField& field : SettingsSchema()) {
        if (field.name[0] == '(') continue;
        std::stringstream names(field.name);
        std::string name;
        while (std::getline(names, name, ',')) {
            name.erase(0, name.find_first_not_of(' '));
            EXPECT_NE(doc.find("`" + name + "`"), std::string::npos) << name;
        }
    }
}

}  // namespace
}  // namespace palisade
