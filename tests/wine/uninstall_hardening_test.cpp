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

}  // namespace
}  // namespace palisade::wine
