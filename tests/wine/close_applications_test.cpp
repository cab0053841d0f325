// Running programs named by the applications-to-close list, under Wine: the
// real installer and uninstaller close, quit or end them by their windows'
// classes and titles, and leave alone what the list does not name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "core/text.h"
#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// Exit codes of the window program (tests/wine/fixtures/window_app.c).
constexpr int kEndedByCloseMessage = 7;
constexpr int kEndedByQuitMessage = 8;

fs::path WindowApp() { return fs::path(PALISADE_FIXTURE_DIR) / "palisade_window_app.exe"; }

// Names no other test (nor another run of this one) uses.
// One running window program; ended by force when the test leaves it running.
class RunningWindow {
public:
    RunningWindow(const std::string& className, const std::string& title) {
        static int counter = 0;
        const std::string markerFolder = "C:\\Palisade Tests\\window markers";
        fs::create_directories(HostPath(markerFolder));
        m_marker = markerFolder + "\\" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".txt";
        fs::remove(HostPath(m_marker));
        RunOptions options = WithArguments({className, title, m_marker});
        options.captureDebugOutput = false;
        m_run = std::make_unique<BackgroundRun>(WindowApp(), options);
    }

    // True once the window exists (the program writes its marker then).
    bool WaitUntilShown() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(HostPath(m_marker))) return true;
            if (m_run->Finished()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Gives a program that was told to end a moment to do so.
    bool EndsWithin(std::chrono::seconds wait) {
        auto deadline = std::chrono::steady_clock::now() + wait;
        while (!m_run->Finished()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }

    bool Running() { return !m_run->Finished(); }
    void Kill() { m_run.reset(); }
    int ExitCode() { return m_run->Wait(std::chrono::seconds(1)).exitCode; }

private:
    std::string m_marker;
    std::unique_ptr<BackgroundRun> m_run;  // its destructor kills a program still running
};

AutoCloseEntry Entry(const std::string& classPattern, const std::string& titlePattern, std::uint8_t action,
                     std::uint8_t phaseMask = 1) {
    return {Utf8ToUtf16(classPattern), Utf8ToUtf16(titlePattern), u"Window Program", action, phaseMask};
}

TestProduct ProductWith(const std::string& name, std::vector<AutoCloseEntry> entries) {
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.txt", "the product's only file"));
    product.settings.autoCloseEntries = std::move(entries);
    return product;
}

std::string FileNameOf(const std::string& name) {
    std::string file;
    for (char c : name) file += c == ' ' ? '-' : c;
    return file + ".exe";
}

#define REQUIRE_WINDOW_APP()                                                                      \
    if (!fs::exists(WindowApp())) GTEST_SKIP() << "the window program fixture was not built"

TEST(CloseApplicationsWine, CloseQuitAndTerminateEndTheirPrograms) {
    REQUIRE_WINDOW_APP();
    const std::string name = Unique("Close Actions");
    const std::string id = std::to_string(::getpid());
    RunningWindow closed("PalisadeCloseWnd" + id, "Closed program");
    RunningWindow quit("PalisadeQuitWnd" + id, "Quit program");
    RunningWindow ended("PalisadeEndWnd" + id, "Ended program");
    RunningWindow bystander("PalisadeOtherWnd" + id, "Closed program");  // same title, class not named
    ASSERT_TRUE(closed.WaitUntilShown() && quit.WaitUntilShown() && ended.WaitUntilShown() &&
                bystander.WaitUntilShown());

    TestProduct product = ProductWith(name, {Entry("PalisadeCloseWnd" + id, "", 0),
                                             Entry("PalisadeQuitWnd" + id, "Quit program", 1),
                                             Entry("PalisadeEndWnd" + id, "", 3)});
    RunResult run = InstallSilently(WriteInstaller(product, FileNameOf(name)));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    ASSERT_TRUE(closed.EndsWithin(std::chrono::seconds(30)));
    EXPECT_EQ(closed.ExitCode(), kEndedByCloseMessage);
    ASSERT_TRUE(quit.EndsWithin(std::chrono::seconds(30)));
    EXPECT_EQ(quit.ExitCode(), kEndedByQuitMessage);
    ASSERT_TRUE(ended.EndsWithin(std::chrono::seconds(30)));
    EXPECT_EQ(ended.ExitCode(), 0) << "terminated with exit code 0";
    EXPECT_TRUE(bystander.Running()) << "a window whose class no entry names stays";
    EXPECT_THAT(InstallLogOf(name), HasSubstr("app.txt"));
}

TEST(CloseApplicationsWine, TitlePatternsCompareCaseAndWholeTitles) {
    REQUIRE_WINDOW_APP();
    const std::string name = Unique("Close Titles");
    const std::string id = std::to_string(::getpid());
    RunningWindow contains("PalisadeTitleWnd", "Report " + id + " - Word");
    RunningWindow otherCase("PalisadeTitleWnd", "Report " + id + " - word");
    RunningWindow exact("PalisadeTitleWnd", "Exact " + id);
    RunningWindow longer("PalisadeTitleWnd", "Exact " + id + " and more");
    ASSERT_TRUE(contains.WaitUntilShown() && otherCase.WaitUntilShown() && exact.WaitUntilShown() &&
                longer.WaitUntilShown());

    TestProduct product = ProductWith(name, {Entry("", "*" + id + " - Word", 0), Entry("", "Exact " + id, 0)});
    RunResult run = InstallSilently(WriteInstaller(product, FileNameOf(name)));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    ASSERT_TRUE(contains.EndsWithin(std::chrono::seconds(30)));
    EXPECT_EQ(contains.ExitCode(), kEndedByCloseMessage);
    ASSERT_TRUE(exact.EndsWithin(std::chrono::seconds(30)));
    EXPECT_EQ(exact.ExitCode(), kEndedByCloseMessage);
    EXPECT_TRUE(otherCase.Running()) << "\"word\" is not \"Word\"";
    EXPECT_TRUE(longer.Running()) << "a pattern without a star matches only the whole title";
}

TEST(CloseApplicationsWine, AskEntryInSilentModeLeavesTheProgramAndTheRunGoesOn) {
    REQUIRE_WINDOW_APP();
    const std::string name = Unique("Close Ask Silent");
    const std::string id = std::to_string(::getpid());
    RunningWindow asked("PalisadeAskWnd" + id, "Asked program");
    ASSERT_TRUE(asked.WaitUntilShown());

    TestProduct product = ProductWith(name, {Entry("PalisadeAskWnd" + id, "", 2)});
    RunResult run = InstallSilently(WriteInstaller(product, FileNameOf(name)));
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    EXPECT_THAT(InstallLogOf(name), HasSubstr("app.txt")) << "the installation completed";
    EXPECT_TRUE(asked.Running());
}

TEST(CloseApplicationsWine, GuiAskCancelledEndsTheRunBeforeAnythingIsInstalled) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    REQUIRE_WINDOW_APP();
    const std::string name = Unique("Close Ask Cancel");
    const std::string id = std::to_string(::getpid());
    RunningWindow asked("PalisadeAskCancelWnd" + id, "Asked program");
    ASSERT_TRUE(asked.WaitUntilShown());
    fs::remove_all(HostPath(InstallFolderOf(name)));

    TestProduct product = ProductWith(name, {Entry("PalisadeAskCancelWnd" + id, "", 2)});
    BackgroundRun run(WriteInstaller(product, FileNameOf(name)), WithArguments({"/a"}));
    ASSERT_TRUE(WaitForWindow(name + " Setup", run)) << "the question, captioned by message 65";
    Screenshot("close-applications-ask");
    EXPECT_TRUE(AnswerWindow(name + " Setup", "Escape"));
    ASSERT_TRUE(WaitForWindow("Cancelled", run)) << "the abort message, captioned by message 111";
    EXPECT_TRUE(AnswerWindow("Cancelled", "Return"));
    RunResult result = run.Wait(std::chrono::seconds(120));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(name) + "\\app.txt"))) << "nothing was installed";
    EXPECT_TRUE(asked.Running());
}

