// The uninstaller runs with administrator rights on files and values written
// long before: it must remove only what the installation recorded, and never
// be turned against the machine by what others changed since.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "install_support.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

// A copy of the uninstaller started from another folder removes the product
// and the registered uninstaller, but the self-removal script leaves the
// copy alone: a running file that the installation did not write stays.
TEST(UninstallHardening, ACopyOfTheUninstallerRunElsewhereIsNotDeleted) {
    const std::string name = Unique("Uninstaller Copy");
    const std::string folder = InstallFolderOf(name);
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.txt", "the product"));
    ASSERT_EQ(InstallSilently(WriteInstaller(product, "uninstaller-copy.exe")).exitCode, 1);

    const std::string copy = "C:\\Palisade Tests\\" + name + " Copy\\uninstall.exe";
    fs::create_directories(HostPath(copy).parent_path());
    fs::copy_file(HostPath(folder + "\\uninstall\\uninstall.exe"), HostPath(copy));
    RunResult run = RunProgram(ProbePath(), WithArguments({"run-line", copy, "/silent /u:\"" + name + "\""}));
    EXPECT_EQ(run.stdoutText, "0") << run.debugOutput << run.stderrText;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); })) << "the product's folder stays";
    // Give the script time to do what it would have done to the copy.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    EXPECT_TRUE(fs::exists(HostPath(copy))) << "the copy was deleted";
}

// Uninstall.DAT names what the uninstaller deletes with administrator
// rights; changed after the installation, it is refused whole.
TEST(UninstallHardening, UninstallDataChangedAfterTheInstallationIsRefused) {
    const std::string name = Unique("Edited Uninstall Data");
    const std::string folder = InstallFolderOf(name);
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.txt", "the product"));
    ASSERT_EQ(InstallSilently(WriteInstaller(product, "edited-uninstall-data.exe")).exitCode, 1);
    EXPECT_TRUE(RegQueryValue(kUninstallKey + name, "UninstallDataSha256").has_value());

    const std::string victim = "C:\\Palisade Tests\\" + name + " Victim.txt";
    WriteHostFile(HostPath(victim), "not the product's");
    fs::path data = HostPath(folder + "\\uninstall\\Uninstall.DAT");
    WriteHostFile(data, victim + "\r\n" + ReadHostFile(data));

    RunResult run = UninstallQuietly(name);
    EXPECT_FALSE(run.timedOut) << "a quiet removal waited for someone";
    EXPECT_THAT(run.debugOutput, ::testing::HasSubstr("is corrupt"));
    EXPECT_TRUE(fs::exists(HostPath(victim))) << "a file named by the changed data was deleted";
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\app.txt"))) << "nothing is removed on changed data";
}

// An upgrade that no longer ships a file keeps it in the uninstall data, so
// that the uninstaller still removes it.
TEST(UninstallHardening, AFileOnlyTheOlderVersionShippedIsRemovedAfterAnUpgrade) {
    const std::string name = Unique("Upgrade Residue");
    const std::string folder = InstallFolderOf(name);
    TestProduct first = MakeProduct(name);
    first.items.push_back(FileItem("app.txt", "version 1"));
    first.items.push_back(FileItem("legacy.dll", "only in version 1", u"old\\"));
    ASSERT_EQ(InstallSilently(WriteInstaller(first, "upgrade-residue-1.exe")).exitCode, 1);
    TestProduct second = MakeProduct(name);
    second.settings.displayVersion = u"2.0.0";
    second.items.push_back(FileItem("app.txt", "version 2"));
    ASSERT_EQ(InstallSilently(WriteInstaller(second, "upgrade-residue-2.exe")).exitCode, 1);
    ASSERT_TRUE(fs::exists(HostPath(folder + "\\old\\legacy.dll")));

    RunResult run = UninstallQuietly(name);
    EXPECT_EQ(run.stdoutText, "0") << run.debugOutput;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); }))
        << "left behind: " << (fs::exists(HostPath(folder + "\\old\\legacy.dll")) ? "legacy.dll" : "the folder");
}

}  // namespace
}  // namespace palisade::wine
