// The folder lookup chain, its trailing-backslash rule, FolderKind and the
// folder values outside the chain (device, media, web, boot drive, system).
#include <gtest/gtest.h>

#include "fake_system_facts.h"
#include "variables/expand_variables.h"
#include "variables/folder_kind.h"
#include "variables/folder_lookup.h"
#include "variables/program_files_folders.h"
#include "variables/shell_folders.h"
#include "variables/system_folders.h"

namespace palisade {
namespace {

using testing::FakeSystemFacts;
constexpr RegistryRoot kHklm = RegistryRoot::LocalMachine;
constexpr RegistryRoot kHkcu = RegistryRoot::CurrentUser;
constexpr char16_t kCurrentVersion[] = u"Software\\Microsoft\\Windows\\CurrentVersion";

TEST(VariablesFolderPaths, TrailingBackslashRuleKeepsDriveRoots) {
    EXPECT_EQ(RemoveTrailingBackslash(u"C:\\"), u"C:\\");
    EXPECT_EQ(RemoveTrailingBackslash(u"C:"), u"C:");
    EXPECT_EQ(RemoveTrailingBackslash(u"\\\\"), u"\\\\");
    EXPECT_EQ(RemoveTrailingBackslash(u"D:\\Data\\"), u"D:\\Data");
    EXPECT_EQ(RemoveTrailingBackslash(u"D:\\Data\\\\"), u"D:\\Data\\");  // only one goes
    EXPECT_EQ(RemoveTrailingBackslash(u"D:\\Data"), u"D:\\Data");
}

TEST(VariablesFolderPaths, JoinCutAndDrive) {
    EXPECT_EQ(JoinFolder(u"C:\\Windows", u"Fonts"), u"C:\\Windows\\Fonts");
    EXPECT_EQ(JoinFolder(u"C:\\", u"Fonts"), u"C:\\Fonts");
    EXPECT_EQ(JoinFolder(u"C:\\Menu", u""), u"C:\\Menu");
    EXPECT_EQ(CutLastComponent(u"C:\\a\\b"), u"C:\\a");
    EXPECT_FALSE(CutLastComponent(u"nothing"));
    EXPECT_EQ(DriveOf(u"e:\\x"), u"E:");
    EXPECT_EQ(DriveOf(u"Z:"), u"Z:");
    EXPECT_FALSE(DriveOf(u"1:\\x"));
    EXPECT_FALSE(DriveOf(u"\\\\server\\share"));
    EXPECT_FALSE(DriveOf(u"C"));
}

TEST(VariablesFolderKind, NormalisationOn64And32BitWindows) {
    struct Case {
        FolderKind kind;
        FolderKind on64;
    };
    for (const Case& c : {Case{FolderKind::View32, FolderKind::Native}, Case{FolderKind::View64, FolderKind::View64},
                          Case{FolderKind::Native, FolderKind::Native},
                          Case{FolderKind::View64Alias, FolderKind::View64}, Case{FolderKind(0), FolderKind::Native},
                          Case{FolderKind(9), FolderKind::Native}}) {
        EXPECT_EQ(NormaliseFolderKind(c.kind, true), c.on64) << int(c.kind);
        EXPECT_EQ(NormaliseFolderKind(c.kind, false), FolderKind::Native) << int(c.kind);
    }
}

TEST(VariablesFolderLookup, StepsAreTakenInOrderAndEmptyAnswersFallThrough) {
    FakeSystemFacts facts;
    FolderGuid id{0x1234, 0, 0, {}};
    FolderLookup lookup;
    lookup.csidl = 5;
    lookup.knownFolder = &id;
    lookup.registry = FolderRegistry::ShellFoldersUser;
    lookup.registryValue = u"Personal";
    lookup.environmentVariable = u"MYDOCS";
    EXPECT_FALSE(LookUpFolder(facts, lookup));
    facts.environment[u"MYDOCS"] = u"E:\\env";
    EXPECT_EQ(LookUpFolder(facts, lookup), u"E:\\env");
    facts.SetShellFolder(kHkcu, u"Personal", u"");  // empty counts as nothing
    EXPECT_EQ(LookUpFolder(facts, lookup), u"E:\\env");
    facts.SetShellFolder(kHkcu, u"Personal", u"E:\\registry\\");
    EXPECT_EQ(LookUpFolder(facts, lookup), u"E:\\registry");
    facts.knownFolders[0x1234] = u"E:\\known";
    EXPECT_EQ(LookUpFolder(facts, lookup), u"E:\\known");
    facts.specialFolders[5] = u"E:\\special";
    EXPECT_EQ(LookUpFolder(facts, lookup), u"E:\\special");
}

TEST(VariablesFolderLookup, RegistryStepReadsTheHiveOfTheFolder) {
    FakeSystemFacts facts;
    facts.SetShellFolder(kHkcu, u"Common Desktop", u"C:\\wrong hive");
    facts.SetShellFolder(kHklm, u"Desktop", u"C:\\wrong hive");
    facts.SetShellFolder(kHklm, u"Common Desktop", u"C:\\Users\\Public\\Desktop");
    facts.SetShellFolder(kHkcu, u"Desktop", u"C:\\Users\\me\\Desktop");
    EXPECT_EQ(ShellFolderPath(ShellFolder::DesktopAll, facts), u"C:\\Users\\Public\\Desktop");
    EXPECT_EQ(ShellFolderPath(ShellFolder::Desktop, facts), u"C:\\Users\\me\\Desktop");
    facts.SetShellFolder(kHkcu, u"Desktop", u"D:\\");
    EXPECT_EQ(ShellFolderPath(ShellFolder::Desktop, facts), u"D:\\");
}

// With nothing from the shell or the registry every folder ends in its fallback.
TEST(VariablesShellFolders, FallbacksWhenTheSystemAnswersNothing) {
    FakeSystemFacts facts;
    facts.os = testing::Windows10x64();
    struct Case {
        ShellFolder folder;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {ShellFolder::AppDataAll, u"c:\\Program Files\\Common Files"},
        {ShellFolder::AppData, u"c:\\Program Files\\Common Files"},
        {ShellFolder::DesktopAll, u"C:\\Windows\\Desktop"},
        {ShellFolder::Desktop, u"C:\\Windows\\Desktop"},
        {ShellFolder::DocumentAll, u"c:\\My Documents"},
        {ShellFolder::Document, u"c:\\My Documents"},
        {ShellFolder::FavoritesAll, u"C:\\Windows\\Favorites"},
        {ShellFolder::Favorites, u"C:\\Windows\\Favorites"},
        {ShellFolder::Fonts, u"C:\\Windows\\Fonts"},
        {ShellFolder::SMProgramsAll, u"C:\\Windows\\Start Menu\\Programs"},
        {ShellFolder::SMPrograms, u"C:\\Windows\\Start Menu\\Programs"},
        {ShellFolder::StartMenuAll, u"C:\\Windows\\Start Menu"},
        {ShellFolder::StartMenu, u"C:\\Windows\\Start Menu"},
        {ShellFolder::StartupAll, u"C:\\Windows\\Start Menu\\Programs\\StartUp"},
        {ShellFolder::Startup, u"C:\\Windows\\Start Menu\\Programs\\StartUp"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShellFolderPath(c.folder, facts), c.expected) << int(c.folder);
}

TEST(VariablesShellFolders, EveryFolderAsksItsOwnCsidl) {
    FakeSystemFacts facts;
    const std::pair<ShellFolder, int> csidls[] = {
        {ShellFolder::AppDataAll, 35}, {ShellFolder::AppData, 26},      {ShellFolder::DesktopAll, 25},
        {ShellFolder::Desktop, 16},    {ShellFolder::DocumentAll, 46},  {ShellFolder::Document, 5},
        {ShellFolder::FavoritesAll, 31}, {ShellFolder::Favorites, 6},   {ShellFolder::Fonts, 20},
        {ShellFolder::SMProgramsAll, 23}, {ShellFolder::SMPrograms, 2}, {ShellFolder::StartMenuAll, 22},
        {ShellFolder::StartMenu, 11},  {ShellFolder::StartupAll, 24},   {ShellFolder::Startup, 7},
    };
    for (const auto& [folder, csidl] : csidls) facts.specialFolders[csidl] = u"X:\\csidl" + ToU16(csidl);
    for (const auto& [folder, csidl] : csidls) {
        EXPECT_EQ(ShellFolderPath(folder, facts), u"X:\\csidl" + ToU16(csidl));
    }
}

TEST(VariablesShellFolders, AllUsersStartMenuFoldersFromCommonStartup) {
    FakeSystemFacts facts;
    facts.SetShellFolder(kHklm, u"Common Startup", u"C:\\ProgramData\\Start Menu\\Programs\\Startup\\");
    EXPECT_EQ(ShellFolderPath(ShellFolder::SMProgramsAll, facts), u"C:\\ProgramData\\Start Menu\\Programs");
    EXPECT_EQ(ShellFolderPath(ShellFolder::StartMenuAll, facts), u"C:\\ProgramData\\Start Menu");
    EXPECT_EQ(ShellFolderPath(ShellFolder::StartupAll, facts), u"C:\\ProgramData\\Start Menu\\Programs\\Startup");
    // Their own values win over the derived ones.
    facts.SetShellFolder(kHklm, u"Common Programs", u"E:\\Programs");
    EXPECT_EQ(ShellFolderPath(ShellFolder::SMProgramsAll, facts), u"E:\\Programs");
}

TEST(VariablesShellFolders, DesktopShortcutFolderJoinsTheSubFolder) {
    FakeSystemFacts facts;
    facts.specialFolders[16] = u"C:\\Users\\me\\Desktop";
    facts.specialFolders[25] = u"C:\\Users\\Public\\Desktop";
    EXPECT_EQ(DesktopShortcutFolder(false, u"Acme", facts), u"C:\\Users\\me\\Desktop\\Acme");
    EXPECT_EQ(DesktopShortcutFolder(true, u"Acme", facts), u"C:\\Users\\Public\\Desktop\\Acme");
    EXPECT_EQ(DesktopShortcutFolder(true, u"", facts), u"C:\\Users\\Public\\Desktop");
}

class VariablesProgramFiles : public ::testing::Test {
protected:
    void SetUp() override { facts.os = testing::Windows10x64(); }
    FakeSystemFacts facts;
};

TEST_F(VariablesProgramFiles, NativeFolderChain) {
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View32, facts), u"c:\\Program Files");
    EXPECT_EQ(CommonFilesFolder(FolderKind::View32, facts), u"c:\\Program Files\\Common Files");
    facts.SetRegistry(kHklm, kCurrentVersion, u"ProgramFilesDir", u"D:\\PF (x86)\\");
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View32, facts), u"D:\\PF (x86)");
    EXPECT_EQ(CommonFilesFolder(FolderKind::Native, facts), u"D:\\PF (x86)\\Common Files");
    facts.SetRegistry(kHklm, kCurrentVersion, u"CommonFilesDir", u"D:\\Common");
    EXPECT_EQ(CommonFilesFolder(FolderKind::Native, facts), u"D:\\Common");
    facts.knownFolders[kFolderIdProgramFiles.data1] = u"E:\\Known PF";
    facts.knownFolders[kFolderIdProgramFilesCommon.data1] = u"E:\\Known Common";
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View32, facts), u"E:\\Known PF");
    EXPECT_EQ(CommonFilesFolder(FolderKind::View32, facts), u"E:\\Known Common");
    facts.specialFolders[38] = u"F:\\Csidl PF";
    facts.specialFolders[43] = u"F:\\Csidl Common";
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View32, facts), u"F:\\Csidl PF");
    EXPECT_EQ(CommonFilesFolder(FolderKind::View32, facts), u"F:\\Csidl Common");
}

