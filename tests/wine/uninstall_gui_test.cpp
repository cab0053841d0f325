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

constexpr int kBoxText = 20001;  // the program's message box: its text
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
// address lacks its scheme: no offer is made. A folder swapped for a link
// since the installation is not gone through, and the end message lists
// the file it could not remove.
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
    product.items.push_back(FileItem("guide.txt", "the product's guide", u"docs\\"));
    RunResult install = InstallSilently(WriteInstaller(product, "uninstall-font-asked.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    const std::string folder = InstallFolderOf(name);
    const std::string elsewhere = "C:\\Palisade Tests\\Elsewhere " + name;
    fs::remove_all(HostPath(folder + "\\docs"));
    WriteHostFile(HostPath(elsewhere + "\\guide.txt"), "not the product's");
    fs::create_directory_symlink(HostPath(elsewhere), HostPath(folder + "\\docs"));

    BackgroundRun run = StartUninstaller(name);
    ASSERT_TRUE(WaitForWindow("Removing " + name, run));
    EXPECT_TRUE(AnswerWindow("Removing " + name, "y"));
    ASSERT_TRUE(WaitForWindow("Remove Font?", run)) << "no question about the font";
    EXPECT_TRUE(AnswerWindow("Remove Font?", "n"));
    const std::string failed = name + " Setup";
    ASSERT_TRUE(WaitForWindow(failed, run)) << "no end message with the failures";
    {
        Spy spy;  // the title names this product only: no process to follow
        std::optional<std::uintptr_t> box = spy.WaitFor("#32770", failed, std::chrono::seconds(30));
        ASSERT_TRUE(box.has_value());
        const SpyWindow shown = spy.Describe(*box);
        const SpyControl* text = shown.Find(kBoxText);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text.rfind("Some items could not be removed:\r\n\r\n", 0), 0u) << text->text;
        EXPECT_NE(text->text.find(folder + "\\docs\\guide.txt"), std::string::npos) << text->text;
    }
    EXPECT_TRUE(AnswerWindow(failed, "Return"));
    RunResult removed = run.Wait(std::chrono::seconds(120));
    EXPECT_EQ(removed.stdoutText, "0") << removed.debugOutput;
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\app.exe"))) << "everything else goes";
    EXPECT_EQ(ReadHostFile(HostPath(elsewhere + "\\guide.txt")), "not the product's");
    fs::remove(HostPath(folder + "\\docs"));
    fs::remove_all(HostPath(folder));
    fs::remove_all(HostPath(elsewhere));

    const fs::path installed = HostPath("C:\\windows\\Fonts\\" + file);
    EXPECT_TRUE(fs::exists(installed));
    EXPECT_EQ(RegQueryValue(fontsKey, face), file);
    std::error_code ignored;
    fs::remove(installed, ignored);
    RegChange({"delete", fontsKey, "/v", face});
}

}  // namespace
}  // namespace palisade::wine
