// The built-in English catalogue and the language files that add to it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "builder/english_messages.h"
#include "builder/languages.h"
#include "builder_test_support.h"
#include "core/text.h"

namespace palisade::tools {
namespace {

using testing::TempFolder;
using ::testing::HasSubstr;

// Every message number that the installer, its pages and the uninstaller show.
const int kShownMessages[] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,  16,  17,  18,  19,  20,  21,  22,  23,  24,
    25, 27, 28, 30, 31, 34, 35, 37, 39, 40, 41, 42, 43, 44, 45, 46,  47,  48,  49,  50,  51,  52,  53,  54,  55,
    56, 57, 58, 59, 60, 61, 62, 65, 66, 71, 72, 73, 74, 75, 76, 77,  78,  79,  80,  81,  82,  83,  84,  85,  86,
    87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 98, 99, 101, 102, 103, 104, 105, 106, 107, 109, 110, 111, 112, 115,
};

// The printf directives of a text, e.g. "sd" for "%s ... %d"; "%%" is not one.
std::string Directives(const std::string& text) {
    std::string kinds;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t j = i + 1;
        while (j < text.size() && std::string("-0123456789lhz").find(text[j]) != std::string::npos) ++j;
        if (j < text.size() && text[j] != '%') kinds += text[j];
        i = j;
    }
    return kinds;
}

TEST(BuilderEnglishMessages, EveryShownMessageHasAText) {
    const std::vector<std::string>& messages = EnglishMessages();
    ASSERT_EQ(messages.size(), std::size_t(kEnglishMessageCount));
    for (int number : kShownMessages) EXPECT_FALSE(messages.at(number).empty()) << "message " << number;
    std::set<int> inUse(MessageNumbersInUse().begin(), MessageNumbersInUse().end());
    for (int number : kShownMessages) EXPECT_TRUE(inUse.count(number)) << "message " << number;
}

TEST(BuilderEnglishMessages, PageTextOverrideAndDocumentPrefixesStayEmpty) {
    // A non-empty 114 would replace the author's page text; 63 and 64 would
    // add a document in front of the licence and readme texts.
    for (int number : {63, 64, 114}) EXPECT_TRUE(EnglishMessages().at(number).empty()) << number;
}

TEST(BuilderEnglishMessages, FormatsTakeTheArgumentsTheProgramPasses) {
    const std::pair<int, const char*> formats[] = {
        {7, "sssss"}, {12, "s"}, {13, "d"}, {19, "ss"}, {40, "s"},  {57, "s"},  {59, "s"},  {60, "s"},
        {61, "s"},    {81, "d"}, {96, "c"}, {99, "s"},  {106, "s"}, {107, "s"}, {112, "ss"},
    };
    std::set<int> withArguments;
    for (const auto& [number, kinds] : formats) {
        EXPECT_EQ(Directives(EnglishMessages().at(number)), kinds) << "message " << number;
        withArguments.insert(number);
    }
    for (std::size_t number = 0; number < EnglishMessages().size(); ++number) {
        if (withArguments.count(int(number))) continue;
        EXPECT_EQ(Directives(EnglishMessages()[number]), "") << "message " << number << " is not a format";
    }
}

TEST(BuilderEnglishMessages, TheFatalTextMatchesTheBuiltInOne) {
    EXPECT_THAT(EnglishMessages()[13], HasSubstr("This installation program is corrupt."));
    EXPECT_THAT(EnglishMessages()[13], HasSubstr("Error code: %d"));
}

TEST(BuilderLanguages, EnglishComesFirstAndTranslationsFallBackToIt) {
    LanguageSource german{"de.toml", "Deutsch", {{48, "&Weiter >"}, {200, "Extra"}}};
    CatalogueBuild build = BuildCatalogue({german});
    const MessageCatalogue& catalogue = build.catalogue;
    ASSERT_EQ(catalogue.LanguageCount(), 2u);
    EXPECT_EQ(catalogue.Languages()[0], u"English");
    EXPECT_EQ(catalogue.DefaultLanguage(), 0u);
    EXPECT_EQ(catalogue.MessageCount(), 201u);
    EXPECT_EQ(catalogue.Text(48, 1), u"&Weiter >");
    EXPECT_EQ(catalogue.Text(49, 1), u"Cancel");
    EXPECT_EQ(catalogue.Text(200, 1), u"Extra");
    EXPECT_EQ(catalogue.Text(200, 0), u"");
    EXPECT_EQ(catalogue.Text(1, 0).find(u'\n') != std::u16string::npos, true);
    EXPECT_NE(catalogue.Text(1, 0).find(u"\r\n"), std::u16string::npos);  // line breaks become CR LF
    ASSERT_EQ(build.warnings.size(), 1u);
    EXPECT_THAT(build.warnings[0], HasSubstr("de.toml leaves"));
}

TEST(BuilderLanguages, AnEnglishFileReplacesBuiltInTexts) {
    LanguageSource english{"en.toml", "english", {{49, "Stop"}}};
    CatalogueBuild build = BuildCatalogue({english});
    ASSERT_EQ(build.catalogue.LanguageCount(), 1u);
    EXPECT_EQ(build.catalogue.Text(49, 0), u"Stop");
    EXPECT_EQ(build.catalogue.Text(48, 0), u"&Next >");
}

TEST(BuilderLanguages, ReadsALanguageFileAndReportsItsMistakes) {
    TempFolder folder;
    std::string good = folder.Write("fr.toml", "name = \"Fran\u00e7ais\"\n[messages]\n49 = \"Annuler\"\n").string();
    Diagnostics diagnostics;
    std::optional<LanguageSource> french = ReadLanguageFile(good, diagnostics);
    ASSERT_TRUE(french);
    EXPECT_EQ(french->name, "Fran\u00e7ais");
    EXPECT_EQ(french->messages.at(49), "Annuler");

    std::string bad =
        folder.Write("bad.toml", "name = \"X\"\ncolour = 1\n[messages]\nfoo = \"a\"\n10000 = \"b\"\n3 = 4\n").string();
    EXPECT_FALSE(ReadLanguageFile(bad, diagnostics));
    diagnostics.SortByPlace();
    std::vector<int> lines;
    for (const Diagnostic& d : diagnostics.List()) lines.push_back(d.place.line);
    EXPECT_THAT(lines, ::testing::ElementsAre(2, 4, 5, 6));
}

}  // namespace
}  // namespace palisade::tools
