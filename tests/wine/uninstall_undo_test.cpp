// The uninstaller under Wine undoing one kind of record at a time: shortcuts
// with their folders, associations with the earlier owners given back, fonts
// by the "UninstallFonts" rule, registry entries by their operation, firewall
// exceptions, an MSI package and a driver INF file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/text.h"
#include "install_support.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

const char kFontsKey[] = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kPackageCode[] = "{4C7B2E19-8A35-4F60-9D2B-3E1F5A6C7D80}";

std::string Tag() { return std::to_string(::getpid()); }

fs::path Fixture(const std::string& name) { return fs::path(PALISADE_FIXTURE_DIR) / name; }

// An item of `kind` whose data is a fixture file, installed as `installedName`.
PayloadItem FixtureItem(const std::string& installedName, const std::string& fixture, EntryKind kind) {
    PayloadItem item = FileItem(installedName, ReadHostFile(Fixture(fixture)));
    item.kind = kind;
    return item;
}

std::string Probe(std::vector<std::string> arguments) {
    return RunProgram(ProbePath(), WithArguments(std::move(arguments))).stdoutText;
}

// Installs silently and uninstalls with the QuietUninstallString; the
// uninstall run (its debug output holds the uninstaller's log lines).
RunResult InstallAndUninstall(const TestProduct& product, const std::string& name, const std::string& fileName) {
    RunResult install = InstallSilently(WriteInstaller(product, fileName));
    EXPECT_EQ(install.exitCode, 1) << install.debugOutput;
    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput << uninstall.stderrText;
    return uninstall;
}

