// Silent installations of small products under Wine, checked from outside:
// the installed files, Install.log, the uninstaller, the product key and
// Uninstall.DAT; the folder decisions and the refusals before anything changes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "install_support.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;

std::string BinaryContents() {
    std::string data;
    for (int i = 0; i < 70000; ++i) data += char((i * 7 + i / 256) & 0xFF);
    return data;
}

std::time_t ModificationTime(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return info.st_mtime;
}

TEST(SilentInstall, InstallsEveryFileWithItsStampAndRegistersTheProduct) {
    TestProduct product = MakeProduct("Silent Basic");
    product.items.push_back(FileItem("readme.txt", "Hello from the root folder\r\n"));
    product.items.push_back(FileItem("guide.txt", "A guide in a sub-folder\r\n", u"docs\\"));
    product.items.push_back(FileItem("data.bin", BinaryContents(), u"docs\\deep\\"));
    PayloadItem readOnly = FileItem("locked.cfg", "setting=1\r\n");
    readOnly.attributes = 0x1;  // read-only
    product.items.push_back(readOnly);
    RunResult run = InstallSilently(WriteInstaller(product, "silent-basic.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    const std::string folder = InstallFolderOf("Silent Basic");
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\readme.txt")), "Hello from the root folder\r\n");
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\docs\\guide.txt")), "A guide in a sub-folder\r\n");
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\docs\\deep\\data.bin")), BinaryContents());
    EXPECT_EQ(ModificationTime(HostPath(folder + "\\docs\\deep\\data.bin")), UtcSeconds(2024, 5, 17, 10, 30, 42));
    auto permissions = std::filesystem::status(HostPath(folder + "\\locked.cfg")).permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::owner_write, std::filesystem::perms::none);

    std::string log = InstallLogOf("Silent Basic");
    EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_THAT(log, HasSubstr("Installation log for: Silent Basic\r\n"));
    EXPECT_THAT(log, HasSubstr("Install type: New\r\n"));
    EXPECT_THAT(log, HasSubstr("Install location: " + folder + "\r\n"));
    EXPECT_THAT(log, HasSubstr("Installer version: 44.0.1\r\n"));
    EXPECT_THAT(log, HasSubstr("Product version: 1.0.0\r\n"));
    EXPECT_THAT(log, HasSubstr("data.bin >>> " + folder + "\\docs\\deep\\data.bin\r\n"));
    EXPECT_THAT(log, ::testing::Not(HasSubstr("FAILURE SUMMARY")));

    // The uninstaller is this installer without its payload: a valid program
    // that finds no installation data of its own.
    std::filesystem::path uninstaller = HostPath(folder + "\\uninstall\\uninstall.exe");
    ASSERT_TRUE(std::filesystem::exists(uninstaller));
    RunResult bare = RunProgram(uninstaller, WithArguments({"/silent"}));
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_THAT(bare.debugOutput, HasSubstr("no installation data"));

    std::string key = RegExport("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Silent Basic");
    EXPECT_THAT(key, HasSubstr("\"DisplayName\"=\"Silent Basic\""));
    EXPECT_THAT(key, HasSubstr("\"UninstallString\"=\"\\\"C:\\\\Palisade Tests\\\\Silent Basic\\\\uninstall\\\\"
                               "uninstall.exe\\\" /u:\\\"Silent Basic\\\"\""));
    EXPECT_THAT(key, HasSubstr("\"QuietUninstallString\"=\"\\\"C:\\\\Palisade Tests\\\\Silent Basic\\\\uninstall\\\\"
                               "uninstall.exe\\\" /silent /u:\\\"Silent Basic\\\"\""));
    EXPECT_THAT(key, HasSubstr("\"InstallLocation\"=\"C:\\\\Palisade Tests\\\\Silent Basic\""));
    EXPECT_THAT(key, HasSubstr("\"DisplayVersion\"=\"1.0.0\""));
    EXPECT_THAT(key, HasSubstr("\"VersionMajor\"=dword:00000001"));
    EXPECT_THAT(key, HasSubstr("\"VersionMinor\"=dword:00000000"));
    EXPECT_THAT(key, HasSubstr("\"Publisher\"=\"Palisade Tests\""));
    EXPECT_THAT(key, HasSubstr("\"EstimatedSize\"=dword:00000044"));  // 70,050 bytes -> 68 KiB

    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, HasSubstr(folder + "\\readme.txt\r\n"));
    EXPECT_THAT(data, HasSubstr("~" + folder + "\\docs\\deep\r\n"));
    EXPECT_THAT(data, HasSubstr("\r\n\r\n[Strings]\r\n~10\r\n"));
}

