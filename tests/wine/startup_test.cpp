// The stub's start-up under Wine: the fatal path, the command line, and that
// silent runs show nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(StubStartup, BareStubReportsNoInstallationData) {
    RunResult r = RunProgram(StubPath(), WithArguments({"/silent"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.debugOutput, "There is no installation data present.")) << r.debugOutput;
    EXPECT_TRUE(Contains(r.debugOutput, "You should not delete this program or execute it directly."));
}

TEST(StubStartup, UnknownSwitchEndsWithUsage) {
    RunResult r = RunProgram(StubPath(), WithArguments({"/silent", "/bogus"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.debugOutput, "Illegal command line atom:\r\nbogus\r\n\r\nUsage:\r\n")) << r.debugOutput;
    EXPECT_TRUE(Contains(r.debugOutput, "/silent\tDisplay no user interface.")) << r.debugOutput;
    EXPECT_FALSE(Contains(r.debugOutput, "no installation data")) << "the payload is not looked for";
}

TEST(StubStartup, BareUninstallSwitchAsksForProductName) {
    RunResult r = RunProgram(StubPath(), WithArguments({"/silent", "/u"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.debugOutput, "Product name required\r\n\r\nUsage:\r\n")) << r.debugOutput;
}

// Names of windows the stub could show: the error box and anything with the
// program's caption.
bool IsStubWindow(const std::string& name) { return name == "Error" || Contains(name, "Palisade"); }

TEST(StubStartupGui, SilentRunShowsNoWindow) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    BackgroundRun run(StubPath(), WithArguments({"/silent"}));
    bool sawWindow = false;
    while (!run.Finished()) {
        auto names = TopLevelWindowNames();
        sawWindow = sawWindow || std::any_of(names.begin(), names.end(), IsStubWindow);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    RunResult r = run.Wait(std::chrono::seconds(1));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(sawWindow);
    EXPECT_TRUE(Contains(r.debugOutput, "There is no installation data present."));
}

TEST(StubStartupGui, FatalMessageIsShownUntilDismissed) {
    PrivateDisplay display;
    if (!display.Ready()) GTEST_SKIP() << "no X server for the test";
    BackgroundRun run(StubPath(), WithArguments({}));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    bool shown = false;
    while (!shown && !run.Finished() && std::chrono::steady_clock::now() < deadline) {
        auto names = TopLevelWindowNames();
        shown = std::find(names.begin(), names.end(), "Error") != names.end();
        if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    ASSERT_TRUE(shown) << "no error box appeared";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(Screenshot("fatal-no-installation-data"));
    EXPECT_FALSE(run.Finished()) << "the box must wait for the user";
    EXPECT_TRUE(PressKeyInWindow("Error", "Return"));
    RunResult r = run.Wait(std::chrono::seconds(60));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
}

}  // namespace
}  // namespace palisade::wine
