// The uninstaller run by a person: its confirmation question decides, and
// the end message waits for the user. Keys are typed into Wine's message
// boxes under Xvfb.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

const char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Starts the uninstaller with exactly `/u:"name"`; the probe prints its exit code.
BackgroundRun StartUninstaller(const std::string& name) {
    std::string uninstaller = InstallFolderOf(name) + "\\uninstall\\uninstall.exe";
    return BackgroundRun(ProbePath(), WithArguments({"run-line", uninstaller, "/u:\"" + name + "\""}));
}

// No at the confirmation keeps everything; after Yes the support offer (its
// address passes the test) is declined with Escape, which means Uninstall.
TEST(UninstallGui, NoToTheConfirmationKeepsTheProductAndYesRemovesIt) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    const std::string name = "Uninstall Asked " + std::to_string(::getpid());
    const std::string folder = InstallFolderOf(name);
    TestProduct product = MakeProduct(name);
    product.settings.supportOffer = u"https://support.example.invalid/help";
    product.items.push_back(FileItem("app.exe", "the program"));
    RunResult install = InstallSilently(WriteInstaller(product, "uninstall-asked.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;

    {
        BackgroundRun run = StartUninstaller(name);
        ASSERT_TRUE(WaitForWindow("Removing " + name, run)) << "no confirmation question";
        EXPECT_TRUE(AnswerWindow("Removing " + name, "n"));
        RunResult declined = run.Wait(std::chrono::seconds(120));
        EXPECT_EQ(declined.stdoutText, "1") << declined.debugOutput;
    }
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\app.exe")), "the program");
    EXPECT_TRUE(RegQueryValue(kUninstallKey + name, "InstallLocation").has_value());

    BackgroundRun run = StartUninstaller(name);
    ASSERT_TRUE(WaitForWindow("Removing " + name, run));
    EXPECT_TRUE(AnswerWindow("Removing " + name, "y"));
    ASSERT_TRUE(WaitForWindow("Get Support", run)) << "no support offer";
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\app.exe"))) << "nothing is removed while it is offered";
    EXPECT_TRUE(AnswerWindow("Get Support", "Escape"));
    ASSERT_TRUE(WaitForWindow("Removal Complete", run)) << "no end message";
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\app.exe"))) << "removed before the end message";
    EXPECT_FALSE(run.Finished()) << "the end message waits for the user";
    EXPECT_TRUE(AnswerWindow("Removal Complete", "Return"));
    RunResult removed = run.Wait(std::chrono::seconds(120));
    EXPECT_EQ(removed.stdoutText, "0") << removed.debugOutput;
    EXPECT_FALSE(RegQueryValue(kUninstallKey + name, "InstallLocation").has_value());
}

// The default font rule asks; the user's No keeps the font in the Fonts
// folder and in the system's list while everything else goes. The support
// address lacks its scheme: no offer is made.
TEST(UninstallGui, AFontTheUserKeepsStaysInstalledAndRegistered) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    const fs::path fixture = fs::path(PALISADE_FIXTURE_DIR) / "palisade_fixture_mono.ttf";
    if (!fs::exists(fixture)) GTEST_SKIP() << "the font fixture was not built";
    const std::string tag = std::to_string(::getpid());
    const std::string name = "Uninstall Font Asked " + tag;
    const std::string file = "palisade_asked_" + tag + ".ttf";
    const std::string face = "Palisade Asked Mono " + tag;
    const char fontsKey[] = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    TestProduct product = MakeProduct(name);
    product.settings.supportOffer = u"support.example.invalid";
    product.items.push_back(FileItem("app.exe", "the program"));
    PayloadItem font = FileItem(file, ReadHostFile(fixture));
    font.kind = EntryKind::Font;
    font.info = face;
    product.items.push_back(font);
    RunResult install = InstallSilently(WriteInstaller(product, "uninstall-font-asked.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;

    BackgroundRun run = StartUninstaller(name);
    ASSERT_TRUE(WaitForWindow("Removing " + name, run));
    EXPECT_TRUE(AnswerWindow("Removing " + name, "y"));
    ASSERT_TRUE(WaitForWindow("Remove Font?", run)) << "no question about the font";
    EXPECT_TRUE(AnswerWindow("Remove Font?", "n"));
    ASSERT_TRUE(WaitForWindow("Removal Complete", run));
    EXPECT_TRUE(AnswerWindow("Removal Complete", "Return"));
    RunResult removed = run.Wait(std::chrono::seconds(120));
    EXPECT_EQ(removed.stdoutText, "0") << removed.debugOutput;

    const fs::path installed = HostPath("C:\\windows\\Fonts\\" + file);
    EXPECT_TRUE(fs::exists(installed));
    EXPECT_EQ(RegQueryValue(fontsKey, face), file);
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(name) + "\\app.exe")));
    std::error_code ignored;
    fs::remove(installed, ignored);
    RegChange({"delete", fontsKey, "/v", face});
}

}  // namespace
}  // namespace palisade::wine