TEST(SilentInstall, OverrideFolderWithBlanksFromTheCommandLine) {
    TestProduct product = MakeProduct("Silent Override");
    product.items.push_back(FileItem("app.txt", "override\r\n"));
    // Typed as an admin would: /d:"C:\Palisade Tests\path with spaces\"
    std::filesystem::path installer = WriteInstaller(product, "silent-override.exe");
    std::string windowsPath = "Z:" + installer.string();
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    RunResult run = RunProgram(ProbePath(), WithArguments({"run-line", windowsPath,
                                                           "/silent /d:\"C:\\Palisade Tests\\path with spaces\\\""}));
    EXPECT_EQ(run.exitCode, 1) << run.stdoutText << run.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath("C:\\Palisade Tests\\path with spaces\\app.txt")), "override\r\n");
    EXPECT_FALSE(std::filesystem::exists(HostPath(InstallFolderOf("Silent Override"))));
}

TEST(SilentInstall, MissingRegistryFolderStopsBeforeAnythingChanges) {
    TestProduct product = MakeProduct("Silent Registry Path");
    product.settings.defaultInstallPath = u"HKCU\\Software\\Palisade Tests\\Missing\\InstallPath";
    product.items.push_back(FileItem("app.txt", "never\r\n"));
    RunResult run = InstallSilently(WriteInstaller(product, "silent-registry.exe"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.debugOutput,
                HasSubstr("Failed to obtain installation path from \"HKCU\\Software\\Palisade Tests\\Missing\\"
                          "InstallPath\""));
    EXPECT_FALSE(RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Silent Registry Path",
                               "DisplayName")
                     .has_value());
}

TEST(SilentInstall, ThirtyTwoBitOnlyProductEndsQuietlyOnSixtyFourBitWindows) {
    TestProduct product = MakeProduct("Silent Bitness");
    product.settings.bitness = 2;
    product.items.push_back(FileItem("app.txt", "never\r\n"));
    RunResult run = RunProgram(WriteInstaller(product, "silent-bitness.exe"), WithArguments({"/a"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.debugOutput, "");  // no message at all
    EXPECT_FALSE(std::filesystem::exists(HostPath(InstallFolderOf("Silent Bitness"))));
}

// Silent (/silent) and automatic (/a) runs alike tell a reinstall from an
// upgrade, and a silent upgrade runs the upgrade batch.
TEST(SilentInstall, ReinstallAndUpgradeRewriteTheProductKey) {
    TestProduct product = MakeProduct("Silent Upgrade");
    const std::string marker = InstallFolderOf("Silent Upgrade") + "\\upgraded.txt";
    std::filesystem::remove(HostPath(marker));
    product.settings.upgradeBatch = "echo upgraded> \"" + marker + "\"";
    product.settings.sharedPath = u"Palisade Upgrade Shared";
    product.items.push_back(FileItem("app.txt", "version one\r\n"));
    PayloadItem shared = FileItem("shared.dat", "shared between products\r\n");
    shared.kind = EntryKind::SharedFile;
    product.items.push_back(shared);
    std::filesystem::path first = WriteInstaller(product, "silent-upgrade-1.exe");
    EXPECT_EQ(InstallSilently(first).exitCode, 1);
    EXPECT_EQ(RunProgram(first, WithArguments({"/a"})).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(HostPath(marker))) << "a reinstall is no upgrade";
    product.settings.displayVersion = u"1.1";
    product.items[0] = FileItem("app.txt", "version two\r\n");
    product.items[0].timeStamp = FileTimeStamp{2025, 1, 2, 3, 4, 5};
    EXPECT_EQ(InstallSilently(WriteInstaller(product, "silent-upgrade-2.exe")).exitCode, 1);
    EXPECT_EQ(ReadHostFile(HostPath(marker)), "upgraded\r\n");

    std::string log = InstallLogOf("Silent Upgrade");
    std::size_t newRun = log.find("Install type: New\r\n");
    std::size_t reinstall = log.find("Install type: Reinstall\r\n");
    std::size_t upgrade = log.find("Install type: Upgrade\r\n");
    ASSERT_NE(newRun, std::string::npos);
    ASSERT_NE(reinstall, std::string::npos);
    ASSERT_NE(upgrade, std::string::npos);
    EXPECT_LT(newRun, reinstall);
    EXPECT_LT(reinstall, upgrade);
    EXPECT_THAT(log, HasSubstr("Overwriting version: 1.0.0\r\n"));
    EXPECT_THAT(log, HasSubstr("**********************************************\r\n"));
    EXPECT_EQ(ReadHostFile(HostPath(InstallFolderOf("Silent Upgrade") + "\\app.txt")), "version two\r\n");
    EXPECT_EQ(RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Silent Upgrade",
                            "DisplayVersion"),
              "1.1");
    // Three installations of one product count its shared file once.
    EXPECT_EQ(RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                            "C:\\Program Files (x86)\\Common Files\\Palisade Upgrade Shared\\shared.dat"),
              "0x1");
}

}  // namespace
}  // namespace palisade::wine
