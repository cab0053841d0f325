// The translations shipped with the builder: complete, faithful to the English formats, and carried intact.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "builder/english_messages.h"
#include "builder/installer_builder.h"
#include "builder/languages.h"
#include "builder_test_support.h"
#include "core/text.h"
#include "payload/crc32.h"
#include "payload/settings_schema.h"

namespace palisade::tools {
namespace {

using ::testing::HasSubstr;

const std::string kFolder = std::string(PALISADE_SOURCE_DIR) + "/tools/languages";

std::vector<LanguageSource> ShippedSources() {
    std::vector<LanguageSource> sources;
    for (const ShippedLanguage& shipped : ListShippedLanguages(kFolder)) {
        Diagnostics diagnostics;
        std::optional<LanguageSource> source = ReadLanguageFile(shipped.file, diagnostics);
        EXPECT_TRUE(source) << shipped.file << ": " << ::testing::PrintToString(testing::Messages(diagnostics));
        if (source) sources.push_back(std::move(*source));
    }
    return sources;
}

// What a translation must keep of an English text.
struct Shape {
    std::string directives;                 // "%s%d...", in order: the arguments come in this order
    std::multiset<std::string> placeholders;  // <product>, <description>, <file>, <a>, </a>
    int mnemonics = 0;                      // '&'
    int lineBreaks = 0;
};

Shape ShapeOf(const std::string& text) {
    Shape shape;
    static const std::regex directive("%[-+ #0-9.]*[a-zA-Z%]");
    for (std::sregex_iterator it(text.begin(), text.end(), directive), end; it != end; ++it) shape.directives += it->str();
    static const std::regex placeholder("</?[a-z]+>");
    for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it) {
        shape.placeholders.insert(it->str());
    }
    for (char c : text) {
        shape.mnemonics += c == '&';
        shape.lineBreaks += c == '\n';
    }
    return shape;
}

TEST(BuilderTranslations, TheTenLanguagesShip) {
    std::vector<std::string> codes, names;
    for (const ShippedLanguage& language : ListShippedLanguages(kFolder)) {
        codes.push_back(language.code);
        names.push_back(language.name);
    }
    EXPECT_THAT(codes, ::testing::ElementsAre("de", "es", "fr", "it", "ja", "nl", "pl", "pt-BR", "ru", "zh-CN"));
    // English names: the language page preselects by the system's English name, cut before "(".
    EXPECT_THAT(names, ::testing::ElementsAre("German", "Spanish", "French", "Italian", "Japanese", "Dutch", "Polish",
                                              "Portuguese", "Russian", "Chinese"));
}

TEST(BuilderTranslations, EachCoversExactlyTheMessagesInUse) {
    std::set<int> inUse(MessageNumbersInUse().begin(), MessageNumbersInUse().end());
    for (const LanguageSource& language : ShippedSources()) {
        std::set<int> given;
        for (const auto& [number, text] : language.messages) {
            given.insert(number);
            EXPECT_FALSE(text.empty()) << language.file << " message " << number;
        }
        EXPECT_EQ(given, inUse) << language.file;  // 114 stays out: a text there replaces the author's page text
    }
}

TEST(BuilderTranslations, EachKeepsTheShapeOfTheEnglishText) {
    const std::vector<std::string>& english = EnglishMessages();
    for (const LanguageSource& language : ShippedSources()) {
        for (const auto& [number, text] : language.messages) {
            if (std::size_t(number) >= english.size()) continue;  // reported by the coverage test
            Shape want = ShapeOf(english[number]), got = ShapeOf(text);
            std::string where = language.file + " message " + std::to_string(number) + ": " + text;
            EXPECT_EQ(got.directives, want.directives) << where;
            EXPECT_EQ(got.placeholders, want.placeholders) << where;
            EXPECT_EQ(got.mnemonics, want.mnemonics) << where;
            EXPECT_EQ(got.lineBreaks, want.lineBreaks) << where;
            if (got.mnemonics == 1) {
                std::size_t amp = text.find('&');
                ASSERT_LT(amp + 1, text.size()) << where;
                EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(text[amp + 1])) || (text[amp + 1] & 0x80)) << where;
            }
        }
    }
}

TEST(BuilderTranslations, TheShapeCheckSeesMistakes) {
    Shape english = ShapeOf("%s\n\nProduct: %s\nFolder: %d <product> &Next");
    EXPECT_NE(ShapeOf("%d\n\nProdukt: %s\nOrdner: %s <product> &Weiter").directives, english.directives);
    EXPECT_NE(ShapeOf("%s\nProdukt: %s\nOrdner: %d <product> &Weiter").lineBreaks, english.lineBreaks);
    EXPECT_NE(ShapeOf("%s\n\nProdukt: %s\nOrdner: %d <produkt> &Weiter").placeholders, english.placeholders);
    EXPECT_NE(ShapeOf("%s\n\nProdukt: %s\nOrdner: %d <product> Weiter").mnemonics, english.mnemonics);
}