TEST_F(VariablesProgramFiles, SixtyFourBitFolderChain) {
    facts.specialFolders[38] = u"C:\\Program Files (x86)";
    facts.specialFolders[43] = u"C:\\Program Files (x86)\\Common Files";
    // Neither known folder nor environment: the x86 folder without " (x86)".
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View64, facts), u"C:\\Program Files");
    EXPECT_EQ(CommonFilesFolder(FolderKind::View64Alias, facts), u"C:\\Program Files\\Common Files");
    facts.environment[u"PROGRAMW6432"] = u"D:\\Env PF";
    facts.environment[u"COMMONPROGRAMW6432"] = u"D:\\Env Common";
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View64, facts), u"D:\\Env PF");
    EXPECT_EQ(CommonFilesFolder(FolderKind::View64, facts), u"D:\\Env Common");
    facts.knownFolders[kFolderIdProgramFilesX64.data1] = u"E:\\Known PF";
    facts.knownFolders[kFolderIdProgramFilesCommonX64.data1] = u"E:\\Known Common";
    EXPECT_EQ(ProgramFilesFolder(FolderKind::View64, facts), u"E:\\Known PF");
    EXPECT_EQ(CommonFilesFolder(FolderKind::View64, facts), u"E:\\Known Common");
}

TEST(VariablesSystemFolders, DeviceFolderTakesTheFirstEntryWithSystemRoot) {
    FakeSystemFacts facts;
    EXPECT_EQ(DeviceFolder(facts), u"C:\\Windows\\INF");
    facts.SetRegistry(kHklm, kCurrentVersion, u"DevicePath", u"%systemroot%\\inf;D:\\Drivers");
    EXPECT_EQ(DeviceFolder(facts), u"%systemroot%\\inf");  // the variable is not set
    facts.environment[u"SYSTEMROOT"] = u"C:\\WINNT";
    EXPECT_EQ(DeviceFolder(facts), u"C:\\WINNT\\inf");
    facts.SetRegistry(kHklm, kCurrentVersion, u"DevicePath", u";D:\\Drivers");
    EXPECT_EQ(DeviceFolder(facts), u"C:\\Windows\\INF");
}