TEST(UninstallWine, ShortcutsGoWithTheirStartMenuAndDesktopFolders) {
    const std::string name = Unique("Undo Shortcuts");
    TestProduct product = MakeProduct(name);
    InstallerSettings& s = product.settings;
    s.productStartMenu = Utf8ToUtf16("Palisade Tests\\" + name + "\\Tools");
    s.desktopFolder = Utf8ToUtf16(name + " Folder");
    s.shortcutPlacements.forFlag1 = kPlaceStartMenu;
    s.shortcutPlacements.forFlag2 = kPlaceDesktop | kPlaceDesktopFolder;
    PayloadItem app = FileItem("app.exe", "program");
    app.flags = 0x03;
    app.shortcutName = Utf8ToUtf16(name + " App");
    product.items.push_back(app);

    const std::string desktop = ExpandInPrefix("%DesktopDir%");
    const std::string menu = ExpandInPrefix("%SMProgramsDir%") + "\\Palisade Tests\\" + name;
    const std::vector<std::string> links = {desktop + "\\" + name + " App.lnk",
                                            desktop + "\\" + name + " Folder\\" + name + " App.lnk",
                                            menu + "\\Tools\\" + name + " App.lnk"};
    RunResult install = InstallSilently(WriteInstaller(product, "undo-shortcuts.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    for (const std::string& link : links) ASSERT_TRUE(fs::exists(HostPath(link))) << link;

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    for (const std::string& link : links) EXPECT_FALSE(fs::exists(HostPath(link))) << link;
    EXPECT_FALSE(fs::exists(HostPath(desktop + "\\" + name + " Folder")));
    EXPECT_FALSE(fs::exists(HostPath(menu))) << "the start-menu folder with its created levels";
    EXPECT_TRUE(fs::exists(HostPath(desktop))) << "the desktop itself is the user's";
}

FileAssociation OpenAssociation(const std::string& extension, const std::string& progId) {
    FileAssociation association;
    association.extension = extension;
    association.progId = progId;
    association.verbs = "open";
    association.description = u"Palisade undo document";
    association.command = u"\"%InstallDir%\\viewer.exe\" \"%1\"";
    association.verbLabel = u"&View it";
    association.icon = "viewer.exe,1";
    return association;
}

TEST(UninstallWine, AssociationsGoAndGiveBackWhatTheyReplaced) {
    const std::string name = Unique("Undo Associations");
    const std::string tag = Tag();
    const std::string taken = ".pua" + tag;    // had another owner before
    const std::string fresh = ".puf" + tag;    // did not exist before
    const std::string shared = ".pus" + tag;   // its ProgID existed before
    const std::string ownProgId = "Palisade.UndoOwn" + tag;
    const std::string oldProgId = "Palisade.UndoOld" + tag;
    RegChange({"add", "HKCR\\" + taken, "/ve", "/d", "Other.File" + tag});
    RegChange({"add", "HKCR\\" + oldProgId, "/ve", "/d", "Old description"});
    RegChange({"add", "HKCR\\" + oldProgId + "\\shell\\edit\\command", "/ve", "/d", "old.exe %1"});

    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("viewer.exe", "MZ"));
    product.settings.fileAssociations = {OpenAssociation(taken, ownProgId), OpenAssociation(fresh, ownProgId),
                                         OpenAssociation(shared, oldProgId)};
    RunResult install = InstallSilently(WriteInstaller(product, "undo-associations.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    ASSERT_EQ(RegQueryValue("HKCR\\" + taken, ""), ownProgId);
    ASSERT_EQ(RegQueryValue("HKCR\\" + taken, name + " Backup"), "Other.File" + tag);
    ASSERT_EQ(RegQueryValue("HKCR\\" + oldProgId, ""), "Palisade undo document");

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    // The earlier owner is back, without the backup or the "Open With" entry.
    std::string takenKey = RegExport("HKCR\\" + taken);
    EXPECT_EQ(RegQueryValue("HKCR\\" + taken, ""), "Other.File" + tag) << takenKey;
    EXPECT_THAT(takenKey, Not(HasSubstr("Backup")));
    EXPECT_THAT(takenKey, Not(HasSubstr("OpenWithProgids")));
    EXPECT_EQ(RegExport("HKCR\\" + fresh), "");
    EXPECT_EQ(RegExport("HKCR\\" + shared), "");
    EXPECT_EQ(RegExport("HKCR\\" + ownProgId), "");
    // The ProgID that existed keeps its own description and verb, loses ours.
    std::string oldKey = RegExport("HKCR\\" + oldProgId);
    EXPECT_EQ(RegQueryValue("HKCR\\" + oldProgId, ""), "Old description") << oldKey;
    EXPECT_EQ(RegQueryValue("HKCR\\" + oldProgId + "\\shell\\edit\\command", ""), "old.exe %1") << oldKey;
    EXPECT_THAT(oldKey, Not(HasSubstr("\\shell\\open")));
    EXPECT_THAT(oldKey, Not(HasSubstr("DefaultIcon")));
    EXPECT_THAT(oldKey, Not(HasSubstr("Backup")));
    EXPECT_THAT(oldKey, Not(HasSubstr("\\shell]\r\n@=")));

    RegChange({"delete", "HKCR\\" + taken});
    RegChange({"delete", "HKCR\\" + oldProgId});
}

struct FontCase {
    int uninstallFonts;
    bool removed;
};

class UninstallWineFonts : public ::testing::TestWithParam<FontCase> {};

// 1 removes every font; 0 keeps every font; 2 asks, and an automatic run
// (the QuietUninstallString's /a) cannot ask, so it keeps them.
TEST_P(UninstallWineFonts, FontFollowsTheUninstallFontsRule) {
    if (!fs::exists(Fixture("palisade_fixture_mono.ttf"))) GTEST_SKIP() << "the font fixture was not built";
    const FontCase& c = GetParam();
    const std::string tag = Tag() + "_" + std::to_string(c.uninstallFonts);
    const std::string name = Unique("Undo Font " + std::to_string(c.uninstallFonts));
    const std::string file = "palisade_undo_" + tag + ".ttf";
    const std::string face = "Palisade Undo Mono " + tag;
    const fs::path installed = HostPath("C:\\windows\\Fonts\\" + file);
    TestProduct product = MakeProduct(name);
    PayloadItem font = FileItem(file, ReadHostFile(Fixture("palisade_fixture_mono.ttf")));
    font.kind = EntryKind::Font;
    font.info = face;
    product.items.push_back(font);
    product.settings.uninstallFonts = c.uninstallFonts;

    RunResult uninstall = InstallAndUninstall(product, name, "undo-font-" + tag + ".exe");
    EXPECT_EQ(fs::exists(installed), !c.removed);
    EXPECT_EQ(RegQueryValue(kFontsKey, face).has_value(), !c.removed);
    if (c.removed) {
        EXPECT_THAT(uninstall.debugOutput, HasSubstr("Removed font " + face + " (" + file + ")"));
    } else {
        EXPECT_THAT(uninstall.debugOutput, Not(HasSubstr("Removed font")));
        std::error_code ignored;
        fs::remove(installed, ignored);
        RegChange({"delete", kFontsKey, "/v", face});
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, UninstallWineFonts,
                         ::testing::Values(FontCase{1, true}, FontCase{0, false}, FontCase{2, false}),
                         [](const ::testing::TestParamInfo<FontCase>& info) {
                             return "UninstallFonts" + std::to_string(info.param.uninstallFonts);
                         });

TEST(UninstallWine, RegistryEntriesGoOrStayByTheirOperation) {
    const std::string name = Unique("Undo Registry");
    const std::string sub = "Software\\Palisade Tests\\Undo Registry " + Tag();
    const std::string hkcu = "HKCU\\" + sub;
    RegChange({"add", hkcu + "\\Shared", "/v", "Theirs", "/d", "user data"});
    RegChange({"add", hkcu + "\\Existing"});  // empty, as a Run key may be
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.txt", "x"));
    // The author's values beside the product key: one in a key that was
    // there, one in a key of its own.
    product.settings.uninstallValues = {{"HKEY_CURRENT_USER\\" + sub + "\\Existing\\Author", 1, u"a"},
                                        {"HKEY_CURRENT_USER\\" + sub + "\\Own\\Deep\\Author", 1, u"b"}};
    product.settings.registryEntries = Utf8ToUtf16(
        "\\" + hkcu + ",One,1,a,1\r\n" +            // deleted
        "\\" + hkcu + ",Three,1,b,3\r\n" +          // kept
        "\\" + hkcu + ",Six,1,c,6\r\n" +            // deleted
        "\\" + hkcu + ",Seven,1,d,7\r\n" +          // kept
        "\\" + hkcu + "\\Created\r\n" +             // a key line: goes with its contents
        "\\" + hkcu + "\\Created\\Deep,V,4,1,3\r\n" +
        "\\" + hkcu + "\\Alone,Only,1,x,1\r\n" +    // left empty: the key goes
        "\\" + hkcu + "\\Shared,Ours,1,y,1\r\n" +   // the user's value keeps the key
        "\\" + hkcu + "\\Existing,Entry,1,e,1\r\n" +  // the key was there before: it stays
        "\\HKAU\\" + sub + "\\Every,User,1,z,1\r\n");

    RunResult install = InstallSilently(WriteInstaller(product, "undo-registry.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    ASSERT_EQ(RegQueryValue(hkcu, "Six"), "c");
    ASSERT_EQ(RegQueryValue(hkcu + "\\Every", "User"), "z");
    ASSERT_EQ(RegQueryValue(hkcu + "\\Created\\Deep", "V"), "0x1");
    ASSERT_EQ(RegQueryValue(hkcu + "\\Existing", "Author"), "a");
    ASSERT_EQ(RegQueryValue(hkcu + "\\Own\\Deep", "Author"), "b");

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    std::string left = RegExport(hkcu);
    EXPECT_FALSE(RegQueryValue(hkcu, "One").has_value()) << left;
    EXPECT_EQ(RegQueryValue(hkcu, "Three"), "b");
    EXPECT_FALSE(RegQueryValue(hkcu, "Six").has_value());
    EXPECT_EQ(RegQueryValue(hkcu, "Seven"), "d");
    EXPECT_EQ(RegExport(hkcu + "\\Created"), "");
    EXPECT_EQ(RegExport(hkcu + "\\Alone"), "");
    EXPECT_EQ(RegExport(hkcu + "\\Every"), "");
    EXPECT_EQ(RegQueryValue(hkcu + "\\Shared", "Theirs"), "user data");
    EXPECT_FALSE(RegQueryValue(hkcu + "\\Shared", "Ours").has_value());
    EXPECT_FALSE(RegQueryValue(hkcu + "\\Existing", "Entry").has_value());
    EXPECT_FALSE(RegQueryValue(hkcu + "\\Existing", "Author").has_value());
    EXPECT_THAT(RegExport(hkcu + "\\Existing"), HasSubstr("[HKEY_CURRENT_USER\\" + sub + "\\Existing]"));
    EXPECT_EQ(RegExport(hkcu + "\\Own"), "");
    RegChange({"delete", hkcu});
}

TEST(UninstallWine, FirewallRecordsAreTakenOutAndKeptLinesAreNot) {
    const std::string name = Unique("Undo Firewall");
    const std::string folder = InstallFolderOf(name);
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("server.exe", "server\r\n", u"bin\\"));
    product.settings.firewallRules = u"8181;Web;3;\r\nbin\\server.exe;Server;;\r\n9191;;2;1\r\n";
    RunResult uninstall = InstallAndUninstall(product, name, "undo-firewall.exe");
    // Wine's firewall keeps nothing, so the uninstaller's log lines are the
    // check. Wine does not implement taking a port out (it answers with an
    // error), so only the port line's presence, once for both protocols, is
    // checked; programs are taken out.
    const std::string portLine = "Removed firewall exception 8181: ";
    std::size_t at = uninstall.debugOutput.find(portLine);
    EXPECT_NE(at, std::string::npos) << uninstall.debugOutput;
    EXPECT_EQ(uninstall.debugOutput.find(portLine, at + 1), std::string::npos) << uninstall.debugOutput;
    EXPECT_THAT(uninstall.debugOutput, HasSubstr("Removed firewall exception " + folder + "\\bin\\server.exe: OK"));
    EXPECT_THAT(uninstall.debugOutput, Not(HasSubstr("9191")));
    EXPECT_THAT(uninstall.debugOutput, Not(HasSubstr("Failed to connect to the firewall service")));
}

// Serial: the MSI package's product code and the INF fixture (which Wine
// maps to one oem*.inf by its contents) are shared with other tests.
TEST(UninstallWine, SerialMsiPackageAndDriverInfAreRemoved) {
    bool built = fs::exists(Fixture("palisade_fixture.msi")) && fs::exists(Fixture("fixture_driver.inf"));
    if (!built) GTEST_SKIP() << "MSI or INF fixtures were not built";
    const std::string name = Unique("Undo Components");
    const std::string folder = InstallFolderOf(name);
    Probe({"msi-remove", kPackageCode});
    TestProduct product = MakeProduct(name);
    PayloadItem package = FixtureItem("palisade_fixture.msi", "palisade_fixture.msi", EntryKind::MsiPackage);
    package.flags |= 0x80;  // recorded for the uninstaller
    product.items.push_back(package);
    product.items.push_back(FixtureItem("palisade_undo_driver.inf", "fixture_driver.inf", EntryKind::DriverInf));

    RunResult install = InstallSilently(WriteInstaller(product, "undo-components.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    ASSERT_EQ(Probe({"msi-state", kPackageCode}), "5\n");
    std::string log = InstallLogOf(name);
    std::string label = "Final driver location: ";
    std::size_t at = log.find(label);
    ASSERT_NE(at, std::string::npos) << log;
    std::string finalInf = log.substr(at + label.size(), log.find("\r\n", at) - at - label.size());
    ASSERT_TRUE(fs::exists(HostPath(finalInf))) << finalInf;

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    EXPECT_NE(Probe({"msi-state", kPackageCode}), "5\n");
    EXPECT_FALSE(fs::exists(HostPath(finalInf))) << finalInf;
    EXPECT_THAT(uninstall.debugOutput, HasSubstr("Removing driver \"" + finalInf + "\"...OK"));
    EXPECT_THAT(uninstall.debugOutput, Not(HasSubstr("Failed to uninstall")));
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); }));
}

// Serial: the fixture server's mark key and the type library's identifier are
// the component tests' too.
TEST(UninstallWine, SerialSharedComServerAndTypeLibraryAreUnregisteredWhenTheirCountReachesZero) {
    bool built = fs::exists(Fixture("palisade_com_plain.dll")) && fs::exists(Fixture("palisade_fixture.tlb"));
    if (!built) GTEST_SKIP() << "COM or type library fixtures were not built";
    const std::string name = Unique("Undo Com");
    const std::string marks = "HKCU\\Software\\Palisade Tests\\Com Fixtures\\Plain";
    const std::string typeLibrary = "HKCR\\TypeLib\\{6B1E3F52-9D47-4C8A-B0E1-5A7C2D9F4E31}";
    const std::string system = "C:\\windows\\system32\\";
    RegChange({"delete", marks});
    RegChange({"delete", typeLibrary});
    TestProduct product = MakeProduct(name);
    product.items.push_back(FixtureItem("palisade_undo_com.dll", "palisade_com_plain.dll", EntryKind::SystemComServer));
    product.items.push_back(
        FixtureItem("palisade_undo_fixture.tlb", "palisade_fixture.tlb", EntryKind::SystemTypeLibrary));

    RunResult install = InstallSilently(WriteInstaller(product, "undo-com.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    ASSERT_TRUE(RegQueryValue(marks, "LoadedBy").has_value());
    ASSERT_THAT(RegExport(typeLibrary), HasSubstr("palisade_undo_fixture.tlb"));

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    EXPECT_THAT(uninstall.debugOutput, HasSubstr("Unregistering COM File \"" + system + "palisade_undo_com.dll\"...OK"));
    EXPECT_THAT(uninstall.debugOutput,
                HasSubstr("Unregistering Type Library \"" + system + "palisade_undo_fixture.tlb\"...OK"));
    EXPECT_FALSE(RegQueryValue(marks, "LoadedBy").has_value()) << "the server's own unregistration ran";
    EXPECT_TRUE(RegQueryValue(marks, "UnloadedBy").has_value());
    EXPECT_EQ(RegExport(typeLibrary), "");
    EXPECT_FALSE(fs::exists(HostPath(system + "palisade_undo_com.dll")));
    EXPECT_FALSE(fs::exists(HostPath(system + "palisade_undo_fixture.tlb")));
    EXPECT_EQ(RegQueryValue(kSharedDlls, system + "palisade_undo_com.dll"), std::nullopt);
    RegChange({"delete", marks});
}

}  // namespace
}  // namespace palisade::wine
