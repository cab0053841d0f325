// What the wizard's pages do in an interactive installation, worked by the
// spy: the language page's preselection and live switching, the licence's
// read-to-the-end rule, the folder page and the tests of the chosen folder,
// Cancel on the progress page, and an automatic run whose pages advance by
// themselves.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <thread>

#include "payload/settings_flags.h"
#include "ui/resources/resource_ids.h"
#include "wizard_gui_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;
constexpr int kVkPageDown = 0x22;
constexpr int kBoxText = 20001;  // the program's message box: its text
constexpr int kResultYes = 6;

// A region's pixels, to see whether something was drawn anew there.
std::vector<std::uint32_t> Region(const ScreenPixels& screen, int left, int top, int right, int bottom) {
    std::vector<std::uint32_t> pixels;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) pixels.push_back(screen.At(x, y));
    }
    return pixels;
}

TEST(WizardFlowsGui, LanguageIsPreselectedSwitchesThePageAndTheTitleAndCancelEndsTheRun) {
    const std::string name = "Wizard Language " + std::to_string(::getpid());
    TestProduct product = WizardProduct(name, 1);
    product.settings.titlePosition = 2;  // the default title (message 0), top centre
    product.settings.titleColor = 0xFFFFFF;
    product.items.push_back(FileItem("app.exe", "the program"));
    GuiRun gui(WriteInstaller(product, "wizard-language-" + std::to_string(::getpid()) + ".exe"), {},
               {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";

    // A German user: the German language is chosen, and the page speaks it.
    std::uintptr_t page = gui.WaitForDialog(SecondLanguageText(94, name));
    ASSERT_NE(page, 0u);
    SpyWindow german = gui.spy().Describe(page);
    const SpyControl* list = german.Find(IDC_LANGUAGE_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items, (std::vector<std::string>{"English", "German"}));
    EXPECT_EQ(list->selected, 1);
    EXPECT_EQ(german.Control(IDC_PAGE_TEXT).text, SecondLanguageText(82, name));
    EXPECT_EQ(german.Control(IDC_CANCEL).text, SecondLanguageText(49, name));
    std::optional<ScreenPixels> before = ScreenPixels::Capture();
    ScreenshotOf("language-german", german.rect, 16);

    // Choosing English switches the page and the background's title at once.
    gui.spy().Select(page, IDC_LANGUAGE_LIST, 0);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    SpyWindow english = gui.spy().Describe(page);
    EXPECT_EQ(english.title, EnglishText(94, name));
    EXPECT_EQ(english.Control(IDC_PAGE_TEXT).text, EnglishText(82, name));
    EXPECT_EQ(english.Control(IDC_NEXT).text, "&Next >");
    std::optional<ScreenPixels> after = ScreenPixels::Capture();
    ASSERT_TRUE(before && after);
    EXPECT_NE(Region(*before, 200, 0, 1080, 60), Region(*after, 200, 0, 1080, 60)) << "the title changed";
    EXPECT_EQ(Region(*before, 0, 900, 300, 1000), Region(*after, 0, 900, 300, 1000)) << "nothing else did";

    EXPECT_TRUE(gui.spy().Click(page, IDC_CANCEL));
    ExpectCancelMessage(gui, name);
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(name)))) << "nothing was installed";
}

