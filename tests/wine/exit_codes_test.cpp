// The exit codes deployment tools read, when the author asks for them:
// 0 success, 3010 success with a restart needed, 1602 cancelled, 1603 failed,
// from the installer and from the uninstaller it leaves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "payload/settings_flags.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TestProduct DeployedProduct(const std::string& name, const char16_t* version) {
    TestProduct product = MakeProduct(name);
    product.payloadFlags |= PayloadFlags::kDeploymentExitCodes;
    product.settings.displayVersion = version;
    product.settings.noDowngradeBelow = "1.0.0";
    product.items.push_back(FileItem("app.txt", "app"));
    return product;
}

// The probe prints the whole exit code (Wine hands Linux only its low 8 bits).
std::string ExitCodeOf(const fs::path& installer, const std::string& arguments) {
    return RunProgram(ProbePath(), WithArguments({"run-line", "Z:" + installer.string(), arguments})).stdoutText;
}

TEST(DeploymentExitCodes, SuccessRestartRefusalAndRemovalEachHaveTheirCode) {
    const std::string name = Unique("Deployed");
    const std::string folder = InstallFolderOf(name);
    fs::remove_all(HostPath(folder));

    EXPECT_EQ(ExitCodeOf(WriteInstaller(DeployedProduct(name, u"1.0.0"), "deployed-1.exe"), "/silent"), "0");

    TestProduct restarting = DeployedProduct(name, u"1.1.0");
    restarting.settings.settingsFlags1 |= Flags1::kRestartRequired;  // an author's product that needs a restart
    EXPECT_EQ(ExitCodeOf(WriteInstaller(restarting, "deployed-2.exe"), "/silent"), "3010");

    // A refused downgrade fails, and says why in the installed product's log.
    EXPECT_EQ(ExitCodeOf(WriteInstaller(DeployedProduct(name, u"0.9.0"), "deployed-0.exe"), "/silent"), "1603");
    EXPECT_THAT(InstallLogOf(name), HasSubstr("Installation refused: This version of " + name +
                                              " cannot replace the installed one: versions older than 1.0.0"));

    // A version that needs the old one removed first cannot ask in a silent
    // run: it is refused too, and the installed version stays.
    TestProduct removeFirst = DeployedProduct(name, u"2.0.0");
    removeFirst.settings.settingsFlags1 |= Flags1::kMustUninstallOlder;
    EXPECT_EQ(ExitCodeOf(WriteInstaller(removeFirst, "deployed-3.exe"), "/silent"), "1603");
    EXPECT_THAT(InstallLogOf(name), HasSubstr("Installation refused: An earlier version of " + name +
                                              " must be removed before this version can be installed."));
    EXPECT_EQ(RegQueryValue(kUninstallKey + name, "DisplayVersion"), "1.1.0");

    // The uninstaller learns the choice from the product key.
    RunResult removal = UninstallQuietly(name);
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); }));
}

TEST(DeploymentExitCodesGui, AFailedInstallationAndACancelledRemoval) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    const std::string name = Unique("Deployed Cancel");
    fs::remove_all(HostPath(InstallFolderOf(name)));
    TestProduct broken = DeployedProduct(name, u"1.0.0");
    broken.settings.firewallRules = u"8765;Sync;3";  // malformed: the run stops with a fatal error
    EXPECT_EQ(ExitCodeOf(WriteInstaller(broken, "deployed-broken.exe"), "/silent"), "1603");

    EXPECT_EQ(ExitCodeOf(WriteInstaller(DeployedProduct(name, u"1.0.0"), "deployed-good.exe"), "/silent"), "0");
    std::string uninstaller = InstallFolderOf(name) + "\\uninstall\\uninstall.exe";
    BackgroundRun run(ProbePath(), WithArguments({"run-line", uninstaller, "/u:\"" + name + "\""}));
    ASSERT_TRUE(WaitForWindow("Removing " + name, run)) << "no confirmation question";
    EXPECT_TRUE(AnswerWindow("Removing " + name, "n"));
    EXPECT_EQ(run.Wait(std::chrono::seconds(120)).stdoutText, "1602");
    EXPECT_EQ(UninstallQuietly(name).stdoutText, "0");
}

}  // namespace
}  // namespace palisade::wine
