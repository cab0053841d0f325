// Reading project files: a complete project, every kind of mistake with its line, aliases and records.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "builder/project.h"
#include "builder_test_support.h"
#include "common/setting_keys.h"
#include "core/text.h"

namespace palisade::tools {
namespace {

using testing::Messages;
using testing::TempFolder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kGoodProject[] = R"(
ProductName = "Hello"
Publisher = "Example Ltd"
ProductVersion = "2.1"
TitleSize = 1.5
BitmapSize = 40
IntegrityMode = 1
ArchiveInFile = 1
SettingsFlags1 = ["FolderPage", "Uninstaller", 0x800]
SettingsFlags2 = ["ProgressPage", "0x1"]
PayloadFlags = ["StrippedInstaller", "RestorePoint"]
InstallerOptions = ["ShowDiskSpace"]
PreInstallBatch = "echo caf\u00e9"
RegistryEntries = { file = "registry.txt" }
ProductIcon = "app.ico"
LicenceTexts = ["licence.txt"]
MinimumSystemVersion = "6.1.7601"
BuildDate = "2024-02-03 04:05:06"
ShortcutPlacements = { Flag1 = ["StartMenu", "Taskbar"], Flag2 = ["Desktop"] }

[build]
cipher_key = "00112233445566aa"
chunk_size = "64 KiB"
xz_preset = 3
jobs = 1

[[files]]
source = "bin/app.exe"
shortcut = "both"
info = "The application"

[[files]]
source = "data"
destination = "share/data"
overwrite = "unless-newer"
permanent = true
attributes = ["read-only", "hidden"]
time = 2020-01-02T03:04:05+02:00

[[FileAssociations]]
Extension = ".hello"
ProgId = "Hello.Document"
Command = "\"%InstallDir%\\app.exe\" \"%1\""

[[AutoCloseEntries]]
Application = "Hello"
Class = "HelloWindow"
Action = "ask"

[[languages]]
file = "fr.toml"
)";

class BuilderProject : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("bin/app.exe", "MZ fake");
        folder.Write("data/a.txt", "a");
        folder.Write("data/sub/b.txt", "bb");
        folder.Write("registry.txt", "HKLM\\Software\\Hello");
        folder.Write("app.ico", std::string("\0\0\1\0", 4));
        folder.Write("licence.txt", "You may.");
        folder.Write("fr.toml", "name = \"Fran\u00e7ais\"\n[messages]\n48 = \"&Suivant >\"\n");
    }
    TempFolder folder;
    Diagnostics diagnostics;
};

