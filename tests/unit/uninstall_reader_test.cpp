// Reading Uninstall.DAT back: what the writer composes comes back whole, and
// damaged input is read as far as it makes sense.
#include <gtest/gtest.h>

#include "core/text.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/uninstall_data_reader.h"
#include "uninstall/uninstaller_texts.h"

namespace palisade {
namespace {

InstallerSettings SettingsWithMessages() {
    InstallerSettings settings;
    settings.messageCatalogue = MessageCatalogue({u"English"}, 120);
    for (int n : kUninstallerMessageNumbers) settings.messageCatalogue.SetText(n, 0, u"message " + ToU16(n));
    settings.messageCatalogue.SetText(53, 0, u"Remove <product>?\nReally?\n\nLast line");
    settings.messageCatalogue.SetText(58, 0, u"Konnte nicht entfernen \u00FC");
    settings.pageText = u"Header";
    return settings;
}

// An upgrade that no longer ships a file (or a key, an association) keeps it
// in the uninstall data, so that the uninstaller still removes it.
TEST(UninstallData, APreviousInstallationsRecordIsCarriedOverWithoutDuplicates) {
    InstallerSettings settings = SettingsWithMessages();
    InstallationRecord old;
    old.uninstallItems.Record(u"C:\\Acme\\old.dll", UninstallItemType::File);
    old.uninstallItems.Record(u"C:\\Acme\\app.exe", UninstallItemType::File);
    old.uninstallItems.Record(u"C:\\Acme\\legacy", UninstallItemType::Folder);
    old.uninstallItems.Record(u"\\HKLM\\Software\\Acme Old", UninstallItemType::RegistryKey);
    old.associations = ".old~!~Acme.Old~!~open~!~\r\n.acm~!~Acme.Doc~!~open~!~\r\n";
    old.registry2 = u"\\HKCU\\Software\\Acme Old\r\n";
    UninstallDataContents previous = ParseUninstallData(ComposeUninstallData(old, settings));

    InstallationRecord fresh;
    fresh.uninstallItems.Record(u"C:\\ACME\\APP.EXE", UninstallItemType::File);  // the same file, other case
    fresh.uninstallItems.Record(u"C:\\Acme\\new.dll", UninstallItemType::File);
    fresh.associations = ".acm~!~Acme.Doc~!~open~!~\r\n";
    CarryOverPreviousRecord(previous, fresh);

    UninstallDataContents merged = ParseUninstallData(ComposeUninstallData(fresh, settings));
    std::vector<std::u16string> paths;
    for (const UninstallLine& line : merged.items) paths.push_back(line.path);
    EXPECT_EQ(paths, (std::vector<std::u16string>{u"C:\\ACME\\APP.EXE", u"C:\\Acme\\new.dll", u"C:\\Acme\\old.dll",
                                                   u"C:\\Acme\\legacy", u"\\HKLM\\Software\\Acme Old"}));
    EXPECT_EQ(merged.associations,
              (std::vector<std::string>{".acm~!~Acme.Doc~!~open~!~", ".old~!~Acme.Old~!~open~!~"}));
    EXPECT_EQ(merged.registry2, std::vector<std::string>{"\\HKCU\\Software\\Acme Old"});
}

// A message's lines must never read as a message start, a section header or
// an escape of their own: an author's text could otherwise rewrite the
// uninstaller's messages or slip lines into another section.
TEST(UninstallReader, MessageLinesThatLookLikeStructureComeBackAsWritten) {
    InstallerSettings settings = SettingsWithMessages();
    const std::u16string tricky = u"~15\r\n[AutoClose]\r\nevil,,x,3\r\n\\server\\share\r\n~";
    settings.messageCatalogue.SetText(53, 0, tricky);
    UninstallDataContents data = ParseUninstallData(ComposeUninstallData(InstallationRecord{}, settings));
    EXPECT_EQ(data.strings[53], tricky);
    EXPECT_EQ(data.strings[15], u"message 15");
    EXPECT_TRUE(data.autoClose.empty());
}

TEST(UninstallReader, ReadsBackEverythingTheWriterComposed) {
    InstallerSettings settings = SettingsWithMessages();
    settings.autoCloseEntries = {{u"AcmeWnd", u"Acme*", u"Acme", 3, 2}};
    InstallationRecord record;
    record.uninstallItems.Record(u"C:\\Acme\\a \u00E9.exe", UninstallItemType::File);
    record.uninstallItems.Record(u"C:\\Acme\\sub", UninstallItemType::Folder);
    record.uninstallItems.Record(u"C:\\Acme \u2122", UninstallItemType::InstallFolder);
    record.uninstallItems.Record(u"\\HKLM\\Software\\Acme", UninstallItemType::RegistryKey);
    record.uninstallItems.Record(u"\\HKCR\\CLSID\\{1}", UninstallItemType::ActionItem);
    record.associations = ".acm~!~Acme.Doc~!~open~!~C:\\Acme\\a.exe,1\r\n";
    record.firewall = "8080;Web;3;\r\n";
    record.inf = "C:\\Windows\\INF\\oem7.inf\r\n";
    record.msi = "\"C:\\Acme\\p.msi\",5\r\n";
    record.registry2 = u"\\HKCU\\Software\\Acme \u00C4\r\n";
    record.conditionalDelete = "*.tmp,0,,8\r\n";

    UninstallDataContents data = ParseUninstallData(ComposeUninstallData(record, settings));

    ASSERT_EQ(data.items.size(), 5u);
    EXPECT_EQ(data.items[0].kind, UninstallLineKind::File);
    EXPECT_EQ(data.items[0].path, u"C:\\Acme\\a \u00E9.exe");
    EXPECT_EQ(data.items[1].kind, UninstallLineKind::Folder);
    EXPECT_EQ(data.items[1].path, u"C:\\Acme\\sub");
    EXPECT_EQ(data.items[2].kind, UninstallLineKind::InstallFolder);
    EXPECT_EQ(data.items[2].path, u"C:\\Acme \u2122");
    EXPECT_EQ(data.items[3].kind, UninstallLineKind::RegistryKey);
    EXPECT_EQ(data.items[4].kind, UninstallLineKind::ActionItem);

    EXPECT_EQ(data.strings.size(), kUninstallerMessageNumbers.size() + 1);
    EXPECT_EQ(data.strings[10], u"message 10");
    EXPECT_EQ(data.strings[53], u"Remove <product>?\r\nReally?\r\n\r\nLast line");  // blank lines inside stay
    EXPECT_EQ(data.strings[58], u"Konnte nicht entfernen \u00FC");
    EXPECT_EQ(data.strings[115], u"message 115");
    EXPECT_EQ(data.strings[999], u"Header");  // the last message before a header loses the blank lines

    EXPECT_EQ(data.autoClose, std::vector<std::string>{"AcmeWnd,Acme*,Acme,3"});
    EXPECT_EQ(data.associations, std::vector<std::string>{".acm~!~Acme.Doc~!~open~!~C:\\Acme\\a.exe,1"});
    EXPECT_EQ(data.firewall, std::vector<std::string>{"8080;Web;3;"});
    EXPECT_EQ(data.inf, std::vector<std::string>{"C:\\Windows\\INF\\oem7.inf"});
    EXPECT_EQ(data.msi, std::vector<std::string>{"\"C:\\Acme\\p.msi\",5"});
    EXPECT_EQ(data.registry2, std::vector<std::string>{"\\HKCU\\Software\\Acme \xC3\x84"});
    EXPECT_EQ(data.conditionalDelete, std::vector<std::string>{"*.tmp,0,,8"});
}

TEST(UninstallReader, MessageTextEndsAtTheNextTildeLineOrAtTheEnd) {
    UninstallDataContents data = ParseUninstallData("[Strings]\n~7\nfirst\nsecond\n~8\r\nlast");
    EXPECT_EQ(data.strings[7], u"first\nsecond");
    EXPECT_EQ(data.strings[8], u"last");
}

TEST(UninstallReader, DamagedInputIsReadAsFarAsItMakesSense) {
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t items;
        std::size_t strings;
    };
    const Case cases[] = {
        {"empty", "", 0, 0},
        {"only blank lines", "\r\n\r\n\n\r", 0, 0},
        {"cut inside a header", "C:\\a\\b.txt\r\n\r\n[Stri", 2, 0},
        {"numbers out of range", "[Strings]\r\n~0\r\nzero\r\n~1000\r\nbig\r\n~12a\r\nx\r\n~3\r\nok", 0, 1},
        {"unknown header is a list line", "[Other]\r\nC:\\x\\y", 2, 0},
        {"text before the first number", "[Strings]\r\nstray\r\n~5\r\nfive", 0, 1},
        {"invalid UTF-8", "[Strings]\r\n~5\r\n\xFF\xFE\xC3", 0, 1},
        {"NUL bytes", std::string("C:\\a\0b\r\n[INF]\r\n\0", 16), 1, 0},
    };
    for (const Case& c : cases) {
        UninstallDataContents data = ParseUninstallData(c.bytes);
        EXPECT_EQ(data.items.size(), c.items) << c.name;
        EXPECT_EQ(data.strings.size(), c.strings) << c.name;
    }
}

TEST(UninstallReader, HeadersSwitchSectionsAndTolerateTrailingBlanks) {
    UninstallDataContents data = ParseUninstallData("a1\r\n[MSI] \r\nm1\r\n[INF]\r\ni1\r\n[MSI]\r\nm2\r\n");
    ASSERT_EQ(data.items.size(), 1u);
    EXPECT_EQ(data.msi, (std::vector<std::string>{"m1", "m2"}));
    EXPECT_EQ(data.inf, std::vector<std::string>{"i1"});
}

TEST(UninstallReader, ListLinesByPrefix) {
    struct Case {
        const char* line;
        UninstallLineKind kind;
        std::u16string path;
    };
    const Case cases[] = {
        {"C:\\a\\file.txt", UninstallLineKind::File, u"C:\\a\\file.txt"},
        {"|C:\\\xE2\x84\xA2.txt", UninstallLineKind::File, u"C:\\\u2122.txt"},  // the program's narrow form
        {"C:\\caf\xE9", UninstallLineKind::File, u"C:\\caf\u00E9"},             // Windows-1252
        {"~C:\\a", UninstallLineKind::Folder, u"C:\\a"},
        {"!C:\\\xE2\x84\xA2", UninstallLineKind::InstallFolder, u"C:\\\u2122"},  // UTF-8 without "|"
        {"^\\HKLM\\x\\y", UninstallLineKind::ActionItem, u"\\HKLM\\x\\y"},
        {"*\\HKLM\\x\\y", UninstallLineKind::RegistryKey, u"\\HKLM\\x\\y"},
        {"*", UninstallLineKind::RegistryKey, u""},
    };
    for (const Case& c : cases) {
        UninstallLine line = ClassifyUninstallLine(c.line);
        EXPECT_EQ(line.kind, c.kind) << c.line;
        EXPECT_EQ(line.path, c.path) << c.line;
    }
}

TEST(UninstallReader, SectionRecords) {
    AssociationRecord association = ParseAssociationRecord(".acm~!~!Acme.Doc~!~edit~!~");
    EXPECT_EQ(association.extension, u".acm");
    EXPECT_EQ(association.progId, u"!Acme.Doc");
    EXPECT_EQ(association.verb, u"edit");
    EXPECT_EQ(association.icon, u"");
    EXPECT_EQ(ParseAssociationRecord(".acm~!~Acme").extension, u"");  // too short: nothing to remove

    EXPECT_EQ(ParseMsiRecord("\"C:\\a, b\\p.msi\",5").package, u"C:\\a, b\\p.msi");
    EXPECT_EQ(ParseMsiRecord("\"C:\\a, b\\p.msi\",5").uiLevel, 5);
    EXPECT_EQ(ParseMsiRecord("\"C:\\p.msi\"").uiLevel, 2);
    EXPECT_EQ(ParseMsiRecord("\"C:\\p.msi\",junk").uiLevel, 2);
    EXPECT_EQ(ParseMsiRecord("\"C:\\unclosed").package, u"C:\\unclosed");
}

TEST(UninstallerTexts, StoredMessagesWinAndDefaultsFillTheGaps) {
    UninstallerTexts texts({{53, u"Entfernen: <product>?"}, {34, u""}}, u"Acme", u"Windows 10");
    EXPECT_EQ(texts.Message(53), u"Entfernen: Acme?");
    EXPECT_EQ(texts.Message(34), u"Acme has been removed from your computer.");  // empty stored text
    EXPECT_EQ(texts.Message(57), u"The font %s was installed with Acme. Other programs may use it.\r\n\r\n"
                                 u"Do you want to remove it?");
    EXPECT_EQ(texts.Message(1), u"");  // not one of the uninstaller's
    for (int n : {10, 15, 20, 34, 35, 53, 55, 56, 57, 58, 59, 71, 74, 101, 111}) {
        EXPECT_FALSE(DefaultUninstallerMessage(n).empty()) << n;
    }
}

}  // namespace
}  // namespace palisade
