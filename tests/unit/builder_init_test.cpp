// `palisade init`: the project file it writes for a folder of files builds as it stands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <toml++/toml.h>

#include "builder/init_command.h"
#include "builder/installer_builder.h"
#include "builder_test_support.h"
#include "core/text.h"
#include "inspector/installer_examination.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

using ::testing::HasSubstr;
using testing::TempFolder;

class BuilderInit : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("Acme Tool/tool.exe", "MZ");
        folder.Write("Acme Tool/readme \"first\".txt", "read me");
        folder.Write("Acme Tool/docs/guide.txt", "guide");
        folder.Write("Acme Tool/docs/img/logo.png", "png");
        folder.Write("Acme Tool/.git/HEAD", "ref");
        folder.Write("Acme Tool/.gitignore", "*.o");
        std::filesystem::create_directories(folder / "Acme Tool/empty/nothing");
    }

    // Builds the written project with a test stub and reads the result back.
    Inspection BuildWritten(const std::filesystem::path& projectFile, const ScaffoldResult& result) {
        folder.Write(std::filesystem::relative(projectFile, folder.Path()).string(), result.text);
        Diagnostics diagnostics;
        std::optional<Project> project = ReadProject(projectFile.string(), diagnostics);
        EXPECT_TRUE(project) << ::testing::PrintToString(testing::Messages(diagnostics)) << "\n" << result.text;
        if (!project) return {};
        Progress quiet(true);
        std::optional<BuildSummary> summary = BuildInstaller(*project, ::palisade::testing::MakeStub(), quiet, diagnostics);
        EXPECT_TRUE(summary);
        if (!summary) return {};
        image = summary->image;
        return InspectInstaller(image, true);
    }

    std::vector<std::string> Names(const Inspection& inspection) {
        std::vector<std::string> names;
        for (const InspectedItem& item : inspection.items) {
            names.push_back(Utf16ToUtf8(item.entry.destinationOverride) + "|" + item.entry.name);
        }
        return names;
    }

    TempFolder folder;
    std::vector<std::uint8_t> image;
};

TEST_F(BuilderInit, BesideTheFolderEveryFileIsIncluded) {
    std::filesystem::path projectFile = folder / "palisade.toml";
    ScaffoldResult result = ScaffoldProject(folder / "Acme Tool", projectFile, {"de", "fr"});
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.entryCount, 3u);  // docs/, readme, tool.exe; the empty folder gives nothing
    EXPECT_THAT(result.leftOut, ::testing::ElementsAre(".git", ".gitignore"));
    EXPECT_THAT(result.text, HasSubstr("ProductName = \"Acme Tool\""));
    EXPECT_THAT(result.text, HasSubstr("source = \"Acme Tool/readme \\\"first\\\".txt\""));
    EXPECT_THAT(result.text, HasSubstr("output = \"Acme-Tool-setup.exe\""));
    EXPECT_THAT(result.text, HasSubstr("# xz_preset = 6"));       // defaults shown, commented
    EXPECT_THAT(result.text, HasSubstr("# StatusDelay = 0"));
    EXPECT_THAT(result.text, HasSubstr("# time = \"source\""));
    EXPECT_THAT(result.text, HasSubstr("shipped with the builder: de fr"));

    Inspection inspection = BuildWritten(projectFile, result);
    ASSERT_FALSE(inspection.Failed()) << inspection.failedCheck;
    EXPECT_EQ(inspection.settings->displayName, u"Acme Tool");
    EXPECT_THAT(Names(inspection), ::testing::UnorderedElementsAre("docs\\|guide.txt", "docs\\img\\|logo.png",
                                                                    "|readme \"first\".txt", "|tool.exe"));
}

TEST_F(BuilderInit, InsideTheFolderItLeavesItselfAndTheOutputOut) {
    folder.Write("Acme Tool/Acme-Tool-setup.exe", "an earlier build");
    std::filesystem::path projectFile = folder / "Acme Tool/palisade.toml";
    folder.Write("Acme Tool/palisade.toml", "an earlier project file");
    ScaffoldResult result = ScaffoldProject(folder / "Acme Tool", projectFile, {});
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_THAT(result.text, HasSubstr("source = \"tool.exe\""));
    EXPECT_THAT(result.text, ::testing::Not(HasSubstr("source = \"palisade.toml\"")));
    EXPECT_THAT(result.text, ::testing::Not(HasSubstr("source = \"Acme-Tool-setup.exe\"")));
    Inspection inspection = BuildWritten(projectFile, result);
    ASSERT_FALSE(inspection.Failed());
    EXPECT_EQ(inspection.items.size(), 4u);
}

TEST_F(BuilderInit, NothingToInstallIsAnError) {
    EXPECT_THAT(ScaffoldProject(folder / "Acme Tool/empty", folder / "p.toml", {}).error, HasSubstr("holds no files"));
    EXPECT_THAT(ScaffoldProject(folder / "missing", folder / "p.toml", {}).error, HasSubstr("is not a folder"));
}

TEST_F(BuilderInit, TheCommandRefusesToOverwrite) {
    std::filesystem::path current = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    EXPECT_EQ(RunInitCommand({"Acme Tool", "--bogus"}), 2);
    EXPECT_EQ(RunInitCommand({"Acme Tool"}), 0);
    EXPECT_EQ(RunInitCommand({"Acme Tool"}), 1);
    EXPECT_EQ(RunInitCommand({"Acme Tool", "--force", "-o", "other.toml"}), 0);
    std::filesystem::current_path(current);
    EXPECT_TRUE(std::filesystem::exists(folder / "palisade.toml"));
    EXPECT_TRUE(std::filesystem::exists(folder / "other.toml"));
}

TEST(BuilderInitText, TomlStringsReadBackAsWritten) {
    for (std::string text : {std::string("plain"), std::string("quote \" and \\ backslash"), std::string("tab\tnew\nline"),
                             std::string("caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac"), std::string("\x01\x7f")}) {
        toml::parse_result parsed = toml::parse("key = " + TomlString(text));
        ASSERT_TRUE(parsed) << TomlString(text);
        EXPECT_EQ(parsed.table()["key"].value<std::string>(), text);
    }
}

}  // namespace
}  // namespace palisade::tools
