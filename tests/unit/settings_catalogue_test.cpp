// The message catalogue (default language, line breaks, lookups), placeholders and the dialog font setting.
#include <gtest/gtest.h>

#include "payload/message_catalogue.h"
#include "payload/settings.h"

namespace palisade {
namespace {

TEST(SettingsCatalogue, DefaultLanguageIsEnglishIgnoringCaseElseTheFirst) {
    EXPECT_EQ(MessageCatalogue({u"Deutsch", u"eNGLISH", u"English"}, 1).DefaultLanguage(), 1u);
    EXPECT_EQ(MessageCatalogue({u"Deutsch", u"Fran\u00e7ais"}, 1).DefaultLanguage(), 0u);
    EXPECT_EQ(MessageCatalogue({u"English (US)", u"Nederlands"}, 1).DefaultLanguage(), 0u)
        << "the whole name must match";
    MessageCatalogue catalogue({u"Deutsch", u"English"}, 2);
    catalogue.SetText(1, 0, u"eins");
    catalogue.SetText(1, 1, u"one");
    EXPECT_EQ(catalogue.CurrentLanguage(), 1u);
    EXPECT_EQ(catalogue.Message(1), u"one");
    EXPECT_TRUE(catalogue.SetLanguage(0));
    EXPECT_EQ(catalogue.Message(1), u"eins");
    EXPECT_FALSE(catalogue.SetLanguage(2));
    EXPECT_EQ(catalogue.CurrentLanguage(), 0u);
}

TEST(SettingsCatalogue, OutOfRangeAndUnloadedGiveEmptyText) {
    MessageCatalogue catalogue({u"English"}, 3);
    catalogue.SetText(2, 0, u"last");
    EXPECT_EQ(catalogue.Message(2), u"last");
    EXPECT_EQ(catalogue.Message(3), u"");
    EXPECT_EQ(catalogue.Message(-1), u"");
    EXPECT_EQ(catalogue.Text(0, 1), u"");
    catalogue.SetText(3, 0, u"ignored");
    EXPECT_EQ(catalogue.MessageCount(), 3u);

    MessageCatalogue unloaded;
    EXPECT_FALSE(unloaded.IsLoaded());
    EXPECT_EQ(unloaded.Message(0), u"");
    EXPECT_EQ(MessageCatalogue({}, 5).MessageCount(), 0u) << "no languages, no messages";
}

TEST(SettingsCatalogue, EveryLineBreakBecomesCrLf) {
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"a\r\nb", u"a\r\nb"},       {u"a\nb", u"a\r\nb"},         {u"a\rb", u"a\r\nb"},
        {u"a\n\rb", u"a\r\nb"},       {u"a\n\nb", u"a\r\n\r\nb"},   {u"a\r\rb", u"a\r\n\r\nb"},
        {u"a\r\n\r\nb", u"a\r\n\r\nb"}, {u"a\n\r\nb", u"a\r\n\r\nb"}, {u"\n", u"\r\n"},
        {u"", u""},                   {u"plain", u"plain"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormaliseLineBreaks(c.in), c.out);

    MessageCatalogue catalogue({u"English"}, 1);
    catalogue.SetText(0, 0, u"one\ntwo\rthree");
    EXPECT_EQ(catalogue.Message(0), u"one\r\ntwo\r\nthree");
}

TEST(SettingsCatalogue, PlaceholdersAreReplacedEverywhereInOnePass) {
    EXPECT_EQ(ReplacePlaceholders(u"<product> <description> on <os>, <product>!", u"Foo", u"Foo tool", u"11"),
              u"Foo Foo tool on 11, Foo!");
    EXPECT_EQ(ReplacePlaceholders(u"<product>", u"A <os> B", u"", u"XP"), u"A <os> B")
        << "a replacement is not searched again";
    EXPECT_EQ(ReplacePlaceholders(u"<Product> <prod", u"x", u"y", u"z"), u"<Product> <prod");
    EXPECT_EQ(ReplacePlaceholders(u"", u"x", u"y", u"z"), u"");
}

TEST(SettingsDialogFont, FaceAndSize) {
    const struct {
        std::u16string text;
        std::u16string face;
        std::uint16_t points;
    } cases[] = {
        {u"Segoe UI,9", u"Segoe UI", 9},   {u" Tahoma , 12 ", u"Tahoma", 12}, {u"Tahoma", u"Tahoma", 0},
        {u",10", u"", 10},                 {u"Odd, Name", u"Odd, Name", 0},  {u"Font,0", u"Font,0", 0},
        {u"", u"", 0},
    };
    for (const auto& c : cases) {
        DialogFontSpec font = ParseDialogFont(c.text);
        EXPECT_EQ(font.face, c.face);
        EXPECT_EQ(font.points, c.points);
    }
}

}  // namespace
}  // namespace palisade