TEST_F(BuilderProject, ReadsEverySectionOfAGoodProject) {
    std::optional<Project> project = testing::ReadProjectText(folder, kGoodProject, diagnostics);
    ASSERT_TRUE(project) << ::testing::PrintToString(Messages(diagnostics));
    const InstallerSettings& s = project->settings;
    EXPECT_EQ(s.displayName, u"Hello");
    EXPECT_EQ(s.publisher, u"Example Ltd");
    EXPECT_EQ(s.displayVersion, u"2.1");
    EXPECT_DOUBLE_EQ(s.titleSize, 1.5);
    EXPECT_EQ(s.bitmapSize, 40);
    EXPECT_EQ(s.integrityMode, 1);
    EXPECT_EQ(s.archiveInFile, 1);
    EXPECT_EQ(s.settingsFlags1, 0x80u | 0x4u | 0x800u);
    EXPECT_EQ(s.settingsFlags2, 0x80000u | 0x1u);
    EXPECT_EQ(project->payloadFlags, 0x22u);
    EXPECT_EQ(s.installerOptions, 0x2u);
    EXPECT_EQ(s.preInstallBatch, "echo caf\xe9");  // Windows-1252
    EXPECT_EQ(s.registryEntries, u"HKLM\\Software\\Hello");
    EXPECT_EQ(s.productIcon, (ByteBlob{0, 0, 1, 0}));
    ASSERT_EQ(s.licenceTexts.size(), 1u);
    EXPECT_EQ(s.minimumSystemVersion.major, 6u);
    EXPECT_EQ(s.minimumSystemVersion.build, 7601u);
    EXPECT_EQ(s.buildDate.year, 2024);
    EXPECT_EQ(s.buildDate.second, 6);
    EXPECT_EQ(s.shortcutPlacements.forFlag1, 0x21);
    EXPECT_EQ(s.shortcutPlacements.forFlag2, 0x02);
    ASSERT_EQ(s.fileAssociations.size(), 1u);
    EXPECT_EQ(s.fileAssociations[0].extension, ".hello");
    EXPECT_EQ(s.fileAssociations[0].command, u"\"%InstallDir%\\app.exe\" \"%1\"");
    ASSERT_EQ(s.autoCloseEntries.size(), 1u);
    EXPECT_EQ(s.autoCloseEntries[0].action, 2);

    EXPECT_TRUE(project->build.cipher);
    EXPECT_EQ(project->build.cipherKey->at(7), 0xaa);
    EXPECT_EQ(project->build.chunkSize, 64u * 1024);
    EXPECT_EQ(project->build.xzPreset, 3u);
    EXPECT_EQ(project->build.jobs, 1u);

    ASSERT_EQ(project->files.size(), 2u);
    EXPECT_EQ(project->files[0].flags, 0x03u);
    EXPECT_EQ(project->files[0].sources.size(), 1u);
    const FileSpec& data = project->files[1];
    EXPECT_EQ(data.destination, "share\\data");
    EXPECT_EQ(data.flags, std::uint32_t(OverwriteMode::UnlessExistingIsLater) | EntryFlags::kPermanent);
    EXPECT_EQ(data.attributes, 0x3);
    ASSERT_TRUE(data.timeStamp);
    EXPECT_EQ(data.timeStamp->hour, 1);  // 03:04:05 at +02:00 is 01:04:05 UTC
    EXPECT_EQ(data.sources.size(), 2u);
    ASSERT_EQ(project->languages.size(), 1u);
    EXPECT_EQ(project->languages[0].messages.at(48), "&Suivant >");
}

TEST_F(BuilderProject, AliasesAndSchemaNamesNameTheSameSetting) {
    ASSERT_TRUE(testing::ReadProjectText(folder, "DisplayName = \"A\"\nCompanyName = \"B\"\n", diagnostics));
    EXPECT_FALSE(testing::ReadProjectText(folder, "ProductName = \"A\"\nDisplayName = \"B\"\n", diagnostics));
    EXPECT_THAT(Messages(diagnostics), ElementsAre(HasSubstr("name the same setting")));
}

// Table members may be spelled in either style, whichever the table uses.
TEST_F(BuilderProject, TableMembersAcceptTheOtherKeyStyle) {
    std::optional<Project> project = testing::ReadProjectText(folder,
                                                              "ProductName = \"P\"\n"
                                                              "[[files]]\nsource = \"data/a.txt\"\nStartIn = \"bin\"\n"
                                                              "ShortcutName = \"One\"\nshortcut = \"desktop\"\n"
                                                              "[[AuthorShortcuts]]\nname = \"Site\"\ntarget = \"x\"\n"
                                                              "start_in = \"work\"\nicon_index = 2\n"
                                                              "[build]\nXzPreset = 3\n",
                                                              diagnostics);
    ASSERT_TRUE(project) << ::testing::PrintToString(Messages(diagnostics));
    EXPECT_EQ(project->files[0].extra, "bin");
    EXPECT_EQ(project->files[0].shortcutName, "One");
    ASSERT_EQ(project->settings.authorShortcuts.size(), 1u);
    EXPECT_EQ(project->settings.authorShortcuts[0].startIn, "work");
    EXPECT_EQ(project->settings.authorShortcuts[0].iconIndex, 2);
    EXPECT_EQ(project->build.xzPreset, 3u);

    // Both spellings at once, and a mistake under the other spelling at its own line.
    EXPECT_FALSE(testing::ReadProjectText(
        folder, "ProductName = \"P\"\n[[files]]\nsource = \"data/a.txt\"\nstart_in = \"a\"\nStartIn = \"b\"\n",
        diagnostics));
    EXPECT_THAT(Messages(diagnostics), ::testing::Contains(HasSubstr("name the same key")));
    Diagnostics wrongType;
    EXPECT_FALSE(testing::ReadProjectText(folder, "ProductName = \"P\"\n[[files]]\nsource = \"data/a.txt\"\n\nMsiUiLevel = \"x\"\n",
                                          wrongType));
    ASSERT_EQ(wrongType.List().size(), 1u) << ::testing::PrintToString(Messages(wrongType));
    EXPECT_EQ(wrongType.List()[0].place.line, 5);
}

