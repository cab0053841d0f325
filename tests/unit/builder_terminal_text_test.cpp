// Text from an installer printed safely: control characters escaped on the terminal and in JSON.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "builder/installer_builder.h"
#include "builder_test_support.h"
#include "common/progress.h"
#include "common/report_tree.h"
#include "common/terminal_text.h"
#include "inspector/examine_command.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(TerminalText, EscapesWhatATerminalWouldActOn) {
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"plain C:\\Program Files\\x", "plain C:\\Program Files\\x"},  // backslashes stay
        {"line\nnext\ttab", "line\nnext\ttab"},
        {"\x1b[2Jcleared", "\\x1b[2Jcleared"},
        {"over\rwrite", "over\\x0dwrite"},
        {"bell\x07", "bell\\x07"},
        {"del\x7f", "del\\x7f"},
        {"c1 \xc2\x9b" "31m", "c1 \\x9b31m"},                  // CSI as a C1 control
        {"\xe2\x80\xae" "exe.txt", "\\u{202e}exe.txt"},          // right-to-left override
        {"\xe2\x81\xa6isolate", "\\u{2066}isolate"},
        {"caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80"},
        {"bad \xff byte", "bad \\xff byte"},
        {"cut \xe6\x97", "cut \\xe6\\x97"},                      // a sequence cut short
        {"overlong \xc0\xaf", "overlong \\xc0\\xaf"},
        {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(TerminalSafe(c.text), c.shown) << c.text;
}

TEST(TerminalText, JsonEscapesControlsAndReplacesInvalidBytes) {
    ReportValue report = ReportValue::Object();
    report.Set("name", std::string("a\x1b[31m\xe2\x80\xae\xff\"\\\n"));
    std::string json = RenderJson(report);
    EXPECT_THAT(json, HasSubstr("\"a\\u001b[31m\\u202e\\ufffd\\\"\\\\\\n\""));
}

TEST(TerminalText, TheInspectorPrintsNamesFromTheInstallerEscaped) {
    testing::TempFolder folder;
    folder.Write("one.txt", "1");
    Diagnostics diagnostics;
    std::optional<Project> project = testing::ReadProjectText(
        folder, "ProductName = \"Evil\\u001b]0;owned\\u0007\"\n[[files]]\nsource = \"one.txt\"\n", diagnostics);
    ASSERT_TRUE(project) << ::testing::PrintToString(testing::Messages(diagnostics));
    Progress quiet(true);
    std::optional<BuildSummary> summary = BuildInstaller(*project, ::palisade::testing::MakeStub(), quiet, diagnostics);
    ASSERT_TRUE(summary);
    std::string path = folder.Write("setup.exe", std::string(summary->image.begin(), summary->image.end())).string();

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunInspectCommand({path}), 0);
    std::string text = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(text, HasSubstr("Evil\\x1b]0;owned\\x07"));
    EXPECT_THAT(text, Not(HasSubstr("\x1b")));
    EXPECT_THAT(text, Not(HasSubstr("\x07")));
}

TEST(TerminalText, TheInspectorRefusesAFileNoInstallerCanBeWithoutReadingIt) {
    testing::TempFolder folder;
    std::filesystem::path path = folder.Write("huge.exe", "MZ");
    std::filesystem::resize_file(path, (std::uintmax_t(1) << 32) + 1);  // sparse: nothing is written
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunInspectCommand({path.string()}), 1);
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("an installer is at most 4 GiB"));
}

}  // namespace
}  // namespace palisade::tools