TEST(CloseApplicationsWine, GuiAskRetryAsksAgainUntilTheProgramIsGone) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    REQUIRE_WINDOW_APP();
    const std::string name = Unique("Close Ask Retry");
    const std::string id = std::to_string(::getpid());
    RunningWindow asked("PalisadeAskRetryWnd" + id, "Asked program");
    ASSERT_TRUE(asked.WaitUntilShown());

    TestProduct product = ProductWith(name, {Entry("PalisadeAskRetryWnd" + id, "", 2)});
    BackgroundRun run(WriteInstaller(product, FileNameOf(name)), WithArguments({"/a"}));
    ASSERT_TRUE(WaitForWindow(name + " Setup", run));
    // Retry (the first button) while the program still runs: the question comes back.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    PressKeyInWindow(name + " Setup", "Return");
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_TRUE(WindowShown(name + " Setup")) << "asked again";
    EXPECT_FALSE(run.Finished());
    asked.Kill();
    EXPECT_TRUE(AnswerWindow(name + " Setup", "Return"));
    RunResult result = run.Wait(std::chrono::seconds(120));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(ReadHostFile(HostPath(InstallFolderOf(name) + "\\app.txt")), "the product's only file");
}

TEST(CloseApplicationsWine, OwnWindowsAreNeverClosed) {
    // The walk itself, in a process whose own window the entry names: ending
    // the process (3) or closing the window (0) would show here.
    for (const char* action : {"0", "3"}) {
        std::string className = "PalisadeOwnWnd" + std::to_string(::getpid()) + "-" + action;
        RunResult probe = RunProgram(ProbePath(), WithArguments({"close-own-window", className, action}));
        EXPECT_EQ(probe.stdoutText, "kept") << "action " << action << ": " << probe.stderrText;
        EXPECT_EQ(probe.exitCode, 0);
    }

    // The installer with an entry that ends any program whose window title
    // holds the product's name, as the installer's own windows' titles do.
    const std::string name = Unique("Close Own Windows");
    TestProduct product = ProductWith(name, {Entry("", "*" + name, 3)});
    RunResult run = InstallSilently(WriteInstaller(product, FileNameOf(name)));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    EXPECT_THAT(InstallLogOf(name), HasSubstr("app.txt"));
}