TEST(WizardFlowsGui, TheLicenceIsAcceptedOnlyOnceReadToTheEndAndNeverByEnter) {
    const std::string name = "Wizard Licence " + std::to_string(::getpid());
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags2 |= Flags2::kNoGreetingPage;
    product.settings.installerOptions |= kOptionLicenceReadToEnd;
    // The first fits on the page; the second must be scrolled through.
    product.settings.licenceTexts = {LongDocument("A short licence", 2), LongDocument("A long licence", 300)};
    product.items.push_back(FileItem("app.exe", "the program"));
    GuiRun gui(WriteInstaller(product, "wizard-licence-" + std::to_string(::getpid()) + ".exe"), {});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";

    auto nextEnabled = [&gui](std::uintptr_t page) {
        const SpyControl* next = gui.spy().Describe(page).Find(IDC_NEXT);
        return next != nullptr && next->enabled;
    };
    auto waitUntilEnabled = [&](std::uintptr_t page) {
        for (int i = 0; i < 20 && !nextEnabled(page); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(250));
        return nextEnabled(page);
    };
    std::uintptr_t page = gui.WaitForDialog(EnglishText(44, name));
    ASSERT_NE(page, 0u);
    EXPECT_TRUE(waitUntilEnabled(page)) << "a document that needs no scrolling enables Accept at once";
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    ASSERT_TRUE(gui.spy().WaitGone(page));

    page = gui.WaitForDialog(EnglishText(44, name));
    ASSERT_NE(page, 0u);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    SpyWindow shown = gui.spy().Describe(page);
    EXPECT_EQ(shown.Control(IDC_DOCUMENT).text.rfind("A long licence", 0), 0u);
    EXPECT_FALSE(shown.Control(IDC_NEXT).enabled) << "not read to the end yet";
    EXPECT_EQ(gui.spy().FocusedControl(page), IDC_DOCUMENT);
    gui.spy().Key(page, IDC_DOCUMENT, kVkReturn);
    gui.spy().Key(page, IDC_CANCEL, kVkReturn);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(gui.spy().Describe(page).Control(IDC_NEXT).enabled);
    EXPECT_TRUE(gui.spy().Describe(page).enabled) << "Enter accepted nothing";
    ScreenshotOf("licence-unread", shown.rect, 16);

    // Page Down pressed on Decline scrolls the document: 300 lines take some twenty pages.
    for (int i = 0; i < 12; ++i) gui.spy().Key(page, IDC_CANCEL, kVkPageDown);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(nextEnabled(page)) << "not at the end yet";
    for (int i = 0; i < 30; ++i) gui.spy().Key(page, IDC_CANCEL, kVkPageDown);
    EXPECT_TRUE(waitUntilEnabled(page)) << "scrolled to the end";
    gui.spy().Scroll(page, IDC_DOCUMENT, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_TRUE(nextEnabled(page)) << "once enabled, Accept stays enabled";

    // Declining is cancelling.
    EXPECT_TRUE(gui.spy().Click(page, IDC_CANCEL));
    ExpectCancelMessage(gui, name);
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(name) + "\\app.exe")));
}

