// The folder variables and the system description under Wine: the values the
// probe expands must be the folders Wine itself reports, and the lookup chain
// must get past the steps that Wine does not answer.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

const std::string kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kCurrentVersionKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";

// Runs one probe command and returns what it printed; a failed run fails the test.
std::string Probe(const std::vector<std::string>& arguments) {
    RunResult r = RunProgram(ProbePath(), WithArguments(arguments));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << arguments[0] << ": " << r.stderrText;
    return r.stdoutText;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, separator)) pieces.push_back(piece);
    if (!text.empty() && text.back() == separator) pieces.emplace_back();
    return pieces;
}

// Expands several variables in one run: "%A%|%B%" gives {A's value, B's value}.
std::vector<std::string> ExpandEach(const std::vector<std::string>& names, std::vector<std::string> settings = {}) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "%" : "|%") + name + "%";
    settings.insert(settings.begin(), {"expand", text});
    return Split(Probe(settings), '|');
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(VariablesWine, ShellFolderVariablesAreTheFoldersWineReports) {
    struct Case {
        const char* variable;
        const char* hive;
        const char* value;
        int csidl;
    };
    const Case cases[] = {
        {"AppDataAllDir", "HKLM", "Common AppData", 35}, {"AppDataDir", "HKCU", "AppData", 26},
        {"DesktopAllDir", "HKLM", "Common Desktop", 25}, {"DesktopDir", "HKCU", "Desktop", 16},
        {"DocumentAllDir", "HKLM", "Common Documents", 46}, {"DocumentDir", "HKCU", "Personal", 5},
        {"FavoritesDir", "HKCU", "Favorites", 6},        {"FontDir", "HKCU", "Fonts", 20},
        {"SMProgramsAllDir", "HKLM", "Common Programs", 23}, {"SMProgramsDir", "HKCU", "Programs", 2},
        {"StartMenuAllDir", "HKLM", "Common Start Menu", 22}, {"StartMenuDir", "HKCU", "Start Menu", 11},
        {"StartupAllDir", "HKLM", "Common Startup", 24}, {"StartupDir", "HKCU", "Startup", 7},
    };
    std::vector<std::string> names;
    for (const Case& c : cases) names.push_back(c.variable);
    std::vector<std::string> values = ExpandEach(names);
    ASSERT_EQ(values.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Case& c = cases[i];
        auto registry = RegQueryValue(std::string(c.hive) + "\\" + kShellFoldersKey, c.value, "32");
        ASSERT_TRUE(registry) << c.value;
        EXPECT_EQ(values[i], *registry) << c.variable;
        EXPECT_FALSE(values[i].empty()) << c.variable;
    }
    // The first step of the chain answers for these folders under Wine.
    EXPECT_EQ(Probe({"special-folder", "26"}), values[1]);
    EXPECT_EQ(Probe({"special-folder", "23"}), values[8]);
}

TEST(VariablesWine, SixtyFourBitKnownFoldersFailAndTheChainGoesOn) {
    // Wine 8 answers the 64-bit Program Files known folders with "path not
    // found" for a 32-bit process; the next steps of the chain must answer.
    EXPECT_EQ(Probe({"known-folder", "ProgramFilesX64"}), "0x80070003 ");
    EXPECT_EQ(Probe({"known-folder", "ProgramFilesCommonX64"}), "0x80070003 ");
    EXPECT_EQ(Probe({"known-folder", "ProgramFiles"}), "0x00000000 C:\\Program Files (x86)");

    std::string programW6432 = Probe({"env", "ProgramW6432"});
    EXPECT_EQ(programW6432, "C:\\Program Files");
    auto x86 = RegQueryValue(kCurrentVersionKey, "ProgramFilesDir", "32");
    auto commonX86 = RegQueryValue(kCurrentVersionKey, "CommonFilesDir", "32");
    ASSERT_TRUE(x86 && commonX86);

    std::vector<std::string> names = {"ProgramsDir", "ProgramsDir32", "ProgramsDir64", "CommonDir", "CommonDir32",
                                      "CommonDir64"};
    EXPECT_EQ(ExpandEach(names), (std::vector<std::string>{*x86, *x86, programW6432, *commonX86, *commonX86,
                                                           "C:\\Program Files\\Common Files"}));
    EXPECT_EQ(ExpandEach({"ProgramsDir", "CommonDir"}, {"bitness=1"}),
              (std::vector<std::string>{programW6432, "C:\\Program Files\\Common Files"}));
    // Without the environment variables the x86 folders lose their " (x86)".
    EXPECT_EQ(ExpandEach({"ProgramsDir64", "CommonDir64"}, {"unset=ProgramW6432", "unset=CommonProgramW6432"}),
              (std::vector<std::string>{"C:\\Program Files", "C:\\Program Files\\Common Files"}));
}

