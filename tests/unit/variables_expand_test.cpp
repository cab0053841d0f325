// ExpandVariables: order of the table, case rules, the environment pass and
// the values that come from the installation state.
#include "variables/expand_variables.h"

#include <gtest/gtest.h>

#include "fake_system_facts.h"

namespace palisade {
namespace {

using testing::FakeSystemFacts;

class ExpandVariablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        facts.os = testing::Windows10x64();
        facts.environment[u"PATH"] = u"C:\\Windows\\system32;C:\\Windows";
        state.installFolder = u"C:\\Program Files\\Acme App";
        state.productName = u"Acme App";
        state.companyName = u"Acme";
        state.productVersion = u"4.2";
    }
    std::u16string Expand(std::u16string_view text) { return ExpandVariables(text, state, facts); }

    FakeSystemFacts facts;
    InstallationState state;
};

TEST_F(ExpandVariablesTest, NamesMatchWithoutRegardToCase) {
    EXPECT_EQ(Expand(u"%installdir%\\a"), u"C:\\Program Files\\Acme App\\a");
    EXPECT_EQ(Expand(u"%INSTALLDIR%\\a"), Expand(u"%InstallDir%\\a"));
    EXPECT_EQ(Expand(u"%productNAME% by %companyname%"), u"Acme App by Acme");
}

TEST_F(ExpandVariablesTest, OldVersionPiecesMatchOnlyInTheirOwnCase) {
    state.oldVersion = u"3.10.2";
    EXPECT_EQ(Expand(u"%OldVersionMajor%|%OldVersionMinor%|%oldversion%"), u"3|10|3.10.2");
    // Not an installer variable in this spelling: it reaches the environment pass unchanged.
    EXPECT_EQ(Expand(u"%oldversionmajor%"), u"%oldversionmajor%");
    EXPECT_EQ(facts.expansionInputs.back(), u"%oldversionmajor%");
}

TEST_F(ExpandVariablesTest, OldVersionPiecesOfShortAndMissingVersions) {
    struct Case {
        std::u16string_view version, major, minor;
    };
    for (const Case& c : {Case{u"7", u"7", u""}, Case{u"", u"", u""}, Case{u"2.0", u"2", u"0"},
                          Case{u".5", u"", u"5"}}) {
        state.oldVersion = std::u16string(c.version);
        EXPECT_EQ(Expand(u"%OldVersionMajor%"), c.major);
        EXPECT_EQ(Expand(u"%OldVersionMinor%"), c.minor);
    }
}

TEST_F(ExpandVariablesTest, AValueHoldingALaterVariableIsExpandedByIt) {
    // %ProductName% comes after %InstallDir% in the table, so it is replaced
    // inside the installation folder's value ...
    state.installFolder = u"C:\\Apps\\%ProductName%";
    EXPECT_EQ(Expand(u"%InstallDir%"), u"C:\\Apps\\Acme App");
    // ... while %InstallDir% comes before %ProductName% and stays.
    state.productName = u"%InstallDir%";
    EXPECT_EQ(Expand(u"%ProductName%"), u"%InstallDir%");
}

TEST_F(ExpandVariablesTest, AReplacementIsNotSearchedAgainByTheSameVariable) {
    state.installFolder = u"%InstallDir%\\x";
    EXPECT_EQ(Expand(u"%InstallDir%|%InstallDir%"), u"%InstallDir%\\x|%InstallDir%\\x");
}

TEST_F(ExpandVariablesTest, EnvironmentPassExpandsTheRestAndLeavesUnknownNames) {
    EXPECT_EQ(Expand(u"%PATH%"), u"C:\\Windows\\system32;C:\\Windows");
    EXPECT_EQ(Expand(u"%NoSuchName%\\%InstallDir%"), u"%NoSuchName%\\C:\\Program Files\\Acme App");
    EXPECT_EQ(Expand(u"100% sure"), u"100% sure");
}

