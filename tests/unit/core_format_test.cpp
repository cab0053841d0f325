// printf-style formatting of message texts, which come from the payload and must never crash the program.
#include <gtest/gtest.h>

#include "core/debug_pieces.h"
#include "core/format.h"

namespace palisade {
namespace {

TEST(CoreFormat, DirectivesWidthsAndFlags) {
    EXPECT_EQ(Format(u"%s and %d", {u"text", 42}), u"text and 42");
    EXPECT_EQ(Format(u"[%5d][%-5d][%05d]", {42, 42, 42}), u"[   42][42   ][00042]");
    EXPECT_EQ(Format(u"[%05d][%5d]", {-42, -42}), u"[-0042][  -42]");  // zero padding after the sign
    EXPECT_EQ(Format(u"[%05s]", {u"ab"}), u"[   ab]");                   // no zero padding for text
    EXPECT_EQ(Format(u"%u", {-1}), u"4294967295");
    EXPECT_EQ(Format(u"%x %X %08X", {255, 255, 0xBEEF}), u"ff FF 0000BEEF");
    EXPECT_EQ(Format(u"%c%c", {int(u'o'), int(u'k')}), u"ok");
    EXPECT_EQ(Format(u"%zu (0x%08zX)", {std::size_t(10), std::size_t(10)}), u"10 (0x0000000A)");
    EXPECT_EQ(Format(u"100%% sure", {}), u"100% sure");
}

TEST(CoreFormat, BadTextsAreCopiedInsteadOfCrashing) {
    EXPECT_EQ(Format(u"%s %s", {u"one"}), u"one %s");           // an argument too few
    EXPECT_EQ(Format(u"%d", {u"text"}), u"%d");                 // the wrong kind
    EXPECT_EQ(Format(u"%s", {7}), u"%s");
    EXPECT_EQ(Format(u"%q and %s", {u"x"}), u"%q and x");       // an unknown directive takes no argument
    EXPECT_EQ(Format(u"ends with %", {}), u"ends with %");
    EXPECT_EQ(Format(u"ends with %05", {1}), u"ends with %05");
    EXPECT_EQ(Format(u"", {1, u"x"}), u"");
}

TEST(CoreFormat, HugeWidthsAreCapped) {
    EXPECT_EQ(Format(u"%4000000000s", {u"x"}).size(), kMaxFormatWidth);
    EXPECT_EQ(Format(u"%99999999999999999999999d", {1}).size(), kMaxFormatWidth);
    EXPECT_EQ(Format(u"%4096s", {u"x"}).size(), 4096u);
}

TEST(DebugPieces, PiecesStayWithinWhatTheDebugChannelShows) {
    EXPECT_TRUE(SplitForDebugOutput(u"").empty());
    EXPECT_EQ(SplitForDebugOutput(u"short"), std::vector<std::u16string>{u"short"});
    std::vector<std::u16string> plain = SplitForDebugOutput(std::u16string(600, u'a'));
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[0].size(), kDebugPieceLimit);
    EXPECT_EQ(plain[2].size(), 100u);
    // Quotes and line breaks take two columns, other characters outside ASCII six.
    EXPECT_EQ(SplitForDebugOutput(std::u16string(200, u'"'))[0].size(), 125u);
    EXPECT_EQ(SplitForDebugOutput(std::u16string(100, u'\u00E9'))[0].size(), 41u);
    // A surrogate pair is never cut in two.
    std::u16string text = std::u16string(40, u'\u00E9') + std::u16string(20, u'x') + u"\U0001F600";
    for (const std::u16string& piece : SplitForDebugOutput(text)) {
        EXPECT_FALSE(piece.back() >= 0xD800 && piece.back() <= 0xDBFF) << "a piece ends inside a pair";
    }
    std::u16string joined;
    for (const std::u16string& piece : SplitForDebugOutput(text)) joined += piece;
    EXPECT_EQ(joined, text);
}

}  // namespace
}  // namespace palisade