// Cancel on the progress page asks first (message 28); Escape does not
// cancel; Yes ends the run with exit code 1 and an Install.log that lists
// every file the run had installed.
TEST(WizardFlowsGui, CancelOnTheProgressPageAsksAndLeavesADocumentedRun) {
    const std::string name = "Wizard Cancel " + std::to_string(::getpid());
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags2 |= Flags2::kNoGreetingPage | Flags2::kProgressPage;
    constexpr int kFiles = 600;
    for (int i = 0; i < kFiles; ++i) {
        product.items.push_back(FileItem("file" + std::to_string(i) + ".txt", "file number " + std::to_string(i)));
    }
    GuiRun gui(WriteInstaller(product, "wizard-cancel-" + std::to_string(::getpid()) + ".exe"), {});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
    std::uintptr_t page = gui.WaitForDialog(EnglishText(54, name));
    ASSERT_NE(page, 0u);
    const fs::path folder = HostPath(InstallFolderOf(name));
    for (int i = 0; i < 600 && !fs::exists(folder / "file5.txt"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(fs::exists(folder / "file5.txt")) << "the files are being installed";

    gui.spy().Key(page, IDC_CANCEL, kVkEscape);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(gui.spy().WaitFor("#32770", EnglishText(20, name), std::chrono::milliseconds(500)).has_value())
        << "Escape asks nothing";
    EXPECT_TRUE(gui.spy().Click(page, IDC_CANCEL));
    std::uintptr_t question = gui.WaitForDialog(EnglishText(20, name));
    ASSERT_NE(question, 0u);
    SpyWindow asked = gui.spy().Describe(question);
    EXPECT_EQ(asked.Control(kBoxText).text, EnglishText(28, name));
    EXPECT_NE(asked.Find(kResultYes), nullptr);
    EXPECT_NE(asked.Find(7), nullptr) << "and No";
    ScreenshotOf("progress-cancel-question", asked.rect, 16);
    EXPECT_TRUE(gui.spy().Click(question, kResultYes));
    ExpectCancelMessage(gui, name);
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;

    // Whatever was installed is named in Install.log, which says the run was cancelled.
    std::string log = InstallLogOf(name);
    EXPECT_NE(log.find(EnglishText(98, name)), std::string::npos) << log;
    int installed = 0;
    for (int i = 0; i < kFiles; ++i) {
        std::string file = "file" + std::to_string(i) + ".txt";
        if (!fs::exists(folder / file)) continue;
        ++installed;
        EXPECT_NE(log.find(file + " >>> "), std::string::npos) << file << " is installed but not in the log";
    }
    EXPECT_GE(installed, 6);
    EXPECT_LT(installed, kFiles) << "the run stopped where it was cancelled";
}

// The folder page's labels follow the edit; every refused folder says why
// and returns to the page; an existing folder is confirmed (No returns to
// the page), a new one is confirmed and made, and the product goes there.
TEST(WizardFlowsGui, TheFolderPageRefusesUnsafeFoldersAndInstallsIntoAConfirmedNewOne) {
    const std::string tag = std::to_string(::getpid());
    const std::string name = "Wizard Folder " + tag;
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags1 |= Flags1::kFolderPage;
    product.settings.settingsFlags2 |= Flags2::kNoGreetingPage;
    product.settings.installerOptions |= kOptionShowDiskSpace;
    product.settings.fixedSize = 500u << 20;
    product.items.push_back(FileItem("app.exe", "the program"));
    const std::string existing = "C:\\Palisade Tests\\Existing " + tag;
    const std::string chosen = "C:\\Palisade Tests\\Chosen " + tag + "\\Sub";
    fs::create_directories(HostPath(existing));
    GuiRun gui(WriteInstaller(product, "wizard-folder-" + tag + ".exe"), {});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";

    std::uintptr_t page = gui.WaitForDialog(EnglishText(24, name));
    ASSERT_NE(page, 0u);
    auto labels = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        SpyWindow shown = gui.spy().Describe(page);
        return std::pair{shown.Control(IDC_SPACE_REQUIRED).text, shown.Control(IDC_SPACE_AVAILABLE).text};
    };
    auto [required, available] = labels();
    EXPECT_EQ(required, "Space needed: 500 MB");
    EXPECT_NE(available, "Space free: 0 bytes") << "the drive of the default folder has room";
    // A missing drive has no free space; a network path leaves the label as it was.
    gui.spy().SetText(page, IDC_FOLDER_EDIT, "Q:\\Demo");
    EXPECT_EQ(labels(), std::pair(required, std::string("Space free: 0 bytes")));
    gui.spy().SetText(page, IDC_FOLDER_EDIT, "\\\\server\\share\\Demo");
    EXPECT_EQ(labels(), std::pair(required, std::string("Space free: 0 bytes")));

    // Typing stops at 259 characters (a text set whole is not cut).
    const std::string longest = "C:\\" + std::string(254, 'x');  // 257 characters: two more fit
    gui.spy().SetText(page, IDC_FOLDER_EDIT, longest);
    for (int i = 0; i < 3; ++i) gui.spy().Key(page, IDC_FOLDER_EDIT, 'A');
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const std::string typedLong = gui.spy().Describe(page).Control(IDC_FOLDER_EDIT).text;
    EXPECT_EQ(typedLong.size(), 259u) << typedLong;

    // Browse opens the system's browser with message 11 as its prompt; what
    // it returns on OK replaces the edit's text. (Which folder it starts at,
    // and whether OK returns one at all, is the browser's: Wine's does not
    // select a start folder it is given, and on some machines returns none.)
    const std::string typed = existing + "\\Not Made Yet";
    gui.spy().SetText(page, IDC_FOLDER_EDIT, typed);
    BrowseAndAcceptTheFolderBrowser(gui, page, EnglishText(11, name));
    const std::string picked = gui.spy().Describe(page).Control(IDC_FOLDER_EDIT).text;
    EXPECT_EQ(picked.substr(1, 2), ":\\") << picked;

    // Each refusal shows its message over the folder and returns to the page.
    const std::pair<std::string, std::string> refusals[] = {
        {"  ", EnglishText(14, name)},
        {"C:\\windows\\", EnglishText(16, name) + "\r\n\r\nC:\\windows"},
        {"C:\\Program Files", EnglishText(18, name) + "\r\n\r\nC:\\Program Files"},
        {"C:\\", EnglishText(18, name) + "\r\n\r\nC:\\"},
        {"Q:\\Demo", "Drive Q: is not present. Please choose another folder.\r\n\r\nQ:\\Demo"},
        {"C:\\Palisade Tests\\a<b", EnglishText(17, name) + "\r\n\r\nC:\\Palisade Tests\\a<b"},
    };
    for (const auto& [folder, message] : refusals) {
        SCOPED_TRACE(folder);
        gui.spy().SetText(page, IDC_FOLDER_EDIT, folder);
        EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
        std::uintptr_t box = gui.WaitForDialog(EnglishText(20, name));
        ASSERT_NE(box, 0u);
        EXPECT_EQ(gui.spy().Describe(box).Control(kBoxText).text, message);
        EXPECT_TRUE(gui.spy().Click(box, 1));
        page = gui.WaitForDialog(EnglishText(24, name));
        ASSERT_NE(page, 0u);
    }

    // An existing folder is confirmed with message 22; No returns to the page.
    gui.spy().SetText(page, IDC_FOLDER_EDIT, existing);
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    std::uintptr_t box = gui.WaitForDialog(EnglishText(20, name));
    EXPECT_EQ(gui.spy().Describe(box).Control(kBoxText).text, EnglishText(22, name) + "\r\n\r\n" + existing);
    EXPECT_TRUE(gui.spy().Click(box, 7));
    page = gui.WaitForDialog(EnglishText(24, name));
    ASSERT_NE(page, 0u);
    EXPECT_EQ(gui.spy().Describe(page).Control(IDC_FOLDER_EDIT).text, existing) << "the page keeps the folder";

    // A new folder (with a trailing backslash) is confirmed with message 23, made, and installed into.
    gui.spy().SetText(page, IDC_FOLDER_EDIT, chosen + "\\");
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    box = gui.WaitForDialog(EnglishText(20, name));
    EXPECT_EQ(gui.spy().Describe(box).Control(kBoxText).text, EnglishText(23, name) + "\r\n\r\n" + chosen);
    EXPECT_TRUE(gui.spy().Click(box, kResultYes));
    std::uintptr_t finish = gui.WaitForDialog(EnglishText(43, name));
    EXPECT_TRUE(gui.spy().Click(finish, 1));
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath(chosen + "\\app.exe")), "the program");
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(name)))) << "nothing went to the default folder";
    EXPECT_TRUE(fs::is_empty(HostPath(existing))) << "nor into the folder refused with No";
}