TEST(VariablesSystemFolders, MediaFolder) {
    FakeSystemFacts facts;
    EXPECT_EQ(MediaFolder(facts), u"C:\\Windows\\Media");
    facts.SetRegistry(kHklm, kCurrentVersion, u"MediaPath", u"D:\\Sounds\\");
    EXPECT_EQ(MediaFolder(facts), u"D:\\Sounds");
}

TEST(VariablesSystemFolders, InetpubIsTheParentOfTheWebRoot) {
    FakeSystemFacts facts;
    EXPECT_EQ(InetpubFolder(facts), u"c:\\Inetpub");
    facts.environment[u"SYSTEMDRIVE"] = u"E:";
    facts.SetRegistry(kHklm, u"SOFTWARE\\Microsoft\\INetStp", u"PathWWWRoot", u"%SystemDrive%\\web\\root\\");
    EXPECT_EQ(InetpubFolder(facts), u"E:\\web");
}

TEST(VariablesSystemFolders, BootDriveFromTheSetupKey) {
    FakeSystemFacts facts;
    EXPECT_EQ(BootDrive(facts), u"C:");
    const std::u16string key = std::u16string(kCurrentVersion) + u"\\Setup";
    for (auto [value, drive] : {std::pair{u"d:\\", u"D:"}, std::pair{u"E:", u"E:"}, std::pair{u"\\\\x", u"C:"},
                                std::pair{u"1:\\", u"C:"}, std::pair{u"", u"C:"}}) {
        facts.SetRegistry(kHklm, key, u"BootDir", value);
        EXPECT_EQ(BootDrive(facts), drive);
    }
}