struct BadProject {
    const char* name;
    const char* text;
    int line;
    const char* message;
};

class BuilderProjectError : public ::testing::TestWithParam<BadProject> {};

TEST_P(BuilderProjectError, ReportsTheMistakeAtItsLine) {
    const BadProject& bad = GetParam();
    TempFolder folder;
    folder.Write("one.txt", "1");
    folder.Write("two/a.txt", "a");
    folder.Write("two/b.txt", "b");
    Diagnostics diagnostics;
    std::string text = std::string("ProductName = \"P\"\n") + bad.text;
    EXPECT_FALSE(testing::ReadProjectText(folder, text, diagnostics));
    ASSERT_EQ(diagnostics.List().size(), 1u) << ::testing::PrintToString(Messages(diagnostics));
    const Diagnostic& diagnostic = diagnostics.List()[0];
    EXPECT_EQ(diagnostic.place.line, bad.line);
    EXPECT_GT(diagnostic.place.column, 0);
    EXPECT_THAT(diagnostic.message, HasSubstr(bad.message));
    EXPECT_EQ(diagnostic.place.file, (folder / "palisade.toml").string());
}

const BadProject kBadProjects[] = {
    {"Syntax", "Title = \n", 2, "expected"},
    {"UnknownKeyWithSuggestion", "Publsher = \"x\"\n", 2, "did you mean 'Publisher'"},
    {"UnknownBuildKey", "[build]\ncompres = true\n", 3, "unknown key 'compres' in [build]"},
    {"UnknownFileKey", "[[files]]\nsource = \"one.txt\"\ndest = \"x\"\n", 4, "unknown key 'dest'"},
    {"WrongType", "BitmapSize = \"big\"\n", 2, "must be an integer"},
    {"OutOfEncodingRange", "Bitness = 256\n", 2, "must lie in 0..255"},
    {"RefusedByTheInstaller", "BitmapSize = 101\n", 2, "error code 39"},
    {"StatusDelayTooLong", "StatusDelay = 10000\n", 2, "error code 19"},
    {"NotStoredUnderCondition", "CopyrightText = \"(c)\"\n", 2, "stored only when CopyrightPos is not 0"},
    {"NarrowTextOutside1252", "PostInstallBatch = \"echo \u65e5\"\n", 2, "Windows-1252"},
    {"UnknownFlagName", "SettingsFlags1 = [\"FolderPag\"]\n", 2, "did you mean 'FolderPage'"},
    {"CipherBitAsFlag", "PayloadFlags = [\"Ciphered\"]\n", 2, "cipher = true"},
    {"MissingFileContent", "ProductIcon = \"nothing.ico\"\n", 2, "nothing.ico': it does not exist"},
    {"BadMinimumSystem", "MinimumSystemVersion = \"six\"\n", 2, "major.minor"},
    {"BadChunkSize", "[build]\nchunk_size = 100\n", 3, "chunk_size"},
    {"BadKey", "[build]\ncipher_key = \"0011\"\n", 3, "16 hexadecimal digits"},
    {"KeyWithoutCipher", "[build]\ncipher = false\ncipher_key = \"0011223344556677\"\n", 4, "'cipher' is false"},
    {"BadPreset", "[build]\nxz_preset = 10\n", 3, "0..9"},
    {"MissingSource", "[[files]]\nsource = \"none.txt\"\n", 3, "does not exist"},
    {"GlobMatchesNothing", "[[files]]\nsource = \"two/*.dll\"\n", 3, "matches no file"},
    {"NoSource", "[[files]]\nkind = \"file\"\n", 2, "needs 'source'"},
    {"UnknownKind", "[[files]]\nsource = \"one.txt\"\nkind = \"fil\"\n", 4, "did you mean 'file'"},
    {"UnknownOverwrite", "[[files]]\nsource = \"one.txt\"\noverwrite = \"always\"\n", 4, "unknown overwrite"},
    {"UnknownAttribute", "[[files]]\nsource = \"one.txt\"\nattributes = [\"shiny\"]\n", 4, "unknown attribute"},
    {"BadTime", "[[files]]\nsource = \"one.txt\"\ntime = \"2024-02-30\"\n", 4, "'time' must be"},
    {"NameForSeveralFiles", "[[files]]\nsource = \"two\"\nname = \"x.txt\"\n", 4, "gives 2"},
    {"NameWithFolder", "[[files]]\nsource = \"one.txt\"\nname = \"a/b.txt\"\n", 4, "without folders"},
    {"MsiOptionOnFile", "[[files]]\nsource = \"one.txt\"\nmsi_ui_level = 2\n", 4, "kind = \"msi\""},
    {"AppletWithoutClsid", "[[files]]\nsource = \"one.txt\"\nkind = \"control-panel\"\n", 2, "needs 'clsid'"},
    {"ListRecordKey", "[[UninstallValues]]\nName = \"X\"\nTyp = \"REG_SZ\"\n", 4, "did you mean 'Type'"},
    {"ListChoice", "[[UninstallValues]]\nName = \"X\"\nType = \"REG_BINARY\"\n", 4, "one of REG_SZ"},
    {"LanguageFileMissing", "[[languages]]\nfile = \"xx.toml\"\n", 3, "xx.toml': it does not exist"},
    {"DeletionImpossibleDate", "[[FileDeletions]]\nPath = \"a.txt\"\nCondition = 2\nReference = \"2023-02-29\"\n", 5,
     "'Reference' must be a date"},
    {"DeletionDateWithoutDay", "[[FileDeletions]]\nPath = \"a.txt\"\nCondition = 1\nReference = \"2024-02\"\n", 5,
     "must be a date"},
    {"DeletionDateMissing", "[[FileDeletions]]\nPath = \"a.txt\"\nCondition = 3\n", 4, "must be a date"},
    {"DeletionSizeNotANumber", "[[FileDeletions]]\nPath = \"a.txt\"\nCondition = 4\nReference = \"1 KiB\"\n", 5,
     "a size in bytes"},
    {"DeletionReferenceLineBreak", "[[FileDeletions]]\nPath = \"a.txt\"\nReference = \"a\\nb\"\n", 4, "line break"},
    {"DeletionPathLineBreak", "[[FileDeletions]]\nPath = \"a\\r\\nb.txt\"\n", 3, "line break"},
    {"FirewallFieldCount", "FirewallRules = \"\"\"\n8080;Web;3;\n8765;Sync;3\n\"\"\"\n", 2, "line 2 of 'FirewallRules'"},
    {"FirewallPort", "FirewallRules = \"70000;Big;1;\"\n", 2, "1..65535"},
    {"RegistryType", "RegistryEntries = \"HKLM\\\\Software\\\\Acme,V,9,x,1\"\n", 2, "line 1 of 'RegistryEntries'"},
    {"RegistryRoot", "RegistryEntries = 'HKLN\\Software\\Acme'\n", 2, "must begin with a root"},
    {"RegistryHex", "RegistryEntries = 'HKCU\\Software\\Acme,V,3,0x12,1'\n", 2, "hexadecimal"},
    {"RegistrySharedKey", "RegistryEntries = 'HKLM\\Software\\Microsoft'\n", 2, "never removed"},
    {"KeptValueInProductKey", "ProductRegistry = 'Acme'\nRegistryEntries = 'HKLM\\Software\\Acme,V,1,x,3'\n", 3,
     "removed whole"},
    {"ProductKeyShared", "ProductRegistry = 'Microsoft'\n", 2, "the product's own key"},
    {"ExtensionWithoutPeriod", "[[FileAssociations]]\nExtension = \"txt\"\n", 3, "with its period"},
    {"CommandsForVerbs", "[[FileAssociations]]\nExtension = \".abc\"\nVerbs = \"open,edit,print\"\nCommand = [\"a\", \"b\"]\n", 5,
     "2 texts for 3 verbs"},
    {"FontWithoutFace", "[[files]]\nsource = \"one.txt\"\nkind = \"font\"\n", 2, "needs 'face'"},
    {"InfoTwice", "[[files]]\nsource = \"one.txt\"\ninfo = \"1.0\"\nversion = \"1.0\"\n", 5, "share one field"},
    {"UnknownCrashReportKey", "[crash_report]\nsendr = \"x\"\n", 3, "unknown key 'sendr' in [crash_report]"},
    {"CrashReportEndpointNotHttp", "[crash_report]\nendpoint = \"ftp://example.com/\"\n", 3, "http: or https:"},
    {"CrashReportHeaderLineBreak", "[crash_report]\nheader = \"X-A: 1\\r\\nX-B: 2\"\n", 3, "line break"},
};