TEST(WizardFlowsGui, AnAutomaticRunShowsItsPagesAndAdvancesThemByItself) {
    const std::string name = "Wizard Automatic " + std::to_string(::getpid());
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags1 |= Flags1::kGreetingPage;  // shown even in an automatic run
    product.settings.settingsFlags2 |= Flags2::kProgressPage;
    product.items.push_back(FileItem("app.exe", "the program"));
    GuiRun gui(WriteInstaller(product, "wizard-automatic-" + std::to_string(::getpid()) + ".exe"), {"/a"});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
    std::uintptr_t greeting = gui.WaitForDialog(EnglishText(65, name));
    ASSERT_NE(greeting, 0u);
    EXPECT_TRUE(gui.spy().WaitGone(greeting, std::chrono::seconds(20))) << "the greeting went on by itself";
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath(InstallFolderOf(name) + "\\app.exe")), "the program");
}

// /silent shows nothing, even when the settings ask for the greeting, the
// language and the progress pages.
TEST(WizardFlowsGui, ASilentRunShowsNoWindowWhateverPagesTheSettingsAskFor) {
    const std::string name = "Wizard Silent " + std::to_string(::getpid());
    TestProduct product = WizardProduct(name, 1);
    product.settings.settingsFlags1 |= Flags1::kGreetingPage;
    product.settings.licenceTexts = {LongDocument("A licence", 3)};
    product.items.push_back(FileItem("app.exe", "the program"));
    GuiRun gui(WriteInstaller(product, "wizard-silent-" + std::to_string(::getpid()) + ".exe"), {"/silent"});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
    std::vector<std::string> seen;
    while (!gui.run().Finished()) {
        for (const SpyWindow& window : gui.spy().Windows()) seen.push_back(window.className + " " + window.title);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    RunResult result = gui.run().Wait(std::chrono::seconds(1));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_TRUE(seen.empty()) << seen.front();
    EXPECT_EQ(ReadHostFile(HostPath(InstallFolderOf(name) + "\\app.exe")), "the program");
}

}  // namespace
}  // namespace palisade::wine
