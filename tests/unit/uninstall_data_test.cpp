// Uninstall.DAT byte for byte, and the names of the saved readme and licence files.
#include <gtest/gtest.h>

#include "uninstall/saved_texts.h"
#include "uninstall/uninstall_data.h"

namespace palisade {
namespace {

InstallerSettings SettingsWithMessages() {
    InstallerSettings settings;
    settings.messageCatalogue = MessageCatalogue({u"English", u"Deutsch"}, 120);
    for (int n : kUninstallerMessageNumbers) {
        settings.messageCatalogue.SetText(n, 0, u"en" + std::u16string(1, char16_t(u'0' + n % 10)));
        settings.messageCatalogue.SetText(n, 1, u"de" + std::u16string(1, char16_t(u'0' + n % 10)));
    }
    settings.messageCatalogue.SetText(10, 1, u"Entfernen \u00FCber");
    settings.messageCatalogue.SetLanguage(1);
    settings.pageText = u"Setup of Acme\u2122";
    return settings;
}

// The [Strings] section as the settings above give it, in German.
std::string ExpectedStrings() {
    std::string text = "\r\n\r\n[Strings]\r\n~10\r\nEntfernen \xC3\xBC" "ber\r\n";
    for (int n : kUninstallerMessageNumbers) {
        if (n == 10) continue;
        text += "~" + std::to_string(n) + "\r\nde" + std::to_string(n % 10) + "\r\n";
    }
    return text + "~999\r\nSetup of Acme\xE2\x84\xA2\r\n";
}

TEST(UninstallData, MessageNumbersAreTheUninstallersSet) {
    EXPECT_EQ(kUninstallerMessageNumbers.front(), 10);
    EXPECT_EQ(kUninstallerMessageNumbers.back(), 115);
    for (std::size_t i = 1; i < kUninstallerMessageNumbers.size(); ++i) {
        EXPECT_LT(kUninstallerMessageNumbers[i - 1], kUninstallerMessageNumbers[i]);
    }
}

TEST(UninstallData, OnlyTheListAndTheStringsWhenNothingElseWasRecorded) {
    InstallerSettings settings = SettingsWithMessages();
    InstallationRecord record;
    record.uninstallItems.Record(u"C:\\Program Files\\Acme\\acme.exe", UninstallItemType::File);
    EXPECT_EQ(ComposeUninstallData(record, settings), "C:\\Program Files\\Acme\\acme.exe\r\n" + ExpectedStrings());
}

TEST(UninstallData, EverySectionInItsPlace) {
    InstallerSettings settings = SettingsWithMessages();
    // The install-only entry (phase mask 1) is not written.
    settings.autoCloseEntries = {{u"AcmeWnd", u"Acme \u00E9dit*", u"Acme", 3, 1 | 2},
                                 {u"Setup", u"", u"Install only", 0, 1},
                                 {u"", u"Help", u"acmehelp.exe", 0, 4}};
    InstallationRecord record;
    record.uninstallItems.Record(u"C:\\Acme\\a.exe", UninstallItemType::File);
    record.uninstallItems.Record(u"C:\\Acme", UninstallItemType::Folder);
    record.uninstallItems.Record(u"\\HKLM\\Software\\Acme", UninstallItemType::RegistryKey);
    record.associations = "1~!~.acm~!~Acme.Doc~!~open\r\n";
    record.firewall = "C:\\Acme\\a.exe\r\n";
    record.inf = "oem7.inf\r\n";
    record.msi = "{1234}\r\n";
    record.registry2 = u"\\HKCU\\Software\\Acme \u00C4\r\n";
    record.conditionalDelete = "C:\\Acme\\*.tmp,1,20240101,8\r\n";
    std::string expected = "C:\\Acme\\a.exe\r\n~C:\\Acme\r\n*\\HKLM\\Software\\Acme\r\n" + ExpectedStrings() +
                           "\r\n\r\n[AutoClose]\r\nAcmeWnd,Acme \xC3\xA9" "dit*,Acme,3\r\n,Help,acmehelp.exe,0\r\n"
                           "\r\n\r\n[Associations]\r\n1~!~.acm~!~Acme.Doc~!~open\r\n"
                           "\r\n\r\n[Firewall]\r\nC:\\Acme\\a.exe\r\n"
                           "\r\n\r\n[INF]\r\noem7.inf\r\n"
                           "\r\n\r\n[MSI]\r\n{1234}\r\n"
                           "\r\n\r\n[Registry2]\r\n\\HKCU\\Software\\Acme \xC3\x84\r\n"
                           "\r\n\r\n[ConditionalDelete]\r\nC:\\Acme\\*.tmp,1,20240101,8\r\n";
    EXPECT_EQ(ComposeUninstallData(record, settings), expected);
}

TEST(SavedTexts, NamesCountOnlySavedTexts) {
    const ByteBlob text = {'h', 'i'};
    const ByteBlob rich = {'{', '\\', 'r', 't', 'f', '1'};
    const ByteBlob none;
    struct Case {
        std::vector<ByteBlob> texts;
        std::vector<SavedTextName> expected;
    };
    const Case cases[] = {
        {{text}, {{0, u"readme.txt"}}},
        {{rich}, {{0, u"readme.rtf"}}},
        {{text, rich, text}, {{0, u"readme1.txt"}, {1, u"readme2.rtf"}, {2, u"readme3.txt"}}},
        {{text, none, text}, {{0, u"readme1.txt"}, {2, u"readme2.txt"}}},
        {{none, text}, {{1, u"readme.txt"}}},   // the first saved text is the last entry
        {{text, none}, {{0, u"readme1.txt"}}},  // not the last entry: numbered
        {{none, none}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        std::vector<SavedTextName> names = NameSavedTexts(c.texts, u"readme");
        ASSERT_EQ(names.size(), c.expected.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i].index, c.expected[i].index);
            EXPECT_EQ(names[i].fileName, c.expected[i].fileName);
        }
    }
    EXPECT_EQ(NameSavedTexts({text, text}, u"eula")[1].fileName, u"eula2.txt");
    EXPECT_FALSE(IsRichText({'{', '\\', 'r', 't'}));
    EXPECT_FALSE(IsRichText({'{', '\\', 'R', 'T', 'F'}));
}

}  // namespace
}  // namespace palisade