INSTANTIATE_TEST_SUITE_P(Builder, BuilderProjectError, ::testing::ValuesIn(kBadProjects),
                         [](const ::testing::TestParamInfo<BadProject>& info) { return std::string(info.param.name); });

TEST(BuilderProjectLists, DeletionReferencesTheInstallerReads) {
    TempFolder folder;
    Diagnostics diagnostics;
    std::optional<Project> project = testing::ReadProjectText(folder, R"(ProductName = "P"
[[FileDeletions]]
Path = "old.dll"
Condition = 2
Reference = "2024/02/29 23:59"
[[FileDeletions]]
Path = "a,b.txt"
Condition = 3
Reference = " 2024-1-5 "
[[FileDeletions]]
Path = "*.log"
Condition = 4
Reference = "18446744073709551615"
[[FileDeletions]]
Path = 'cache\*'
Reference = "not compared, a comma is kept"
)", diagnostics);
    ASSERT_TRUE(project) << ::testing::PrintToString(Messages(diagnostics));
    ASSERT_EQ(project->settings.fileDeletions.size(), 4u);
    EXPECT_EQ(project->settings.fileDeletions[1].reference, " 2024-1-5 ");
    EXPECT_EQ(project->settings.fileDeletions[1].pathPattern, "a,b.txt");  // the record reader splits from the right
}

