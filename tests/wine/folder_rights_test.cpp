// The "grant folder rights" setting opens the installation folder to all
// users, but never the folder that holds the uninstaller and Uninstall.DAT:
// whoever may change those could make an administrator run their program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "install_support.h"
#include "payload/settings_flags.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(FolderRights, TheUninstallerFolderKeepsItsAccessWhenTheInstallationFolderIsOpened) {
    const std::string name = Unique("Granted Rights");
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags2 |= Flags2::kGrantFolderRights;
    product.items.push_back(FileItem("data.txt", "shared data"));
    RunResult run = InstallSilently(WriteInstaller(product, "granted-rights.exe"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;
    const std::string folder = InstallFolderOf(name);

    EXPECT_TRUE(EveryoneMayWrite(folder)) << AccessListOf(folder);
    // Wine keeps neither the protection of the uninstall folder's list nor
    // inheritance into new files, so only the files' own entries can be
    // checked here: nothing gives everyone the uninstaller.
    EXPECT_FALSE(EveryoneMayWrite(folder + "\\uninstall\\uninstall.exe")) << AccessListOf(folder + "\\uninstall\\uninstall.exe");
    EXPECT_FALSE(EveryoneMayWrite(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_FALSE(EveryoneMayWrite(folder + "\\uninstall\\Install.log"));
}

TEST(FolderRights, AnInstallationFolderThatHoldsTheUninstallerIsNotOpened) {
    const std::string name = Unique("Granted Rights Flat");
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags2 |= Flags2::kGrantFolderRights;
    product.settings.uninstallSubdir = u"";
    product.items.push_back(FileItem("data.txt", "shared data"));
    RunResult run = InstallSilently(WriteInstaller(product, "granted-rights-flat.exe"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;
    const std::string folder = InstallFolderOf(name);
    EXPECT_FALSE(EveryoneMayWrite(folder)) << AccessListOf(folder);
    EXPECT_FALSE(EveryoneMayWrite(folder + "\\uninstall.exe"));
    EXPECT_THAT(ReadHostFile(HostPath(folder + "\\Install.log")),
                HasSubstr("Rights to directory \"" + folder + "\" are not granted: it holds the uninstaller.\r\n"));
}

}  // namespace
}  // namespace palisade::wine
