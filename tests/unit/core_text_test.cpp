// The core's text conversions and comparisons, which every reader and log line goes through.
#include <gtest/gtest.h>

#include "core/command_arguments.h"
#include "core/program_narrow.h"
#include "core/text.h"

namespace palisade {
namespace {

TEST(CoreText, Utf8ToUtf16ReplacesEveryKindOfInvalidInput) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"plain", u"plain"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},            // four bytes: a surrogate pair
        {"a\xFF" "b", u"a\uFFFD" "b"},                  // a byte that never starts a sequence
        {"a\xC3", u"a\uFFFD"},                          // cut short at the end
        {"\xC0\xAF", u"\uFFFD"},                        // overlong form of '/': one mark for the sequence
        {"\xED\xA0\x80x", u"\uFFFDx"},                  // an encoded surrogate
        {"\xE2\x82", u"\uFFFD"},                        // two of three bytes
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
}

TEST(CoreText, Utf16ToUtf8ReplacesLoneSurrogatesAndKeepsPairs) {
    EXPECT_EQ(Utf16ToUtf8(u""), "");
    EXPECT_EQ(Utf16ToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD83D))), "\xEF\xBF\xBD");  // high alone at the end
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDE00), u'x'}), "\xEF\xBF\xBDx");  // low without high
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xD83D), u'x'}), "\xEF\xBF\xBDx");  // high without low
    // Round trip of every code point class the program meets.
    std::u16string mixed = u"A\u00FF\u0100\u20AC\uFFFD\U00010000\U0010FFFF";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(mixed)), mixed);
}

TEST(CoreText, Windows1252UsesTheCodePageForTheHighControlRange) {
    EXPECT_EQ(Windows1252ToUtf16("\x80\x9F\xA0\xFF"), u"\u20AC\u0178\u00A0\u00FF");
    EXPECT_EQ(Windows1252ToUtf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");  // unassigned stay C1
    EXPECT_EQ(Windows1252ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(CoreText, ProgramNarrowIsPlainForAsciiAndMarkedUtf8Otherwise) {
    EXPECT_EQ(EncodeProgramNarrow(u"C:\\Program Files"), "C:\\Program Files");
    EXPECT_EQ(EncodeProgramNarrow(u"C:\\\u00DCber"), "|C:\\\xC3\x9C" "ber");
    EXPECT_EQ(EncodeProgramNarrow(u""), "");
    for (std::u16string text : {std::u16string(u"plain"), std::u16string(u"\u00DCber \u4E2D"), std::u16string()}) {
        EXPECT_EQ(DecodeProgramNarrow(EncodeProgramNarrow(text)), text);
    }
    EXPECT_EQ(DecodeProgramNarrow("\xDC" "ber"), u"\u00DCber");  // an older store's Windows-1252
}

TEST(CoreText, CaseFoldingCoversLatinGreekAndCyrillicButNotTheOddLetters) {
    EXPECT_TRUE(EqualsIgnoreCase(u"Program Files", u"PROGRAM FILES"));
    EXPECT_TRUE(EqualsIgnoreCase(u"\u00E9t\u00E9", u"\u00C9T\u00C9"));
    EXPECT_TRUE(EqualsIgnoreCase(u"\u0101\u013A", u"\u0100\u0139"));  // both parities of Latin Extended-A
    EXPECT_TRUE(EqualsIgnoreCase(u"\u03B1\u0451", u"\u0391\u0401"));
    EXPECT_FALSE(EqualsIgnoreCase(u"\u0131", u"I"));  // dotless i is not folded
    EXPECT_FALSE(EqualsIgnoreCase(u"\u00F7", u"\u00D7"));  // division and multiplication signs
    EXPECT_FALSE(EqualsIgnoreCase(u"abc", u"abcd"));
    EXPECT_TRUE(StartsWithIgnoreCase(u"HKLM\\Software", u"hklm\\"));
    EXPECT_FALSE(StartsWithIgnoreCase(u"HK", u"hklm"));
    EXPECT_EQ(FindIgnoreCase(u"a\\WINDOWS\\x", u"windows"), 2u);
    EXPECT_EQ(FindIgnoreCase(u"abc", u"d"), std::u16string::npos);
}

TEST(CoreText, NumbersAndReplacement) {
    EXPECT_EQ(ToU16(0), u"0");
    EXPECT_EQ(ToU16(-2147483648LL), u"-2147483648");
    EXPECT_EQ(ToU16Hex(0xBEEF, 8), u"0000BEEF");
    EXPECT_EQ(ToU16Hex(0xBEEF, 1, false), u"beef");
    EXPECT_EQ(ReplaceAll(u"a<p>b<p>", u"<p>", u"<product>"), u"a<product>b<product>");
    EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");  // left to right, no overlaps
    EXPECT_EQ(ReplaceAll(u"abc", u"", u"x"), u"abc");
}

TEST(CommandArguments, QuotedSoTheProgramReadsTheArgumentBackWhole) {
    struct Case {
        std::u16string argument;
        std::u16string quoted;
    };
    const Case cases[] = {
        {u"plain", u"plain"},
        {u"", u"\"\""},
        {u"C:\\Program Files\\a.dll", u"\"C:\\Program Files\\a.dll\""},
        {u"C:\\dir with space\\", u"\"C:\\dir with space\\\\\""},  // a trailing backslash is doubled
        {u"say \"hi\"", u"\"say \\\"hi\\\"\""},
        {u"a\\\"b", u"\"a\\\\\\\"b\""},  // backslashes before a quote are doubled, plus one
        {u"a\\b c", u"\"a\\b c\""},      // backslashes elsewhere stay as they are
        {u"tab\there", u"\"tab\there\""},
    };
    for (const Case& c : cases) EXPECT_EQ(QuoteArgument(c.argument), c.quoted);
}

TEST(CommandArguments, TheProgramOfACommandIsItsFirstQuotedStretchOrWord) {
    EXPECT_EQ(ProgramOfCommand(u"\"C:\\Program Files\\A\\u.exe\" /u:\"A\""), u"C:\\Program Files\\A\\u.exe");
    EXPECT_EQ(ProgramOfCommand(u"  C:\\A\\u.exe /a"), u"C:\\A\\u.exe");
    EXPECT_EQ(ProgramOfCommand(u"\"C:\\unclosed"), u"C:\\unclosed");
    EXPECT_EQ(ProgramOfCommand(u"   "), u"");
}

TEST(CommandArguments, TheProgramOfACommandIsQuotedSoNoShorterPathIsTaken) {
    auto exists = [](std::u16string_view path) {
        return path == u"C:\\Program Files\\App\\app.exe" || path == u"C:\\Tools\\run";
    };
    struct Case {
        std::u16string command;
        std::u16string started;
    };
    const Case cases[] = {
        {u"C:\\Program Files\\App\\app.exe", u"\"C:\\Program Files\\App\\app.exe\""},
        {u"C:\\Program Files\\App\\app.exe /first run", u"\"C:\\Program Files\\App\\app.exe\" /first run"},
        {u"\"C:\\Program Files\\App\\app.exe\" -x", u"\"C:\\Program Files\\App\\app.exe\" -x"},
        {u"C:\\Tools\\run now", u"\"C:\\Tools\\run\" now"},
        {u"notepad.exe readme.txt", u"notepad.exe readme.txt"},  // nothing found: as given
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(QuoteProgramOfCommand(c.command, exists), c.started);
}

}  // namespace
}  // namespace palisade
