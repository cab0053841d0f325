// The pages and questions around the choice of an installation, worked by
// the spy: the password, the start-menu folder and the summary page with
// what its boxes start; and over an existing installation the reinstall,
// upgrade and downgrade questions and the hand-off to the old uninstaller.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/text.h"
#include "payload/settings_flags.h"
#include "ui/resources/resource_ids.h"
#include "wizard_gui_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

constexpr int kBoxText = 20001;  // the program's message box: its text
constexpr int kResultNo = 7;
constexpr std::uint32_t kFlags2ViewLogChoice = 0x2000000;
const char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Waits until some top-level window's name contains `part`.
bool WaitForWindowNamed(const std::string& part, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const std::string& name : TopLevelWindowNames()) {
            if (name.find(part) != std::string::npos) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

// `format` with each "%s" replaced by the next of `values`.
std::string Formatted(std::string format, const std::vector<std::string>& values) {
    std::size_t at = 0;
    for (const std::string& value : values) {
        at = format.find("%s", at);
        if (at == std::string::npos) break;
        format.replace(at, 2, value);
        at += value.size();
    }
    return format;
}

// A protected product with the start-menu page and a plain summary page: the
// password is asked until it is right, the start-menu name decides whether
// Next can be pressed, and the summary's boxes start what they say.
TEST(WizardQuestionsGui, PasswordStartMenuAndSummaryWorkThroughOneInstallation) {
    const std::string tag = std::to_string(::getpid());
    const std::string name = "Wizard Password " + tag;
    TestProduct product = MakeProduct(name);
    InstallerSettings& s = product.settings;
    s.settingsFlags2 |= Flags2::kNoGreetingPage | Flags2::kStartMenuPage | kFlags2ViewLogChoice;
    s.installPassword = u"Open Sesame";
    s.productStartMenu = u"Palisade Default";
    s.summaryPageVariant = 0;  // plain
    s.summaryDocument = u"%InstallDir%\\readme-" + Utf8ToUtf16(tag) + u".txt";
    s.installerOptions |= kOptionOpenDocumentChecked;
    product.items.push_back(FileItem("app.exe", "the program"));
    product.items.push_back(FileItem("readme-" + tag + ".txt", "read me"));
    GuiRun gui(WriteInstaller(product, "wizard-password-" + tag + ".exe"), {});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";

    // The password: masked, at most 64 characters typed, compared exactly.
    std::uintptr_t page = gui.WaitForDialog(EnglishText(75, name));
    ASSERT_NE(page, 0u);
    SpyWindow asked = gui.spy().Describe(page);
    EXPECT_EQ(asked.Control(IDC_PAGE_TEXT).text, EnglishText(76, name));
    EXPECT_EQ(asked.Control(IDC_PASSWORD_LABEL).text, EnglishText(27, name));
    EXPECT_EQ(asked.Control(IDC_NEXT).text, "OK");
    EXPECT_TRUE(asked.Control(IDC_PASSWORD_EDIT).style & 0x20) << "ES_PASSWORD";
    ScreenshotOf("wizard-password", asked.rect, 16);
    gui.spy().SetText(page, IDC_PASSWORD_EDIT, std::string(62, 'x'));
    for (int i = 0; i < 3; ++i) gui.spy().Key(page, IDC_PASSWORD_EDIT, 'A');
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(gui.spy().Describe(page).Control(IDC_PASSWORD_EDIT).text.size(), 64u);

    gui.spy().SetText(page, IDC_PASSWORD_EDIT, "open sesame");
    const auto pressed = std::chrono::steady_clock::now();
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    std::uintptr_t wrong = gui.WaitForDialog(EnglishText(21, name));
    ASSERT_NE(wrong, 0u);
    EXPECT_GE(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(500));
    EXPECT_EQ(gui.spy().Describe(wrong).Control(kBoxText).text, EnglishText(102, name));
    EXPECT_TRUE(gui.spy().Click(wrong, 1));
    ASSERT_TRUE(gui.spy().WaitGone(wrong));
    // The entry has the focus again once the box is gone for good.
    std::optional<int> focus;
    for (int i = 0; i < 12 && focus != IDC_PASSWORD_EDIT; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        focus = gui.spy().FocusedControl(page);
    }
    EXPECT_EQ(focus, IDC_PASSWORD_EDIT) << "the page stays for the next try";
    gui.spy().SetText(page, IDC_PASSWORD_EDIT, "Open Sesame");
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    ASSERT_TRUE(gui.spy().WaitGone(page));

    // The start-menu page: Next follows the name's validity.
    page = gui.WaitForDialog(EnglishText(89, name));
    ASSERT_NE(page, 0u);
    SpyWindow startMenu = gui.spy().Describe(page);
    EXPECT_EQ(startMenu.Control(IDC_FOLDER_EDIT).text, "Palisade Default");
    EXPECT_EQ(startMenu.Control(IDC_PAGE_TEXT).text, EnglishText(88, name));
    ScreenshotOf("wizard-start-menu", startMenu.rect, 16);
    // Browse opens the system's browser in the programs folder with message
    // 88 as its prompt; what it returns is a name below that folder, never a
    // path (which folder Wine's browser returns on OK is the browser's).
    BrowseAndAcceptTheFolderBrowser(gui, page, EnglishText(88, name));
    const std::string picked = gui.spy().Describe(page).Control(IDC_FOLDER_EDIT).text;
    EXPECT_EQ(picked.find(':'), std::string::npos) << picked;

    const std::pair<std::string, bool> names[] = {
        {"\\Tools", false}, {"Tools\\\\Sub", false}, {"A:B", false}, {"", true}, {"Tools\\Sub", true}};
    for (const auto& [typed, valid] : names) {
        gui.spy().SetText(page, IDC_FOLDER_EDIT, typed);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_EQ(gui.spy().Describe(page).Control(IDC_NEXT).enabled, valid) << typed;
    }
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));

    // The summary: the document's box (checked) and the log's (unchecked),
    // stacked from 64 + 7 units for each of the two hidden boxes.
    page = gui.WaitForDialog(EnglishText(43, name));
    ASSERT_NE(page, 0u);
    SpyWindow summary = gui.spy().Describe(page);
    EXPECT_FALSE(summary.Control(IDC_RUN_PROGRAM).visible);
    EXPECT_FALSE(summary.Control(IDC_OPEN_DOCUMENT2).visible);
    const SpyControl* document = summary.Find(IDC_OPEN_DOCUMENT);
    const SpyControl* log = summary.Find(IDC_VIEW_LOG);
    ASSERT_TRUE(document && log);
    EXPECT_TRUE(document->visible && log->visible);
    EXPECT_EQ(document->text, EnglishText(83, name));
    EXPECT_EQ(log->text, EnglishText(85, name));
    EXPECT_EQ(document->checked, 1);
    EXPECT_EQ(log->checked, 0);
    EXPECT_NEAR(document->units.x, 12, 1);
    EXPECT_NEAR(document->units.y, 78, 1);
    EXPECT_NEAR(log->units.y, 92, 1);
    ScreenshotOf("wizard-summary", summary.rect, 16);
    EXPECT_TRUE(gui.spy().Click(page, IDC_VIEW_LOG));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));

    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_TRUE(WaitForWindowNamed("readme-" + tag + ".txt", std::chrono::seconds(30))) << "the document opens";
    EXPECT_TRUE(WaitForWindowNamed("Install.log", std::chrono::seconds(30))) << "the log opens";
    EXPECT_EQ(RegQueryValue(kUninstallKey + name, "ProductStartMenu"), "Tools\\Sub");
}

