// The installation log: run-log appends, failure entries and code rendering,
// the Install.log header and file layout over successive runs, and the choice
// of the finish message.
#include <gtest/gtest.h>

#include <vector>

#include "log/failure_list.h"
#include "log/finish_message.h"
#include "log/install_log_text.h"
#include "log/run_log.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

class RecordingSink : public RunLogSink {
public:
    void Write(std::u16string_view text) override { lines.emplace_back(text); }
    std::vector<std::u16string> lines;
};

TEST(InstallLogRunLog, EveryAppendEndsAsUtf8) {
    RunLog log;
    log.AppendNarrow("caf\xE9 \x80\r\n");  // Windows-1252
    log.AppendWide(u"\u65E5\u672C\r\n");
    log.AppendWidePieces({u"The CLI ", u"C:\\x\\cmd.exe", u" does not exist!\r\n"});
    log.AppendFormattedWide(u"%s=%d\r\n", {u"n", 42});
    log.AppendFormattedNarrow("%s: %d %s\r\n", "na\xEFve", 7, std::string("\x93q\x94"));
    log.AppendRaw("raw \xFF\xFE bytes\r\n");  // kept as given, even when not UTF-8
    EXPECT_EQ(log.Bytes(),
              "caf\xC3\xA9 \xE2\x82\xAC\r\n"
              "\xE6\x97\xA5\xE6\x9C\xAC\r\n"
              "The CLI C:\\x\\cmd.exe does not exist!\r\n"
              "n=42\r\n"
              "na\xC3\xAFve: 7 \xE2\x80\x9Cq\xE2\x80\x9D\r\n"
              "raw \xFF\xFE bytes\r\n");
}

TEST(InstallLogRunLog, SinkGetsEachAppendWithoutItsOuterLineBreaks) {
    RunLog log;
    RecordingSink sink;
    log.SetSink(&sink);
    log.AppendNarrow("\r\nRunning Pre-Installation Batch...\r\n");
    log.AppendNarrow("\r\n\r\n");  // nothing visible: not sent
    log.AppendWide(u"Creating restore point...");
    log.AppendWide(u"first\r\nsecond\r\n");
    log.SetSink(nullptr);
    log.AppendWide(u"unseen\r\n");
    EXPECT_EQ(sink.lines, (std::vector<std::u16string>{u"Running Pre-Installation Batch...",
                                                      u"Creating restore point...", u"first\r\nsecond"}));
}

TEST(InstallLogRunLog, TheErrorNotificationGetsTheLogAsInstallLogHasIt) {
    EXPECT_EQ(RunLogReportText("a.txt >>> C:\\P\\a.txt\r\n", u""), "a.txt >>> C:\\P\\a.txt\r\n");
    EXPECT_EQ(RunLogReportText("line\r\n", u"Failed: b.dll\r\n\u00e9\r\n"),
              "line\r\n\r\n*** FAILURE SUMMARY ***\r\nFailed: b.dll\r\n\xC3\xA9\r\n");
}

TEST(InstallLogFailures, CodesWithTheTopBitSetAreHex) {
    struct Case {
        std::uint32_t code;
        const char16_t* text;
    };
    const Case cases[] = {{0, u"0"},
                          {5, u"5"},
                          {1223, u"1223"},
                          {0x7FFFFFFF, u"2147483647"},
                          {0x80000000, u"0x80000000"},
                          {0x80070005, u"0x80070005"},
                          {0x8007000A, u"0x8007000A"},
                          {0xFFFFFFFF, u"0xFFFFFFFF"}};
    for (const Case& c : cases) EXPECT_EQ(RenderErrorCode(c.code), c.text) << c.code;
}

TEST(InstallLogFailures, EntryHasACodeLineOnlyWithALastError) {
    ErrorTexts denied{u"Access denied.", u"Access denied."};
    EXPECT_EQ(FailureEntry(u"Failed:", u"C:\\App\\a.dll", 0, denied), u"Failed: C:\\App\\a.dll\r\n");
    EXPECT_EQ(FailureEntry(u"Failed:", u"C:\\App\\a.dll", 5, denied),
              u"Failed: C:\\App\\a.dll\r\nCode 5: Access denied.\r\n\r\n");
    EXPECT_EQ(FailureEntry(u"Failed:", u"key", 0x80070005, {u"Denied.", u""}),
              u"Failed: key\r\nCode 0x80070005: Denied.\r\n\r\n");
}