TEST(VariablesWine, SystemFoldersAndInstallerPaths) {
    std::vector<std::string> names = {"WinDir",          "SystemDir",         "Temp",     "InstallerDir",
                                      "InstallerDrive",  "InstallerFilename", "InstallerFilepath", "Bits",
                                      "BootDrive",       "DeviceDir",         "MediaDir", "Inetpub"};
    std::vector<std::string> v = ExpandEach(names);
    ASSERT_EQ(v.size(), names.size());
    EXPECT_EQ(v[0], "C:\\windows");
    EXPECT_EQ(v[1], "C:\\windows\\system32");
    std::string temp = Probe({"env", "TEMP"});
    EXPECT_EQ(v[2], temp);
    EXPECT_FALSE(EndsWith(v[2], "\\"));
    EXPECT_TRUE(std::filesystem::is_directory(HostPath(v[2]))) << v[2];
    EXPECT_EQ(v[5], "palisade-probe.exe");
    EXPECT_EQ(v[6], v[3] + "\\" + v[5]);
    EXPECT_EQ(v[4], v[6].substr(0, 2));
    EXPECT_EQ(v[7], "64");
    // Wine keeps no BootDir, DevicePath or MediaPath: these are the fallbacks.
    EXPECT_EQ(v[8], "C:");
    EXPECT_EQ(v[9], "C:\\windows\\INF");
    EXPECT_EQ(v[10], "C:\\windows\\Media");
    EXPECT_EQ(v[11], "c:\\Inetpub");
}

TEST(VariablesWine, CaseRulesAndTheEnvironmentPass) {
    std::string path = Probe({"env", "PATH"});
    EXPECT_EQ(Probe({"expand", "%path%|%NoSuchVariable%|%installdir%|%oldversionmajor%", "old=3.10.2"}),
              path + "|%NoSuchVariable%|C:\\Program Files\\Probe App|%oldversionmajor%");
    EXPECT_EQ(ExpandEach({"OldVersion", "OldVersionMajor", "OldVersionMinor"}, {"old=3.10.2"}),
              (std::vector<std::string>{"3.10.2", "3", "10"}));
    EXPECT_EQ(ExpandEach({"OldVersionMajor", "OldVersionMinor"}, {"old=7"}), (std::vector<std::string>{"7", ""}));
}

TEST(VariablesWine, UncFoldersAndNetworkDrives) {
    EXPECT_EQ(Probe({"expand", "[%InstallDrive%]|%NetworkInstall%", "install=\\\\server\\share\\app"}), "[]|1");
    EXPECT_EQ(Probe({"expand", "%InstallDrive%|%NetworkInstall%", "install=c:\\apps"}), "C:|0");

    // A drive that Wine's mount manager defines as a network drive at once
    // (no other test uses Q:).
    std::filesystem::path target = BuildDir() / "wine-network-drive";
    std::filesystem::create_directories(target);
    ASSERT_EQ(Probe({"define-drive", "q", "network", target.string()}), "defined");
    std::string answer = Probe({"expand", "%InstallDrive%|%NetworkInstall%", "install=q:\\apps"});
    Probe({"define-drive", "q", "remove"});
    EXPECT_EQ(answer, "Q:|1");
}

// Wine reports Windows 7 SP1 (workstation, 64-bit) unless told otherwise.
TEST(VariablesWine, SystemDescriptionNamesWine) {
    std::string os = Probe({"os"});
    ASSERT_NE(os.find("wine="), std::string::npos);
    std::string wineVersion = os.substr(os.find("wine=") + 5);
    wineVersion = wineVersion.substr(0, wineVersion.find('\n'));
    ASSERT_FALSE(wineVersion.empty()) << os;
    EXPECT_NE(os.find("major=6\nminor=1\n"), std::string::npos) << os;
    EXPECT_NE(os.find("is64=1\n"), std::string::npos) << os;

    std::string full = Probe({"describe-os", "0"});
    EXPECT_EQ(full.rfind("WINE " + wineVersion + " reporting as Windows 7", 0), 0u) << full;
    EXPECT_TRUE(EndsWith(full, " x64 Service Pack 1")) << full;
    EXPECT_EQ(Probe({"describe-os", "1"}).find("Service Pack"), std::string::npos);
    EXPECT_EQ(Probe({"describe-os", "4"}), "7");

    std::vector<std::string> v = ExpandEach({"OS", "OSMajor", "OSMinor", "OSName", "OSDescription", "OSServer"});
    EXPECT_EQ(v, (std::vector<std::string>{"36", "6", "1", "7", full, "0"}));
}

TEST(VariablesWine, NotificationAddressPlaceholders) {
    std::string address = Probe({"notify", " http://example.com/?v=%version%&s=%Session%&os=%OS%&n=%OSName%&srv=%OSServer% ",
                                 "1.2 beta", "BEEF"});
    EXPECT_EQ(address, "http://example.com/?v=1.2%20beta&s=BEEF&os=36&n=7&srv=0");
    std::string description = Probe({"notify", "%OSDescription%", "1", "0"});
    EXPECT_EQ(description.rfind("WINE%20", 0), 0u) << description;
    EXPECT_EQ(description.find(' '), std::string::npos);
}

}  // namespace
}  // namespace palisade::wine