TEST(VariablesSystemFolders, SystemFolderFallbackDependsOnThePlatform) {
    FakeSystemFacts facts;
    facts.systemFolder.clear();
    facts.os.platformId = kPlatformNt;
    EXPECT_EQ(SystemFolderPath(facts), u"C:\\Windows\\System32");
    facts.os.platformId = kPlatformWindows9x;
    EXPECT_EQ(SystemFolderPath(facts), u"C:\\Windows\\System");
}

TEST(VariablesSystemFolders, FolderVariablesOfTheTable) {
    FakeSystemFacts facts;
    facts.os = testing::Windows10x64();
    facts.SetShellFolder(kHkcu, u"AppData", u"C:\\Users\\me\\AppData\\Roaming\\");
    facts.SetShellFolder(kHklm, u"Common AppData", u"C:\\ProgramData");
    facts.specialFolders[20] = u"C:\\Windows\\Fonts";
    InstallationState state;
    EXPECT_EQ(ExpandVariables(u"%AppDataDir%|%AppDataAllDir%|%FontDir%|%BootDrive%|%Inetpub%|%MediaDir%|%DeviceDir%",
                              state, facts),
              u"C:\\Users\\me\\AppData\\Roaming|C:\\ProgramData|C:\\Windows\\Fonts|C:|c:\\Inetpub|"
              u"C:\\Windows\\Media|C:\\Windows\\INF");
}

}  // namespace
}  // namespace palisade