TEST(InstallLogFailures, EnglishTextFollowsADifferentTranslation) {
    EXPECT_EQ(DescribeErrorCode(5, {u"Zugriff verweigert", u"Access is denied."}),
              u"Zugriff verweigert\r\nAccess is denied.");
    EXPECT_EQ(DescribeErrorCode(5, {u"Access is denied.", u"Access is denied."}), u"Access is denied.");
    EXPECT_EQ(DescribeErrorCode(5, {u"Zugriff verweigert", u""}), u"Zugriff verweigert");
    // Code 86 always reads the same, whatever the system says.
    EXPECT_EQ(DescribeErrorCode(86, {u"Das Netzwerkkennwort ist falsch.", u"The specified network password is not correct."}),
              u"Incorrect password.");
}

InstallLogHeader FullHeader() {
    InstallLogHeader header;
    header.productName = u"My App";
    header.installTime = {2026, 3, 9, 14, 5, 7};
    header.looksForExistingInstall = true;
    header.existingInstall = 2;
    header.installFolder = u"C:\\Program Files\\My App";
    header.buildDate = {2025, 12, 1};
    header.productVersion = u"2.0";
    header.overwrittenVersion = u"1.5";
    header.osDescription = u"Windows 10 Pro x64";
    return header;
}

TEST(InstallLogHeaderText, AllLinesInOrder) {
    EXPECT_EQ(FormatInstallLogHeader(FullHeader()),
              u"Installation log for: My App\r\n"
              u"Install date: 2026/03/09 14:05:07\r\n"
              u"Install type: Upgrade\r\n"
              u"Install location: C:\\Program Files\\My App\r\n"
              u"Installer version: 44.0.1\r\n"
              u"Installer built: 2025/12/01\r\n"
              u"Product version: 2.0\r\n"
              u"Overwriting version: 1.5\r\n"
              u"Operating system: Windows 10 Pro x64\r\n"
              u"\r\n");
}

TEST(InstallLogHeaderText, OptionalLinesLeftOutWhenTheirFactIsMissing) {
    InstallLogHeader header = FullHeader();
    header.looksForExistingInstall = false;
    header.buildDate = {2025, 0, 1};  // no month: the settings carry no date
    header.productVersion.clear();
    header.overwrittenVersion.clear();
    EXPECT_EQ(FormatInstallLogHeader(header),
              u"Installation log for: My App\r\n"
              u"Install date: 2026/03/09 14:05:07\r\n"
              u"Install location: C:\\Program Files\\My App\r\n"
              u"Installer version: 44.0.1\r\n"
              u"Operating system: Windows 10 Pro x64\r\n"
              u"\r\n");
}

TEST(InstallLogHeaderText, InstallTypeWords) {
    EXPECT_EQ(InstallTypeWord(0), u"New");
    EXPECT_EQ(InstallTypeWord(1), u"Reinstall");
    EXPECT_EQ(InstallTypeWord(2), u"Upgrade");
    EXPECT_EQ(InstallTypeWord(3), u"Downgrade");
    EXPECT_EQ(InstallTypeWord(7), u"7");
}

InstallLogSection SimpleSection(const char* runLog, const char16_t* failures) {
    InstallLogSection section;
    section.header.productName = u"App";
    section.header.installTime = {2026, 1, 2, 3, 4, 5};
    section.header.installFolder = u"C:\\App";
    section.header.osDescription = u"Windows 7";
    section.runLog = runLog;
    section.failures = failures;
    section.successText = u"Installation complete.";
    return section;
}

const char kSimpleHeader[] =
    "Installation log for: App\r\nInstall date: 2026/01/02 03:04:05\r\nInstall location: C:\\App\r\n"
    "Installer version: 44.0.1\r\nOperating system: Windows 7\r\n\r\n";

TEST(InstallLogFile, FirstRunStartsWithTheByteOrderMarkAndNoSeparator) {
    std::string file = ComposeInstallLog("", SimpleSection("Installing: a.exe\r\n", u""));
    EXPECT_EQ(file, std::string("\xEF\xBB\xBF") + kSimpleHeader + "Installing: a.exe\r\n\r\nInstallation complete.\r\n");
}

