// The project file's key table and the JSON Schema made from it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "builder/project_schema.h"
#include "builder_test_support.h"
#include "common/project_keys.h"
#include "common/setting_descriptions.h"
#include "common/setting_keys.h"

namespace palisade::tools {
namespace {

using ::testing::HasSubstr;

const ReportValue* Path(const ReportValue& root, std::initializer_list<const char*> keys) {
    const ReportValue* value = &root;
    for (const char* key : keys) {
        value = value->Find(key);
        if (!value) return nullptr;
    }
    return value;
}

std::vector<std::string> Texts(const ReportValue& list) {
    std::vector<std::string> texts;
    for (const ReportValue& element : list.Elements()) texts.push_back(element.Text());
    return texts;
}

TEST(BuilderSchema, TheCommittedSchemaIsTheGeneratedOne) {
    std::ifstream in(std::string(PALISADE_SOURCE_DIR) + "/docs/palisade.schema.json", std::ios::binary);
    std::string committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, ProjectSchemaJson())
        << "regenerate it: build/native/palisade keys --json-schema > docs/palisade.schema.json";
}

TEST(BuilderSchema, EveryPlainSettingHasADescription) {
    for (const SettingKey& key : PlainSettingKeys()) {
        const char* description = SettingDescription(key.key);
        EXPECT_TRUE(description && *description) << key.key;
    }
    EXPECT_EQ(SettingDescription("NoSuchSetting"), nullptr);
}

TEST(BuilderSchema, PlainSettingsCarryTypeRangeAndDefault) {
    ReportValue schema = ProjectSchema();
    struct Case {
        const char* key;
        std::int64_t min, max, defaultValue;
    };
    // StatusDelay and BitmapSize are narrowed from their encodings by the installer's own checks.
    for (Case c : {Case{"StatusDelay", 0, 9999, 0}, Case{"BitmapSize", 0, 100, 0},
                   Case{"TitleColor", 0, 0xFFFFFFFFll, 0xFFFEF7}, Case{"StretchMode", INT32_MIN, INT32_MAX, 2}}) {
        const ReportValue* key = Path(schema, {"properties", c.key});
        ASSERT_TRUE(key) << c.key;
        EXPECT_EQ(key->Find("type")->Text(), "integer") << c.key;
        EXPECT_EQ(key->Find("minimum")->Integer(), c.min) << c.key;
        EXPECT_EQ(key->Find("maximum")->Integer(), c.max) << c.key;
        EXPECT_EQ(key->Find("default")->Integer(), c.defaultValue) << c.key;
        EXPECT_FALSE(key->Find("description")->Text().empty()) << c.key;
    }
    const ReportValue* font = Path(schema, {"properties", "TitleFont", "default"});
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Text(), "Cambria Bold Italic, Times New Roman Bold Italic");
    // The aliases are keys of their own with the same schema.
    EXPECT_TRUE(Path(schema, {"properties", "ProductName"}));
    EXPECT_TRUE(Path(schema, {"properties", "DisplayName"}));
}

TEST(BuilderSchema, FlagWordsListTheirNames) {
    ReportValue schema = ProjectSchema();
    const ReportValue* flags = Path(schema, {"properties", "SettingsFlags1"});
    ASSERT_TRUE(flags);
    const ReportValue& array = flags->Find("anyOf")->Elements().at(0);
    const ReportValue& names = array.Find("items")->Find("anyOf")->Elements().at(0);
    EXPECT_THAT(Texts(*names.Find("enum")), ::testing::Contains("Uninstaller"));
    EXPECT_EQ(Texts(*names.Find("enum")).size(), FlagNames(FlagWord::SettingsFlags1).size());
    EXPECT_THAT(flags->Find("description")->Text(), HasSubstr("Uninstaller (0x4)"));
    // PayloadFlags refuses Ciphered ([build] cipher sets it), so the schema does not offer it.
    const ReportValue* payload = Path(schema, {"properties", "PayloadFlags"});
    const ReportValue& payloadNames = payload->Find("anyOf")->Elements().at(0).Find("items")->Find("anyOf")->Elements().at(0);
    EXPECT_THAT(Texts(*payloadNames.Find("enum")), ::testing::Not(::testing::Contains("Ciphered")));
    EXPECT_THAT(Texts(*payloadNames.Find("enum")), ::testing::Contains("StrippedInstaller"));
}

