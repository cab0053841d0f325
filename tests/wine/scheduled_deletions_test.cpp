// The settings' conditional deletions under Wine: the ones for installation
// run before any file is written and log what they did; the ones for
// uninstallation travel in Uninstall.DAT and run when the product goes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

const char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

FileDeletion Deletion(const std::string& pattern, std::uint8_t flags, std::uint8_t condition = 0,
                      const std::string& reference = "") {
    FileDeletion deletion;
    deletion.pathPattern = pattern;
    deletion.condition = condition;
    deletion.reference = reference;
    deletion.flags = flags;
    return deletion;
}

TEST(ScheduledDeletionsWine, InstallationDeletionsRunFirstAndLogWhatTheyDid) {
    const std::string name = Unique("Deletions At Install");
    const std::string folder = InstallFolderOf(name);
    fs::remove_all(HostPath(folder));
    for (const char* file : {"one.tmp", "two.tmp", "keep.txt"}) WriteHostFile(HostPath(folder + "\\" + file), "old");
    WriteHostFile(HostPath(folder + "\\small.log"), std::string(10, 's'));
    WriteHostFile(HostPath(folder + "\\exact.log"), std::string(20, 'e'));
    WriteHostFile(HostPath(folder + "\\later.dat"), "in the way");
    WriteHostFile(HostPath(folder + "\\user.cache"), "kept until uninstallation");

    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    product.items.push_back(FileItem("fresh.tmp", "written after the deletions"));
    product.settings.fileDeletions = {
        Deletion("*.tmp", kDeleteAtInstall),
        Deletion("*.log", kDeleteAtInstall, 4, "20"),
        Deletion("later.dat", kDeleteAtInstall | kDeleteAtRestart),
        Deletion("*.cache", kDeleteAtUninstall),
    };
    RunResult run = InstallSilently(WriteInstaller(product, "deletions-at-install.exe"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;

    EXPECT_FALSE(fs::exists(HostPath(folder + "\\one.tmp")));
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\two.tmp")));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\fresh.tmp")), "written after the deletions");
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\keep.txt")));
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\small.log"))) << "condition 4 deletes only the size named";
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\exact.log")));
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\later.dat"))) << "flag 0x1 never deletes at once";
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\user.cache"))) << "an uninstallation deletion ran at install";

    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr("Deleted file: " + folder + "\\one.tmp\r\n"));
    EXPECT_THAT(log, HasSubstr("Deleted file: " + folder + "\\exact.log\r\n"));
    EXPECT_THAT(log, Not(HasSubstr("small.log")));
    EXPECT_THAT(log, HasSubstr("File \"" + folder + "\\later.dat\" will be deleted after rebooting.\r\n"));
    std::optional<std::string> flags = RegQueryValue(kUninstallKey + name, "ProductFlags");
    ASSERT_TRUE(flags.has_value());
    EXPECT_NE(std::stoull(*flags) & 0x4000, 0u) << "the restart need is recorded: " << *flags;

    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, HasSubstr("[ConditionalDelete]\r\n*.cache,0,,8\r\n"));
    EXPECT_THAT(data, Not(HasSubstr("*.tmp,"))) << "installation-only deletions do not travel";

    // Leave no deletion of this test for a later restart of the shared prefix.
    RunProgram(ProbePath(), WithArguments({"cancel-pending", folder + "\\later.dat"}));
}

TEST(ScheduledDeletionsWine, UninstallationDeletionsTakeTheFilesTheProgramLeft) {
    const std::string name = Unique("Deletions At Uninstall");
    const std::string folder = InstallFolderOf(name);
    fs::remove_all(HostPath(folder));
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    product.settings.fileDeletions = {Deletion("cache\\*.bin", kDeleteAtUninstall),
                                      Deletion("settings.ini", kDeleteAtUninstall, 4, "3"),
                                      // A damaged date keeps its files and never stops the removal.
                                      Deletion("*.cache", kDeleteAtUninstall, 2, "2024,13,45")};
    RunResult install = InstallSilently(WriteInstaller(product, "deletions-at-uninstall.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;

    // What the program itself created while it was in use.
    WriteHostFile(HostPath(folder + "\\cache\\a.bin"), "cached");
    WriteHostFile(HostPath(folder + "\\cache\\b.bin"), "cached");
    WriteHostFile(HostPath(folder + "\\settings.ini"), "user's own settings, longer than three bytes");
    WriteHostFile(HostPath(folder + "\\user.cache"), "kept");
    std::string uninstaller = folder + "\\uninstall\\uninstall.exe";
    RunResult uninstall =
        RunProgram(ProbePath(), WithArguments({"run-line", uninstaller, "/a /u:\"" + name + "\""}));
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;

    EXPECT_FALSE(fs::exists(HostPath(folder + "\\cache"))) << "the cache files and then their folder went";
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\app.exe")));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\settings.ini")), "user's own settings, longer than three bytes")
        << "a file whose size differs from the reference is kept";
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\user.cache")), "kept") << "a bad date keeps the file";
    fs::remove_all(HostPath(folder));
}

}  // namespace
}  // namespace palisade::wine