TEST(InstallLogFile, SecondRunAppendsTheSeparatorAndANewHeader) {
    std::string first = ComposeInstallLog("", SimpleSection("one\r\n", u""));
    std::string second = ComposeInstallLog(first, SimpleSection("two\r\n", u""));
    EXPECT_EQ(second, first + "\r\n\r\n" + std::string(46, '*') + "\r\n" + kSimpleHeader +
                          "two\r\n\r\nInstallation complete.\r\n");
    EXPECT_EQ(second.rfind("\xEF\xBB\xBF"), 0u) << "one mark only, at the start";
}

TEST(InstallLogFile, OldWindows1252LogIsConvertedBeforeTheNewRun) {
    std::string old = "Installation log for: Caf\xE9\r\nDone \x80\r\n";
    std::string file = ComposeInstallLog(old, SimpleSection("", u""));
    EXPECT_EQ(file, std::string("\xEF\xBB\xBF") + "Installation log for: Caf\xC3\xA9\r\nDone \xE2\x82\xAC\r\n" +
                        "\r\n\r\n" + std::string(46, '*') + "\r\n" + kSimpleHeader + "\r\nInstallation complete.\r\n");
    EXPECT_EQ(ConvertLegacyLog(""), std::nullopt);
    EXPECT_EQ(ConvertLegacyLog("\xEF\xBB\xBFstill utf-8 \xC3\xA9"), std::nullopt);
}

TEST(InstallLogFile, FailedRunEndsWithTheFailureSummary) {
    std::u16string failures = u"Failed: C:\\App\\b.dll\r\nCode 5: Access denied.\r\n\r\n";
    std::string file = ComposeInstallLog("", SimpleSection("log\r\n", failures.c_str()));
    std::string tail = "log\r\n\r\n*** FAILURE SUMMARY ***\r\nFailed: C:\\App\\b.dll\r\nCode 5: Access denied.\r\n\r\n";
    ASSERT_GE(file.size(), tail.size());
    EXPECT_EQ(file.substr(file.size() - tail.size()), tail);
    EXPECT_EQ(file.find("Installation complete."), std::string::npos);
}

TEST(InstallLogFile, WrittenWhenKeptOrWhenSomethingFailed) {
    EXPECT_FALSE(ShouldWriteInstallLog(false, u""));
    EXPECT_TRUE(ShouldWriteInstallLog(true, u""));
    EXPECT_TRUE(ShouldWriteInstallLog(false, u"Failed: x\r\n"));
}

TEST(InstallLogFinish, MessageFollowsTheOutcomeAndSettings) {
    struct Case {
        const char* name;
        FinishInputs in;
        FinishMessage message;
        std::uint32_t flags2After;
    };
    const std::uint32_t keep = kFlags1KeepInstallLog, showsLog = kFlags2SummaryShowsLog;
    const Case cases[] = {
        {"crash handler", {false, false, true, keep, showsLog, true}, FinishMessage::None, showsLog},
        {"automatic", {true, true, false, keep, 0, true}, FinishMessage::None, 0},
        {"failures", {true, false, true, Flags1::kNoFinishMessage, 0, false}, FinishMessage::AskToViewLog, 0},
        {"switched off", {true, false, false, Flags1::kNoFinishMessage, showsLog, true}, FinishMessage::None, showsLog},
        {"summary with actions", {true, false, false, keep, 0, true}, FinishMessage::SummaryPage, 0},
        {"summary shows log", {true, false, false, keep, showsLog, false}, FinishMessage::SummaryPage, showsLog},
        {"no log to show", {true, false, false, 0, showsLog | 1, false}, FinishMessage::InformationBox, 1},
        {"empty summary", {true, false, false, keep, 0, false}, FinishMessage::InformationBox, 0},
        {"restart follows", {true, false, false, keep | kFlags1NeedsRestart, showsLog, true},
         FinishMessage::InformationBox, showsLog},
    };
    for (const Case& c : cases) {
        FinishChoice choice = ChooseFinishMessage(c.in);
        EXPECT_EQ(choice.message, c.message) << c.name;
        EXPECT_EQ(choice.settingsFlags2, c.flags2After) << c.name;
    }
}

}  // namespace
}  // namespace palisade
