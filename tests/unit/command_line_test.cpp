// Command-line parsing: atoms, switches, their transformations and complaints.
#include "startup/command_line.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace palisade {
namespace {

// Stands in for the ANSI code page: Latin-1 passes, anything else becomes '?'.
std::string Latin1(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x100 ? char(c) : '?');
    return out;
}

CommandLineResult Parse(std::u16string_view arguments) { return ParseCommandLine(arguments, Latin1); }

TEST(CommandLine, AutomaticSwitchAcceptsSlashDashAndAnyCase) {
    for (auto atom : {u"/A", u"-a", u"/a"}) {
        CommandLineResult r = Parse(atom);
        EXPECT_FALSE(r.usageComplaint);
        EXPECT_TRUE(r.options.automatic);
        EXPECT_FALSE(r.options.silent);
    }
}

TEST(CommandLine, AutomaticSwitchWithExtraLetterIsIllegal) {
    CommandLineResult r = Parse(u"/ab");
    ASSERT_TRUE(r.usageComplaint);
    EXPECT_EQ(*r.usageComplaint, u"Illegal command line atom:\r\nab");
}

TEST(CommandLine, InstallPathDropsQuotesAndOneTrailingBackslash) {
    EXPECT_EQ(Parse(u"/d:\"C:\\Program Files\\App\\\"").options.installPathOverride, u"C:\\Program Files\\App");
    EXPECT_EQ(Parse(u"/D:C:\\App\\\\").options.installPathOverride, u"C:\\App\\");
    // A quote only at the start is kept: the pair must be complete.
    EXPECT_EQ(Parse(u"/d:\"C:\\App").options.installPathOverride, u"\"C:\\App");
}

TEST(CommandLine, ProductNameOverrideDropsSurroundingQuotesOnly) {
    EXPECT_EQ(Parse(u"/n:\"My App\"").options.productNameOverride, u"My App");
    EXPECT_EQ(Parse(u"/N:Plain\\").options.productNameOverride, u"Plain\\");
}

TEST(CommandLine, UninstallTakesNameAfterColon) {
    CommandLineResult r = Parse(u"/u:\"My Product\"");
    EXPECT_TRUE(r.options.uninstall);
    EXPECT_EQ(r.options.uninstallProductName, u"My Product");
}

TEST(CommandLine, BareUninstallSetsTheFlagWithoutName) {
    for (auto atom : {u"/u", u"/U", u"-u"}) {
        CommandLineResult r = Parse(atom);
        EXPECT_FALSE(r.usageComplaint) << std::string(atom, atom + 2);
        EXPECT_TRUE(r.options.uninstall);
        EXPECT_TRUE(r.options.uninstallProductName.empty());
    }
}

TEST(CommandLine, OtherWordsStartingWithUAreNotTheUninstallSwitch) {
    // "/update" must not remove the product: only "u" and "u:" name the uninstaller.
    for (auto atom : {u"/update", u"-uninstall", u"/Uxyz"}) {
        CommandLineResult r = Parse(atom);
        EXPECT_FALSE(r.options.uninstall) << std::string(atom, atom + 3);
        ASSERT_TRUE(r.usageComplaint.has_value());
        EXPECT_EQ(r.usageComplaint->rfind(u"Illegal command line atom:\r\n", 0), 0u);
    }
}

TEST(CommandLine, RunOnExitTurnsBackQuotesIntoQuotes) {
    CommandLineResult r = Parse(u"/r:\"C:\\App\\run.exe `arg one`\"");
    EXPECT_EQ(r.options.programToRunOnExit, u"C:\\App\\run.exe \"arg one\"");
}

TEST(CommandLine, RunOnExitNeedsTheOpeningQuote) {
    CommandLineResult r = Parse(u"/r:C:\\run.exe");
    ASSERT_TRUE(r.usageComplaint);
    EXPECT_EQ(*r.usageComplaint, u"Illegal command line atom:\r\nr:C:\\run.exe");
}

TEST(CommandLine, BatchAdditionsSplitOnDoubleTildeAndConvertToAnsi) {
    CommandLineResult r = Parse(u"/b1:\"echo `a`~~echo b\" /B2:\"del x\" -b3:\"echo \u00e9\u4e00\"");
    ASSERT_FALSE(r.usageComplaint);
    EXPECT_EQ(r.options.batchAdditions[0], "echo \"a\"\r\necho b");
    EXPECT_EQ(r.options.batchAdditions[1], "del x");
    EXPECT_EQ(r.options.batchAdditions[2], "echo \xe9?");
}

TEST(CommandLine, SilentImpliesAutomaticAndMinIsUndocumented) {
    CommandLineResult r = Parse(u"/SILENT -min");
    EXPECT_TRUE(r.options.silent);
    EXPECT_TRUE(r.options.automatic);
    EXPECT_TRUE(r.options.minimised);
}

TEST(CommandLine, AtomWithoutSlashOrDashIsUnexpected) {
    CommandLineResult r = Parse(u"/a setup.ini");
    ASSERT_TRUE(r.usageComplaint);
    EXPECT_EQ(*r.usageComplaint, u"Unexpected command line parameter:\r\nsetup.ini");
    EXPECT_TRUE(r.options.automatic) << "switches before the bad atom stay in effect";
}

TEST(CommandLine, QuotedStretchKeepsBlanksAndQuotesInsideTheAtom) {
    CommandLineResult r = Parse(u"  /n:\"A  B\"\t/a");
    EXPECT_EQ(r.options.productNameOverride, u"A  B");
    EXPECT_TRUE(r.options.automatic);
}

TEST(CommandLine, TwentiethAtomIsIgnoredEvenWhenIllegal) {
    std::u16string line;
    for (int i = 0; i < 19; ++i) line += u"/a ";
    EXPECT_FALSE(Parse(line + u"/bogus").usageComplaint);
    EXPECT_FALSE(Parse(line + u"stray").usageComplaint);
    std::u16string eighteen;
    for (int i = 0; i < 18; ++i) eighteen += u"/a ";
    EXPECT_TRUE(Parse(eighteen + u"/bogus").usageComplaint) << "the 19th atom is still read";
}

TEST(CommandLine, LoneSlashIsAnEmptySwitchAndIgnored) {
    CommandLineResult r = Parse(u"/ /a");
    EXPECT_FALSE(r.usageComplaint);
    EXPECT_TRUE(r.options.automatic);
}

TEST(CommandLine, SkipProgramPathHandlesQuotedPathsWithBlanks) {
    EXPECT_EQ(SkipProgramPath(u"\"C:\\My Dir\\setup.exe\"   /a"), u"/a");
    EXPECT_EQ(SkipProgramPath(u"setup.exe"), u"");
}

TEST(CommandLine, UsageTextNamesComplaintAndProgram) {
    std::u16string text = FormatUsage(u"Product name required", u"setup.exe");
    EXPECT_EQ(text.rfind(u"Product name required\r\n\r\nUsage:\r\nsetup.exe [/a] [/b1:\"commands\"]", 0), 0u);
    EXPECT_NE(text.find(u"\r\n/a                  \tAutomatic mode.\r\n/d:\"dir\"        \tOverride"),
              std::u16string::npos);
    std::u16string_view tail = u"\r\n/silent\tDisplay no user interface.";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

}  // namespace
}  // namespace palisade