TEST(BuilderSchema, TablesAllowOnlyTheirKeys) {
    ReportValue schema = ProjectSchema();
    EXPECT_FALSE(schema.Find("additionalProperties")->Boolean());
    const ReportValue* files = Path(schema, {"properties", "files", "items"});
    ASSERT_TRUE(files);
    EXPECT_FALSE(files->Find("additionalProperties")->Boolean());
    EXPECT_EQ(Texts(*files->Find("required")), std::vector<std::string>{"source"});
    EXPECT_THAT(Texts(*Path(*files, {"properties", "kind", "enum"})), ::testing::Contains("shortcut-file"));
    const ReportValue* preset = Path(schema, {"properties", "build", "properties", "xz_preset"});
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->Find("maximum")->Integer(), 9);
    EXPECT_EQ(preset->Find("default")->Integer(), 6);
    const ReportValue* deletions = Path(schema, {"properties", "FileDeletions"});
    EXPECT_EQ(deletions->Find("maxItems")->Integer(), 1000);
    // A language entry needs a file or a shipped translation's name.
    const ReportValue* languages = Path(schema, {"properties", "languages", "items", "anyOf"});
    ASSERT_TRUE(languages);
    EXPECT_EQ(languages->Elements().size(), 2u);
}

// Each key the table names is one the reader accepts: a project that gives it
// draws no "unknown key" complaint (other complaints about the value are fine).
TEST(BuilderSchema, TheReaderAcceptsEveryKeyOfTheTable) {
    testing::TempFolder folder;
    folder.Write("a.txt", "a");
    struct Table {
        const char* header;
        const char* table;
    };
    for (Table t : {Table{"[build]", "build"}, Table{"[[files]]\nsource = \"a.txt\"", "files"},
                    Table{"[[FileDeletions]]", "FileDeletions"}, Table{"[[FileAssociations]]", "FileAssociations"},
                    Table{"[[AuthorShortcuts]]", "AuthorShortcuts"}, Table{"[[UninstallValues]]", "UninstallValues"},
                    Table{"[[AutoCloseEntries]]", "AutoCloseEntries"}, Table{"[ShortcutPlacements]", "ShortcutPlacements"},
                    Table{"[[languages]]", "languages"}}) {
        for (const ProjectKey& key : MembersOf(t.table)) {
            if (key.name == "source") continue;
            Diagnostics diagnostics;
            std::string text = std::string("ProductName = \"P\"\n") + t.header + "\n" + key.name + " = 1\n";
            testing::ReadProjectText(folder, text, diagnostics);
            for (const std::string& message : testing::Messages(diagnostics)) {
                EXPECT_THAT(message, ::testing::Not(HasSubstr("unknown key"))) << t.table << "." << key.name;
            }
        }
    }
}

TEST(BuilderSchema, DefaultLiteralsReadBack) {
    EXPECT_TRUE(DefaultLiteral("true").Boolean());
    EXPECT_EQ(DefaultLiteral("-1").Integer(), -1);
    EXPECT_EQ(DefaultLiteral("\"8 MiB\"").Text(), "8 MiB");
    EXPECT_EQ(DefaultLiteral("\"a\\\"b\"").Text(), "a\"b");
    EXPECT_EQ(Texts(DefaultLiteral("[\"StartMenu\", \"Desktop\"]")), (std::vector<std::string>{"StartMenu", "Desktop"}));
    EXPECT_EQ(DefaultLiteral("[]").Elements().size(), 0u);
}

}  // namespace
}  // namespace palisade::tools
