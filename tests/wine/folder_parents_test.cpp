// The folders above the installation folder: the ones an installation made
// for it go with the product once empty, the ones it found stay.
#include <gtest/gtest.h>

#include <unistd.h>

#include "install_support.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

TEST(FolderParents, ParentsTheInstallationMadeGoAndParentsItFoundStay) {
    const std::string name = Unique("Folder Parents");
    const std::string made = "C:\\PalisadeParents" + std::to_string(::getpid());
    const std::string found = "C:\\PalisadeFound" + std::to_string(::getpid());  // made before the installation
    fs::remove_all(HostPath(made));
    fs::remove_all(HostPath(found));
    fs::create_directories(HostPath(found));
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    const std::string installer = WriteInstaller(product, "folder-parents.exe");

    const std::string leaf = "Product" + std::to_string(::getpid());
    for (const std::string& folder : {made + "\\Vendor\\" + leaf, found + "\\" + leaf}) {
        RunResult install = InstallSilently(installer, {"/d:" + folder});
        ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
        ASSERT_TRUE(fs::exists(HostPath(folder + "\\app.exe"))) << folder << install.debugOutput;
        std::string uninstaller = folder + "\\uninstall\\uninstall.exe";
        RunResult removal =
            RunProgram(ProbePath(), WithArguments({"run-line", uninstaller, "/a /u:\"" + name + "\""}));
        EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
        // The running uninstaller's folder goes with its self-removal script, after it ends.
        EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); })) << folder;
    }
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(made)); })) << "both levels this installation made go";
    EXPECT_TRUE(fs::exists(HostPath(found))) << "a folder that was there stays, even when empty";
    fs::remove_all(HostPath(found));
}

}  // namespace
}  // namespace palisade::wine