TEST(BuilderProjectErrors, EveryMistakeOfAFileIsReportedInLineOrder) {
    TempFolder folder;
    Diagnostics diagnostics;
    EXPECT_FALSE(testing::ReadProjectText(folder,
                                          "Zeta = 1\nProductName = \"P\"\nAlpha = 2\n[build]\njobs = -1\n",
                                          diagnostics));
    std::vector<int> lines;
    for (const Diagnostic& d : diagnostics.List()) lines.push_back(d.place.line);
    EXPECT_THAT(lines, ElementsAre(1, 3, 5));
}

TEST(BuilderProjectCrashReport, TheTableGivesTheVendorValues) {
    TempFolder folder;
    Diagnostics diagnostics;
    std::optional<Project> project = testing::ReadProjectText(folder, R"(ProductName = "P"
[crash_report]
short_name = "Example Ltd"
sender = "crash@example.com"
header = "X-Product: p"
endpoint = "https://reports.example.com/form"
)", diagnostics);
    ASSERT_TRUE(project) << ::testing::PrintToString(Messages(diagnostics));
    EXPECT_EQ(project->crashReport.shortName, "Example Ltd");
    EXPECT_EQ(project->crashReport.senderAddress, "crash@example.com");
    EXPECT_EQ(project->crashReport.privateHeader, "X-Product: p");
    EXPECT_EQ(project->crashReport.reportEndpoint, "https://reports.example.com/form");
}

