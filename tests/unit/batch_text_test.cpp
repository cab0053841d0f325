// The generated batch file, byte for byte: SET lines, PAUSE removal, code page
// and line breaks, and the joining of command-line additions.
#include <gtest/gtest.h>

#include <map>

#include "core/text.h"
#include "variables/batch_text.h"

namespace palisade {
namespace {

// Stands in for the installer's expansion: known names from the table, every
// other installer name empty.
VariableExpander TableExpander(std::map<std::u16string, std::u16string> values, int* calls = nullptr) {
    return [values, calls](std::u16string_view text) {
        if (calls) ++*calls;
        std::u16string out;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t end = text[i] == u'%' ? text.find(u'%', i + 1) : std::u16string::npos;
            if (end == std::u16string::npos) {
                out.push_back(text[i++]);
                continue;
            }
            auto found = values.find(std::u16string(text.substr(i + 1, end - i - 1)));
            if (found != values.end()) out += found->second;
            i = end + 1;
        }
        return out;
    };
}

VariableExpander SampleExpander(int* calls = nullptr) {
    return TableExpander({{u"Automatic", u"1"},
                          {u"InstallDir", u"C:\\Program Files (x86)\\My App"},
                          {u"Bits", u"64"},
                          {u"ProductName", u"My App"},
                          {u"AppDataAllDir", u"C:\\ProgramData"},
                          {u"InstallDrive", u"C:"},
                          {u"Version", u"2.1"},
                          {u"Portable", u"0"},
                          {u"OS", u"48"},
                          {u"OSDescription", u"Windows 10 Pro x64"},
                          {u"OSServer", u"0"}},
                         calls);
}

// The lines every batch starts with, for SampleExpander's values.
const char kSampleHeader[] =
    "@echo off\r\n"
    "SET Automatic=1\r\n"
    "SET \"InstallDir=C:\\Program Files (x86)\\My App\"\r\n"
    "SET \"Bits=64\"\r\n"
    "SET \"UninstallDir=\"\r\nSET \"SharedDir=\"\r\nSET \"InstallerFilepath=\"\r\nSET \"InstallerDir=\"\r\n"
    "SET \"InstallerFilename=\"\r\nSET \"InstallerDrive=\"\r\nSET \"SystemDir=\"\r\nSET \"DeviceDir=\"\r\n"
    "SET \"MediaDir=\"\r\nSET \"FavoritesDir=\"\r\nSET \"FavoritesAllDir=\"\r\nSET \"FontDir=\"\r\n"
    "SET \"DesktopDir=\"\r\nSET \"DesktopAllDir=\"\r\nSET \"DesktopShortcuts=\"\r\nSET \"DocumentDir=\"\r\n"
    "SET \"DocumentAllDir=\"\r\n"
    "SET \"ProductName=My App\"\r\n"
    "SET \"CompanyName=\"\r\nSET \"ProgramsDir=\"\r\nSET \"ProgramsDir32=\"\r\nSET \"ProgramsDir64=\"\r\n"
    "SET \"StartMenuAllDir=\"\r\nSET \"StartMenuChosen=\"\r\nSET \"StartMenuDir=\"\r\nSET \"SMProgramsDir=\"\r\n"
    "SET \"SMProgramsAllDir=\"\r\nSET \"StartupDir=\"\r\nSET \"StartupAllDir=\"\r\nSET \"CommonDir=\"\r\n"
    "SET \"CommonDir32=\"\r\nSET \"CommonDir64=\"\r\nSET \"Inetpub=\"\r\nSET \"AppDataDir=\"\r\n"
    "SET \"AppDataAllDir=C:\\ProgramData\"\r\n"
    "SET InstallDrive=C:\r\n"
    "SET BootDrive=\r\n"
    "SET Version=2.1\r\n"
    "SET OldVersion=\r\n"
    "SET Portable=0\r\n"
    "SET Existing=\r\nSET NetworkInstall=\r\nSET Language=\r\nSET OldVersionMajor=\r\nSET OldVersionMinor=\r\n"
    "SET OS=48\r\n"
    "SET OSMajor=\r\nSET OSMinor=\r\nSET OSName=\r\n"
    "SET OSDescription=Windows 10 Pro x64\r\n"
    "SET OSServer=0\r\n";

TEST(BatchText, PauseOnlyScriptInAutomaticModeKeepsOnlyCodePageEchoAndSetLines) {
    BatchTextOptions automatic{true, true};
    EXPECT_EQ(BuildBatchFile("   @  pause  \r\n", automatic, SampleExpander()),
              std::string("@chcp 1252 >nul\r\n") + kSampleHeader);
    EXPECT_EQ(BuildBatchFile("\t@pause", automatic, SampleExpander()), std::string("@chcp 1252 >nul\r\n") + kSampleHeader);
}

TEST(BatchText, PauseStaysWhenSomeoneCanPressAKey) {
    BatchTextOptions interactive{false, true};
    EXPECT_EQ(BuildBatchFile("echo one\npause", interactive, SampleExpander()),
              std::string("@chcp 1252 >nul\r\n") + kSampleHeader + "echo one\r\npause\r\n");
}

TEST(BatchText, ValuesAreLookedUpInOneExpansion) {
    int calls = 0;
    BuildBatchFile("echo x", {}, SampleExpander(&calls));
    EXPECT_EQ(calls, 1);
}

TEST(BatchText, RemovesOnlyLinesThatAreExactlyPause) {
    struct Case {
        const char* commands;
        const char* kept;
    };
    const Case cases[] = {
        {"pause", ""},
        {"PAUSE\r\necho a\r\n", "echo a\r\n"},
        {"echo a\npAuSe\necho b", "echo a\necho b"},
        {"  @ \tpause \t\r\n", ""},
        {"@@pause\r\n", "@@pause\r\n"},       // only one at-sign is removed
        {"pause now\r\n", "pause now\r\n"},   // a longer command is kept
        {"echo pause\r\n", "echo pause\r\n"},
        {"pause>nul\r\n", "pause>nul\r\n"},
        {"paus\r\n", "paus\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},             // empty lines are not PAUSE
    };
    for (const Case& c : cases) EXPECT_EQ(RemovePauseLines(c.commands), c.kept) << c.commands;
}

TEST(BatchText, CharacterAbove127ChoosesUtf8FromWindows7On) {
    const std::string commands = "echo \xE9t\xE9 \x80";  // "été €" in Windows-1252
    BatchTextOptions windows7{false, SystemTakesUtf8Batches(2, 6, 1)};
    BatchTextOptions vista{false, SystemTakesUtf8Batches(2, 6, 0)};
    EXPECT_EQ(BuildBatchFile(commands, windows7, SampleExpander()),
              std::string("@chcp 65001 >nul\r\n") + kSampleHeader + "echo \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\r\n");
    EXPECT_EQ(BuildBatchFile(commands, vista, SampleExpander()),
              std::string("@chcp 1252 >nul\r\n") + kSampleHeader + commands + "\r\n");
}

TEST(BatchText, AsciiTextStaysWindows1252EvenWhereUtf8IsAllowed) {
    BatchTextOptions windows10{false, true};
    std::string file = BuildBatchFile("echo plain", windows10, SampleExpander());
    EXPECT_EQ(file.rfind("@chcp 1252 >nul\r\n@echo off\r\n", 0), 0u);
}

TEST(BatchText, NonAsciiValueDecidesTheCodePageToo) {
    auto expand = TableExpander({{u"ProductName", u"Caf\u00E9 \u65E5\u672C \U0001F600"}});
    std::string utf8 = BuildBatchFile("echo x", {false, true}, expand);
    EXPECT_NE(utf8.find("SET \"ProductName=Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80\"\r\n"),
              std::string::npos);
    EXPECT_EQ(utf8.rfind("@chcp 65001 >nul\r\n", 0), 0u);
    // Before Windows 7 what Windows-1252 lacks becomes one "?" per character.
    std::string ansi = BuildBatchFile("echo x", {false, false}, expand);
    EXPECT_NE(ansi.find("SET \"ProductName=Caf\xE9 ?? ?\"\r\n"), std::string::npos);
}

TEST(BatchText, EveryLineBreakBecomesCrLf) {
    struct Case {
        const char* text;
        const char* normalised;
    };
    const Case cases[] = {
        {"a\nb", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb\r\n"},
        {"a\n\rb", "a\r\nb\r\n"},
        {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
        {"a\n\r\nb", "a\r\n\r\nb\r\n"},
        {"a\r\r", "a\r\n\r\n"},
        {"a", "a\r\n"},
        {"", "\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(NormaliseLineBreaks(c.text), c.normalised) << c.text;
}

TEST(BatchText, Utf8BatchesNeedWindows7OrLater) {
    struct Case {
        std::uint32_t platform, major, minor;
        bool utf8;
    };
    const Case cases[] = {{2, 6, 1, true},  {2, 6, 2, true},  {2, 10, 0, true}, {2, 7, 0, true},
                          {2, 6, 0, false}, {2, 5, 2, false}, {1, 4, 90, false}, {0, 0, 0, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(SystemTakesUtf8Batches(c.platform, c.major, c.minor), c.utf8)
            << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST(BatchText, AdditionsGoOnALineOfTheirOwn) {
    EXPECT_EQ(JoinBatchAddition("echo a", "echo b"), "echo a\r\necho b");
    EXPECT_EQ(JoinBatchAddition("echo a\r\n", "echo b"), "echo a\r\necho b");
    EXPECT_EQ(JoinBatchAddition("echo a\n", "echo b"), "echo a\n\r\necho b");
    EXPECT_EQ(JoinBatchAddition("", "echo b"), "\r\necho b");
    // No addition: the batch is unchanged, and an empty one stays empty so
    // that nothing is run for it.
    EXPECT_EQ(JoinBatchAddition("echo a", ""), "echo a");
    EXPECT_EQ(JoinBatchAddition("", ""), "");
}

}  // namespace
}  // namespace palisade