// Every text of every shipped language goes through the settings block and
// back through the installer's reader unchanged (line breaks become CR LF).
TEST(BuilderTranslations, TheCatalogueRoundTrips) {
    std::vector<LanguageSource> sources = ShippedSources();
    ASSERT_EQ(sources.size(), 10u);
    CatalogueBuild build = BuildCatalogue(sources);
    EXPECT_TRUE(build.warnings.empty()) << ::testing::PrintToString(build.warnings);
    InstallerSettings settings;
    settings.messageCatalogue = build.catalogue;
    std::vector<std::uint8_t> block = WriteSettings(settings);
    SettingsResult read = ReadSettings(block, Crc32(block.data(), block.size()));
    ASSERT_TRUE(read.settings) << "error code " << read.errorCode;
    const MessageCatalogue& catalogue = read.settings->messageCatalogue;
    ASSERT_EQ(catalogue.LanguageCount(), 11u);
    for (std::size_t index = 0; index < sources.size(); ++index) {
        EXPECT_EQ(catalogue.Languages()[index + 1], Utf8ToUtf16(sources[index].name));
        for (const auto& [number, text] : sources[index].messages) {
            std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
            EXPECT_EQ(catalogue.Text(std::size_t(number), index + 1), Utf8ToUtf16(crlf))
                << sources[index].file << " message " << number;
        }
    }
}

TEST(BuilderTranslations, FoundByCodeOrName) {
    std::vector<ShippedLanguage> shipped = ListShippedLanguages(kFolder);
    struct Case {
        const char* asked;
        const char* code;  // nullptr: none
    };
    for (Case c : {Case{"fr", "fr"}, Case{"FR", "fr"}, Case{"pt-BR", "pt-BR"}, Case{"pt_br", "pt-BR"},
                   Case{"zh-cn", "zh-CN"}, Case{"Japanese", "ja"}, Case{"russian", "ru"}, Case{"pt", nullptr},
                   Case{"Deutsch", nullptr}, Case{"", nullptr}}) {
        const ShippedLanguage* found = FindShippedLanguage(shipped, c.asked);
        if (!c.code) {
            EXPECT_EQ(found, nullptr) << c.asked;
        } else {
            ASSERT_NE(found, nullptr) << c.asked;
            EXPECT_EQ(found->code, c.code);
        }
    }
}

class BuilderTranslationProject : public ::testing::Test {
protected:
    std::optional<Project> Read(const std::string& languages) {
        folder.Write("a.txt", "a");
        folder.Write("mine.toml", "name = \"Mine\"\n[messages]\n49 = \"Stop\"\n");
        return testing::ReadProjectText(folder, "ProductName = \"P\"\n[[files]]\nsource = \"a.txt\"\n" + languages,
                                        diagnostics);
    }
    testing::TempFolder folder;
    Diagnostics diagnostics;
};

TEST_F(BuilderTranslationProject, ShippedOnesAreChosenByName) {
    std::optional<Project> project = Read("[[languages]]\nname = \"ja\"\n[[languages]]\nname = \"Russian\"\n"
                                          "[[languages]]\nfile = \"mine.toml\"\nname = \"Custom\"\n");
    ASSERT_TRUE(project) << ::testing::PrintToString(testing::Messages(diagnostics));
    ASSERT_EQ(project->languages.size(), 3u);
    EXPECT_EQ(project->languages[0].name, "Japanese");
    EXPECT_EQ(project->languages[1].name, "Russian");
    EXPECT_EQ(project->languages[2].name, "Custom");
    CatalogueBuild build = BuildCatalogue(project->languages);
    EXPECT_EQ(build.catalogue.Text(48, 1), u"\u6b21\u3078(&N) >");
    ASSERT_EQ(build.warnings.size(), 1u);  // only the partial file of the project's own
    EXPECT_THAT(build.warnings[0], HasSubstr("mine.toml leaves 98 message(s) to English: 0, 1, 2,"));
}

TEST_F(BuilderTranslationProject, AnUnknownNameListsTheShippedOnes) {
    EXPECT_FALSE(Read("[[languages]]\nname = \"fre\"\n"));
    EXPECT_THAT(testing::Messages(diagnostics),
                ::testing::ElementsAre(::testing::AllOf(HasSubstr("no translation 'fre'"), HasSubstr("did you mean 'fr'"),
                                                        HasSubstr("zh-CN (Chinese)"))));
}

TEST_F(BuilderTranslationProject, AnEntryNeedsANameOrAFile) {
    EXPECT_FALSE(Read("[[languages]]\n"));
    EXPECT_THAT(testing::Messages(diagnostics), ::testing::Contains(HasSubstr("needs 'name = \"fr\"'")));
}

}  // namespace
}  // namespace palisade::tools