TEST_F(ExpandVariablesTest, FailedEnvironmentPassLeavesTheVariablePassResult) {
    facts.environmentExpansionFails = true;
    EXPECT_EQ(Expand(u"%InstallDir%;%PATH%"), u"C:\\Program Files\\Acme App;%PATH%");
}

TEST_F(ExpandVariablesTest, EnvironmentPassKeepsAtMost31999Characters) {
    facts.environment[u"BIG"] = std::u16string(40000, u'x');
    std::u16string expanded = Expand(u"%BIG%");
    EXPECT_EQ(expanded.size(), kExpandedTextLimit);
    EXPECT_EQ(Expand(u"short"), u"short");
}

TEST_F(ExpandVariablesTest, TextWithoutInstallerVariablesAsksTheSystemNothing) {
    Expand(u"plain text with %PATH%");
    EXPECT_EQ(facts.queries, 0);
    EXPECT_EQ(facts.tempPathCalls, 0);
}

TEST_F(ExpandVariablesTest, UncInstallationFolderIsANetworkInstallWithoutDrive) {
    state.installFolder = u"\\\\server\\share\\app";
    EXPECT_EQ(Expand(u"[%InstallDrive%]|%NetworkInstall%"), u"[]|1");
}

TEST_F(ExpandVariablesTest, NetworkInstallFollowsTheDriveKind) {
    facts.driveKinds[u"N:\\"] = DriveKind::Remote;
    state.installFolder = u"n:\\apps\\acme";
    EXPECT_EQ(Expand(u"%InstallDrive%|%NetworkInstall%"), u"N:|1");
    state.installFolder = u"d:\\apps\\acme";
    EXPECT_EQ(Expand(u"%InstallDrive%|%NetworkInstall%"), u"D:|0");
    state.installFolder = u"relative\\folder";
    EXPECT_EQ(Expand(u"[%InstallDrive%]|%NetworkInstall%"), u"[]|0");
}

TEST_F(ExpandVariablesTest, StateFlagsAndNumbers) {
    state.automatic = true;
    state.portable = true;
    state.existingInstall = kDowngrade;
    EXPECT_EQ(Expand(u"%Automatic%%Portable%%Existing%"), u"113");
    state = InstallationState{};
    EXPECT_EQ(Expand(u"%Automatic%%Portable%%Existing%"), u"000");
}

TEST_F(ExpandVariablesTest, TextsOfTheState) {
    state.languageName = u"Deutsch";
    state.sharedFolder = u"C:\\Program Files\\Common Files\\Acme";
    state.uninstallDataFolder = u"C:\\Program Files\\Acme App\\Uninstall";
    state.desktopShortcutFolder = u"C:\\Users\\me\\Desktop\\Acme";
    EXPECT_EQ(Expand(u"%Language%|%SharedDir%|%UninstallDir%|%DesktopShortcuts%|%Version%"),
              u"Deutsch|C:\\Program Files\\Common Files\\Acme|C:\\Program Files\\Acme App\\Uninstall|"
              u"C:\\Users\\me\\Desktop\\Acme|4.2");
}

TEST_F(ExpandVariablesTest, InstallerPathPieces) {
    EXPECT_EQ(Expand(u"%InstallerDir%|%InstallerDrive%|%InstallerFilename%|%InstallerFilepath%"),
              u"D:\\Downloads|D:|setup.exe|D:\\Downloads\\setup.exe");
    facts.modulePath = u"\\\\server\\share\\setup.exe";
    EXPECT_EQ(Expand(u"%InstallerDir%|[%InstallerDrive%]|%InstallerFilename%"), u"\\\\server\\share|[]|setup.exe");
}

TEST_F(ExpandVariablesTest, StartMenuChosenJoinsTheProgramsFolderOfTheChoice) {
    facts.specialFolders[2] = u"C:\\Users\\me\\Start Menu\\Programs";
    facts.specialFolders[23] = u"C:\\ProgramData\\Start Menu\\Programs";
    state.startMenuFolderName = u"Acme";
    EXPECT_EQ(Expand(u"%StartMenuChosen%"), u"C:\\Users\\me\\Start Menu\\Programs\\Acme");
    state.allUsers = true;
    EXPECT_EQ(Expand(u"%StartMenuChosen%"), u"C:\\ProgramData\\Start Menu\\Programs\\Acme");
}