TEST(WizardQuestionsGui, ACancelledPasswordInstallsNothing) {
    const std::string tag = std::to_string(::getpid());
    const std::string name = "Wizard Password Cancel " + tag;
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags2 |= Flags2::kNoGreetingPage;
    product.settings.installPassword = u"secret";
    product.items.push_back(FileItem("app.exe", "the program"));
    GuiRun gui(WriteInstaller(product, "wizard-password-cancel-" + tag + ".exe"), {});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
    std::uintptr_t page = gui.WaitForDialog(EnglishText(75, name));
    ASSERT_NE(page, 0u);
    EXPECT_TRUE(gui.spy().Click(page, IDC_CANCEL));
    ExpectCancelMessage(gui, name);
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(name))));
    EXPECT_FALSE(RegQueryValue(kUninstallKey + name, "InstallLocation").has_value());
}

// Over an installed 1.0.0: the same, a newer and an older version each ask
// their question; No changes nothing. Then a version that must have the old
// one removed first hands over to its uninstaller, which starts the
// installer again when it is done.
TEST(WizardQuestionsGui, ExistingInstallationQuestionsAndTheUninstallFirstHandOff) {
    const std::string tag = std::to_string(::getpid());
    const std::string name = "Wizard Existing " + tag;
    const std::string folder = InstallFolderOf(name);
    TestProduct first = MakeProduct(name);
    first.items.push_back(FileItem("app.exe", "version one"));
    RunResult installed = InstallSilently(WriteInstaller(first, "wizard-existing-1-" + tag + ".exe"));
    ASSERT_EQ(installed.exitCode, 1) << installed.debugOutput;

    struct Case {
        std::string version;
        int sentence;  // message 4, 5 or 6
    };
    for (const Case& c : {Case{"1.0.0", 4}, Case{"2.0.0", 5}, Case{"0.9", 6}}) {
        SCOPED_TRACE(c.version);
        TestProduct next = MakeProduct(name);
        next.settings.displayVersion = Utf8ToUtf16(c.version);
        next.settings.settingsFlags2 |= Flags2::kNoGreetingPage;
        next.items.push_back(FileItem("app.exe", "version " + c.version));
        GuiRun gui(WriteInstaller(next, "wizard-existing-" + c.version + "-" + tag + ".exe"), {});
        if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
        std::uintptr_t question = gui.WaitForDialog(EnglishText(2, name));
        ASSERT_NE(question, 0u);
        EXPECT_EQ(gui.spy().Describe(question).Control(kBoxText).text,
                  Formatted(EnglishText(7, name), {EnglishText(c.sentence, name), name, "1.0.0", c.version, folder}));
        EXPECT_TRUE(gui.spy().Click(question, kResultNo));
        ExpectCancelMessage(gui, name);
        RunResult declined = gui.run().Wait(std::chrono::seconds(120));
        EXPECT_EQ(declined.exitCode, 1) << declined.debugOutput;
        EXPECT_EQ(ReadHostFile(HostPath(folder + "\\app.exe")), "version one");
        EXPECT_EQ(RegQueryValue(kUninstallKey + name, "DisplayVersion"), "1.0.0");
    }

    TestProduct third = MakeProduct(name);
    third.settings.displayVersion = u"3.0.0";
    third.settings.settingsFlags1 |= Flags1::kMustUninstallOlder;
    third.settings.settingsFlags2 |= Flags2::kNoGreetingPage;
    third.items.push_back(FileItem("app.exe", "version three"));
    const fs::path installer = WriteInstaller(third, "wizard-existing-3-" + tag + ".exe");
    GuiRun gui(installer, {});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
    std::uintptr_t page = gui.WaitForDialog(EnglishText(21, name));
    ASSERT_NE(page, 0u);
    SpyWindow mustUninstall = gui.spy().Describe(page);
    EXPECT_EQ(mustUninstall.Control(IDC_PAGE_TEXT).text, EnglishText(9, name));
    EXPECT_EQ(mustUninstall.Control(IDC_NEXT).text, EnglishText(104, name));
    ScreenshotOf("wizard-must-uninstall", mustUninstall.rect, 16);
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    RunResult handedOver = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(handedOver.exitCode, 1) << handedOver.debugOutput;
    gui.spy().Follow(installer.filename().string());  // the installer's next process

    // The old version is removed quietly, and this installer, started again,
    // installs into a clean machine and says so.
    std::uintptr_t finish = 0;
    if (std::optional<std::uintptr_t> shown = gui.spy().WaitFor("#32770", EnglishText(43, name), std::chrono::seconds(180))) {
        finish = *shown;
    }
    ASSERT_NE(finish, 0u) << "the installer was not started again";
    EXPECT_TRUE(gui.spy().Click(finish, 1));
    EXPECT_TRUE(gui.spy().WaitGone(finish));
    for (int i = 0; i < 120 && RegQueryValue(kUninstallKey + name, "DisplayVersion") != "3.0.0"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    EXPECT_EQ(RegQueryValue(kUninstallKey + name, "DisplayVersion"), "3.0.0");
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\app.exe")), "version three");
}

}  // namespace
}  // namespace palisade::wine