TEST(CloseApplicationsWine, UninstallerClosesItsEntriesAndInstallOnlyEntriesStayBehind) {
    REQUIRE_WINDOW_APP();
    const std::string name = Unique("Close At Uninstall");
    const std::string id = std::to_string(::getpid());
    RunningWindow forUninstaller("PalisadeUninstWnd" + id, "Uninstall-time program");
    ASSERT_TRUE(forUninstaller.WaitUntilShown());

    TestProduct product = ProductWith(name, {Entry("PalisadeUninstWnd" + id, "", 0, 2),
                                             Entry("PalisadeInstallOnly" + id, "", 0, 1),
                                             Entry("PalisadeBoth" + id, "*Both", 3, 1 | 4)});
    RunResult install = InstallSilently(WriteInstaller(product, FileNameOf(name)));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    EXPECT_TRUE(forUninstaller.Running()) << "an entry for the uninstaller only is not used at installation";

    const std::string folder = InstallFolderOf(name);
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, HasSubstr("\r\n\r\n[AutoClose]\r\nPalisadeUninstWnd" + id + ",,Window Program,0\r\n"
                                "PalisadeBoth" + id + ",*Both,Window Program,3\r\n"));
    EXPECT_THAT(data, Not(HasSubstr("PalisadeInstallOnly")));

    std::string uninstaller = folder + "\\uninstall\\uninstall.exe";
    RunResult uninstall = RunProgram(ProbePath(), WithArguments({"run-line", uninstaller, "/a /u:\"" + name + "\""}));
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    ASSERT_TRUE(forUninstaller.EndsWithin(std::chrono::seconds(30)));
    EXPECT_EQ(forUninstaller.ExitCode(), kEndedByCloseMessage);
}

}  // namespace
}  // namespace palisade::wine