TEST_F(ExpandVariablesTest, ProgramFoldersFollowTheBitnessSetting) {
    facts.specialFolders[38] = u"C:\\Program Files (x86)";
    facts.specialFolders[43] = u"C:\\Program Files (x86)\\Common Files";
    facts.environment[u"PROGRAMW6432"] = u"C:\\Program Files";
    facts.environment[u"COMMONPROGRAMW6432"] = u"C:\\Program Files\\Common Files";
    EXPECT_EQ(Expand(u"%ProgramsDir%|%ProgramsDir32%|%ProgramsDir64%"),
              u"C:\\Program Files (x86)|C:\\Program Files (x86)|C:\\Program Files");
    EXPECT_EQ(Expand(u"%CommonDir%|%CommonDir64%"), u"C:\\Program Files (x86)\\Common Files|C:\\Program Files\\Common Files");
    state.bitness = kBitness64Only;
    EXPECT_EQ(Expand(u"%ProgramsDir%|%CommonDir%"), u"C:\\Program Files|C:\\Program Files\\Common Files");
}

TEST_F(ExpandVariablesTest, On32BitWindowsEveryProgramsFolderIsTheSame) {
    facts.os.is64Bit = false;
    facts.specialFolders[38] = u"C:\\Program Files";
    facts.knownFolders[0x6D809377] = u"C:\\Wrong";  // the 64-bit known folder is never asked
    facts.environment[u"PROGRAMW6432"] = u"C:\\Wrong";
    state.bitness = kBitness64Only;
    EXPECT_EQ(Expand(u"%ProgramsDir%|%ProgramsDir32%|%ProgramsDir64%"),
              u"C:\\Program Files|C:\\Program Files|C:\\Program Files");
    EXPECT_EQ(Expand(u"%Bits%"), u"32");
}

TEST_F(ExpandVariablesTest, SystemDescriptionVariables) {
    facts.os.releaseId = u"2009";
    EXPECT_EQ(Expand(u"%OS%|%OSMajor%|%OSMinor%|%OSServer%|%Bits%"), u"48|10|0|0|64");
    EXPECT_EQ(Expand(u"%OSName%"), u"10");
    EXPECT_EQ(Expand(u"%OSDescription%"), u"Windows 10 Professional x64 2009");
    facts.os.productType = kProductDomainController;
    EXPECT_EQ(Expand(u"%OSServer%"), u"1");
}

TEST_F(ExpandVariablesTest, WindowsAndSystemFolders) {
    EXPECT_EQ(Expand(u"%WinDir%|%SystemDir%"), u"C:\\Windows|C:\\Windows\\system32");
}

TEST_F(ExpandVariablesTest, TempIsWorkedOutOnceAndKeepsNoTrailingBackslash) {
    EXPECT_EQ(Expand(u"%Temp%"), u"C:\\Users\\me\\AppData\\Local\\Temp");
    facts.tempPath = u"E:\\Elsewhere\\";
    facts.existingFolders.insert(facts.tempPath);
    EXPECT_EQ(Expand(u"%TEMP%"), u"C:\\Users\\me\\AppData\\Local\\Temp");
    EXPECT_EQ(facts.tempPathCalls, 1);
}

TEST_F(ExpandVariablesTest, TempFallsBackToTheWindowsTempThenToCTemp) {
    facts.existingFolders.clear();
    facts.existingFolders.insert(u"C:\\Windows\\temp");
    EXPECT_EQ(Expand(u"%Temp%"), u"C:\\Windows\\temp");

    FakeSystemFacts bare;
    bare.existingFolders.clear();
    EXPECT_EQ(ExpandVariables(u"%Temp%", state, bare), u"c:\\temp");
    ASSERT_EQ(bare.createdFolders.size(), 1u);
    EXPECT_EQ(bare.createdFolders[0], u"c:\\temp");
}

}  // namespace
}  // namespace palisade
