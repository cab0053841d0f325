// Destinations an author rarely means: what counts as one, the builder's refusal, the inspector's flag.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "builder/installer_builder.h"
#include "builder_test_support.h"
#include "common/destination_checks.h"
#include "common/progress.h"
#include "core/text.h"
#include "inspector/examination_report.h"
#include "inspector/examination_text.h"
#include "inspector/installer_examination.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct DestinationCase {
    const char16_t* path;
    const char* reasons;  // the first words of each reason, joined with '|'; empty when nothing is unusual
};

std::string ReasonStarts(const std::vector<std::string>& reasons) {
    std::string joined;
    for (const std::string& reason : reasons) {
        joined += (joined.empty() ? "" : "|") + reason.substr(0, reason.find(' ', reason.find(' ') + 1));
    }
    return joined;
}

TEST(DestinationChecks, NamesWhatIsUnusualAboutAPath) {
    const DestinationCase cases[] = {
        {u"app.exe", ""},
        {u"share\\data\\a.txt", ""},
        {u"a\\..\\b.txt", ""},                  // climbs, but stays inside
        {u".\\b.txt", ""},
        {u"..\\b.txt", "climbs out"},
        {u"a\\..\\..\\b.txt", "climbs out"},
        {u"a/../../b.txt", "climbs out"},        // a slash separates as well
        {u"%InstallDir%\\..\\b.txt", "climbs out"},
        {u"%SystemDir%\\drivers\\b.sys", ""},
        {u"C:\\Windows\\..\\b.txt", ""},         // absolute: nothing to climb out of
        {u"\\\\server\\share\\b.txt", ""},
        {u"C:b.txt", "is drive-relative"},
        {u"C:", "is drive-relative"},
        {u"a.txt:hidden", "names an"},
        {u"sub\\a.txt:hidden:$DATA", "names an"},
        {u"NUL", "names a"},
        {u"sub\\nul.txt", "names a"},
        {u"com1", "names a"},
        {u"LPT9.log", "names a"},
        {u"CON .txt", "names a"},                 // blanks before the extension do not help
        {u"conin$", "names a"},
        {u"COM0", ""},
        {u"COM10", ""},
        {u"console.txt", ""},
        {u"nul\\a.txt", "names a"},               // a device as a folder
        {u"..\\nul:x", "climbs out|names an|names a"},
    };
    for (const DestinationCase& c : cases) {
        EXPECT_EQ(ReasonStarts(UnusualDestination(c.path)), c.reasons) << Utf16ToUtf8(c.path);
    }
}

TEST(DestinationChecks, TheEffectivePathIsComposedAsTheInstallerDoes) {
    EXPECT_EQ(EffectiveDestination(u"", u"a.txt"), u"a.txt");
    EXPECT_EQ(EffectiveDestination(u"sub\\", u"a.txt"), u"sub\\a.txt");
    EXPECT_EQ(EffectiveDestination(u"b.txt", u"a.txt"), u"b.txt");
    EXPECT_EQ(EffectiveDestination(u"..\\b.txt", u"a.txt"), u"..\\b.txt");
}

class BuilderUnusualDestination : public ::testing::Test {
protected:
    void SetUp() override { folder.Write("one.txt", "1"); }

    std::optional<BuildSummary> Build(const std::string& entry) {
        diagnostics = {};
        std::optional<Project> project = testing::ReadProjectText(
            folder, "ProductName = \"P\"\n[[files]]\nsource = \"one.txt\"\n" + entry, diagnostics);
        EXPECT_TRUE(project) << ::testing::PrintToString(testing::Messages(diagnostics));
        if (!project) return std::nullopt;
        Progress quiet(true);
        return BuildInstaller(*project, ::palisade::testing::MakeStub(), quiet, diagnostics);
    }

    testing::TempFolder folder;
    Diagnostics diagnostics;
};

TEST_F(BuilderUnusualDestination, IsRefusedAtItsEntryUnlessTheEntrySaysItIsMeant) {
    for (const char* entry : {"destination = \"..\\\\up\"\n", "name = \"nul.txt\"\n", "name = \"a.txt:s\"\n",
                              "destination = \"C:tools\"\n"}) {
        EXPECT_FALSE(Build(entry)) << entry;
        ASSERT_EQ(diagnostics.List().size(), 1u) << entry;
        EXPECT_EQ(diagnostics.List()[0].place.line, 2) << entry;
        EXPECT_THAT(diagnostics.List()[0].message, HasSubstr("give unusual_destination = true")) << entry;
    }
    EXPECT_TRUE(Build("destination = \"..\\\\up\"\nunusual_destination = true\n"));
    EXPECT_TRUE(Build("destination = \"sub\\\\..\\\\up\"\n"));
}

TEST_F(BuilderUnusualDestination, TheInspectorFlagsWhatTheAuthorAllowed) {
    std::optional<BuildSummary> summary = Build("destination = \"..\\\\up\"\nunusual_destination = true\n");
    ASSERT_TRUE(summary);
    Inspection inspection = InspectInstaller(summary->image);
    ASSERT_FALSE(inspection.Failed()) << inspection.failedCheck;
    EXPECT_THAT(RenderInspectionText(inspection, "setup.exe"),
                HasSubstr("! unusual destination: climbs out of the folder it is placed in (..)"));
    EXPECT_THAT(RenderJson(BuildReport(inspection)), HasSubstr("\"unusualDestination\": ["));

    summary = Build("destination = \"up\"\n");
    ASSERT_TRUE(summary);
    inspection = InspectInstaller(summary->image);
    EXPECT_THAT(RenderInspectionText(inspection, "setup.exe"), Not(HasSubstr("unusual")));
}

}  // namespace
}  // namespace palisade::tools