TEST(BuilderProjectErrors, AProjectWithoutAProductNameIsRefused) {
    TempFolder folder;
    Diagnostics diagnostics;
    EXPECT_FALSE(testing::ReadProjectText(folder, "Publisher = \"P\"\n", diagnostics));
    EXPECT_THAT(Messages(diagnostics), ElementsAre(HasSubstr("needs a product name")));
}

TEST(BuilderProjectErrors, FormatsAsFileLineColumn) {
    Diagnostic diagnostic{{"p.toml", 3, 7}, "bad"};
    EXPECT_EQ(FormatDiagnostic(diagnostic), "p.toml:3:7: error: bad");
    EXPECT_EQ(FormatDiagnostic({{"p.toml"}, "bad"}), "p.toml: error: bad");
}

TEST(BuilderSettingKeys, EveryPlainSettingHasAProjectName) {
    // Each plain setting is reachable under its schema name, and the names the
    // documentation promises for the well-known settings exist.
    for (const char* key : {"DisplayName", "Publisher", "IntegrityMode", "ArchiveInFile", "StatusDelay",
                            "UninstallSubdir", "PreInstallBatch", "NotifyUrl", "SettingsFlags1"}) {
        EXPECT_NE(FindSettingKey(key), nullptr) << key;
    }
    for (const SettingAlias& alias : SettingAliases()) EXPECT_NE(FindSettingKey(alias.key), nullptr) << alias.alias;
}

TEST(BuilderSettingKeys, TextSettingsAreWideOrNarrowAsTheSchemaStoresThem) {
    EXPECT_EQ(FindSettingKey("DisplayName")->kind, SettingValueKind::WideText);
    EXPECT_EQ(FindSettingKey("PageText")->kind, SettingValueKind::WideText);
    EXPECT_EQ(FindSettingKey("PreInstallBatch")->kind, SettingValueKind::NarrowText);
    EXPECT_EQ(FindSettingKey("NoDowngradeBelow")->kind, SettingValueKind::NarrowText);
    for (const char* key : {"ProductIcon", "StartupSound", "RegistryMerge", "DesktopFolderIcon", "UninstallerIcon"}) {
        ASSERT_NE(FindSettingKey(key), nullptr) << key;
        EXPECT_EQ(FindSettingKey(key)->kind, SettingValueKind::FileContent) << key;
    }
}

TEST(BuilderSettingKeys, StoredValuesReadBackThroughTheSchema) {
    InstallerSettings settings;
    const SettingKey& name = *FindSettingKey("DisplayName");
    ASSERT_TRUE(StoreText(name, "Gr\u00fc\u00dfe", settings));
    EXPECT_EQ(std::get<std::string>(LoadValue(name, settings)), "Gr\u00fc\u00dfe");
    const SettingKey& bitness = *FindSettingKey("Bitness");
    EXPECT_TRUE(StoreInteger(bitness, 2, settings));
    EXPECT_FALSE(StoreInteger(bitness, 300, settings));
    EXPECT_EQ(settings.bitness, 2);
    const SettingKey& delay = *FindSettingKey("StatusDelay");
    EXPECT_TRUE(StoreInteger(delay, 65535, settings));
    EXPECT_FALSE(StoreInteger(delay, 65536, settings));
}

}  // namespace
}  // namespace palisade::tools
