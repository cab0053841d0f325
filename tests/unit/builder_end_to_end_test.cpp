// From a project file to an installer and back through the installer's own reader.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "builder/build_command.h"
#include "builder/installer_builder.h"
#include "builder/time_stamps.h"
#include "builder_test_support.h"
#include "core/text.h"
#include "inspector/examination_report.h"
#include "inspector/examine_command.h"
#include "inspector/installer_examination.h"
#include "payload/archive.h"
#include "payload/crc32.h"
#include "payload/settings_flags.h"
#include "payload/settings_stream.h"
#include "payload_test_support.h"

namespace palisade::tools {
namespace {

using testing::TempFolder;
using ::testing::HasSubstr;

constexpr char kProject[] = R"(
ProductName = "Hello"
Publisher = "Example Ltd"
ProductVersion = "1.2.3"
IntegrityMode = 1
SettingsFlags1 = ["FolderPage", "Uninstaller"]
PayloadFlags = ["StrippedInstaller"]
UninstallerIcon = "app.ico"
%BUILD%

[[files]]
source = "files/readme.txt"
shortcut = "start-menu"
shortcut_name = "Read me"
info = "Readme"
time = "2022-03-04 05:06:07"

[[files]]
source = "files/data"
destination = "share"
overwrite = "missing-only"
attributes = ["read-only"]

[[files]]
source = "files/tool.exe"
name = "hello.exe"
kind = "newer-only"
info = "1.2.3.4"
arguments = "--caf\u00e9"
permanent = true

[[languages]]
file = "de.toml"
)";

class BuilderEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("files/readme.txt", "Read me first.\n");
        folder.Write("files/data/a.txt", std::string(5000, 'a'));
        folder.Write("files/data/sub/\xc3\xa9t\xc3\xa9.txt", "summer");  // a non-ASCII name
        folder.Write("files/tool.exe", "MZ tool");
        folder.Write("app.ico", "icon");
        folder.Write("de.toml", "name = \"Deutsch\"\n[messages]\n49 = \"Abbrechen\"\n");
    }

    std::optional<Project> Read(const std::string& build) {
        std::string text = kProject;
        text.replace(text.find("%BUILD%"), 7, build);
        return testing::ReadProjectText(folder, text, diagnostics);
    }

    Inspection BuildAndInspect(const std::string& build, const std::vector<std::uint8_t>& stub) {
        std::optional<Project> project = Read(build);
        EXPECT_TRUE(project) << ::testing::PrintToString(testing::Messages(diagnostics));
        if (!project) return {};
        Progress quiet(true);
        std::optional<BuildSummary> summary = BuildInstaller(*project, stub, quiet, diagnostics);
        EXPECT_TRUE(summary) << ::testing::PrintToString(testing::Messages(diagnostics));
        if (!summary) return {};
        image = summary->image;
        return InspectInstaller(image);
    }

    static const InspectedItem* FindItem(const Inspection& inspection, const std::string& name) {
        for (const InspectedItem& item : inspection.items) {
            if (Utf16ToUtf8(DecodeNarrowText(item.entry.name)) == name) return &item;
        }
        return nullptr;
    }

    void ExpectProjectSurvives(const Inspection& inspection) {
        ASSERT_FALSE(inspection.Failed()) << inspection.errorCode << ": " << inspection.failedCheck;
        const InstallerSettings& s = *inspection.settings;
        EXPECT_EQ(s.displayName, u"Hello");
        EXPECT_EQ(s.publisher, u"Example Ltd");
        EXPECT_EQ(s.displayVersion, u"1.2.3");
        EXPECT_EQ(s.integrityMode, 1);
        EXPECT_EQ(s.settingsFlags1 & 0x84u, 0x84u);
        EXPECT_EQ(s.uninstallerIcon, (ByteBlob{'i', 'c', 'o', 'n'}));
        EXPECT_EQ(inspection.header->payloadFlags & 0x20u, 0x20u);
        ASSERT_EQ(s.messageCatalogue.LanguageCount(), 2u);
        EXPECT_EQ(s.messageCatalogue.Text(49, 1), u"Abbrechen");
        EXPECT_EQ(s.messageCatalogue.Text(48, 1), u"&Next >");

        ASSERT_EQ(inspection.items.size(), 4u);
        const InspectedItem* readme = FindItem(inspection, "readme.txt");
        ASSERT_TRUE(readme);
        EXPECT_EQ(readme->entry.flags, 0x01u);
        EXPECT_EQ(readme->entry.shortcutName, std::u16string(u"Read me"));
        EXPECT_EQ(readme->entry.info, "Readme");
        EXPECT_EQ(TimeStampText(readme->entry.timeStamp), "2022/03/04 05:06:07");
        EXPECT_EQ(readme->entry.destinationOverride, u"");
        EXPECT_EQ(readme->entry.dataChecksum, Crc32("Read me first.\n", 15));

        const InspectedItem* a = FindItem(inspection, "a.txt");
        ASSERT_TRUE(a);
        EXPECT_EQ(a->dataSize, 5000u);
        EXPECT_EQ(a->entry.destinationOverride, u"share\\");
        EXPECT_EQ(a->entry.flags, std::uint32_t(OverwriteMode::OnlyIfMissing));
        EXPECT_EQ(a->entry.attributes, 0x1);
        std::optional<FileTimeStamp> mtime = ModificationTimeUtc(folder / "files/data/a.txt");
        EXPECT_TRUE(a->entry.timeStamp == *mtime);

        const InspectedItem* summer = FindItem(inspection, "\xc3\xa9t\xc3\xa9.txt");
        ASSERT_TRUE(summer);
        EXPECT_EQ(summer->entry.name, "|\xc3\xa9t\xc3\xa9.txt");
        EXPECT_EQ(summer->entry.destinationOverride, u"share\\sub\\");

        const InspectedItem* tool = FindItem(inspection, "tool.exe");
        ASSERT_TRUE(tool);
        EXPECT_EQ(tool->entry.kind, EntryKind::NewerOnlyFile);
        EXPECT_EQ(tool->entry.destinationOverride, u"hello.exe");
        EXPECT_EQ(tool->entry.flags, EntryFlags::kPermanent);
        EXPECT_EQ(tool->entry.arguments, "--caf\xe9");
    }

    TempFolder folder;
    Diagnostics diagnostics;
    std::vector<std::uint8_t> image;
};

TEST_F(BuilderEndToEnd, CompressedItemsAndSettingsSurvive) {
    Inspection inspection = BuildAndInspect("", ::palisade::testing::MakeStub());
    ExpectProjectSurvives(inspection);
    EXPECT_FALSE(inspection.header->payloadKey);
    EXPECT_NE(inspection.settings->settingsFlags1 & Flags1::kCompressedChunks, 0u);
}

TEST_F(BuilderEndToEnd, CipheredWithTheGivenKeyInSmallChunks) {
    Inspection inspection =
        BuildAndInspect("[build]\ncipher_key = \"0123456789abcdef\"\nchunk_size = 4096\njobs = 2\n",
                        ::palisade::testing::MakeStub());
    ExpectProjectSurvives(inspection);
    ASSERT_TRUE(inspection.header->payloadKey);
    EXPECT_EQ(inspection.header->payloadKey->at(0), 0x01);
    EXPECT_EQ(inspection.header->payloadKey->at(7), 0xef);
    EXPECT_NE(inspection.header->payloadFlags & PayloadFlags::kCiphered, 0u);
}

TEST_F(BuilderEndToEnd, StoredWithoutCompression) {
    Inspection inspection = BuildAndInspect("[build]\ncompress = false\ncipher = true\n", ::palisade::testing::MakeStub());
    ExpectProjectSurvives(inspection);
    EXPECT_EQ(inspection.settings->settingsFlags1 & Flags1::kCompressedChunks, 0u);
    EXPECT_TRUE(inspection.header->payloadKey);
}

TEST_F(BuilderEndToEnd, TheConfiguredStubTakesThePayload) {
    std::ifstream in(DefaultStubPath(), std::ios::binary);
    if (!in) GTEST_SKIP() << "no stub at " << DefaultStubPath() << " (make windows builds it)";
    std::vector<std::uint8_t> stub((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ExpectProjectSurvives(BuildAndInspect("[build]\ncipher = true\n", stub));
}

TEST_F(BuilderEndToEnd, DamageIsReportedWithTheInstallersCode) {
    Inspection good = BuildAndInspect("", ::palisade::testing::MakeStub());
    ASSERT_FALSE(good.Failed());
    std::vector<std::uint8_t> damaged = image;
    damaged[damaged.size() - 1 - (damaged.size() - good.section->rawPosition - good.header->payloadLength)] ^= 0x55;
    Inspection inspection = InspectInstaller(damaged);
    EXPECT_EQ(inspection.errorCode, 55);
    EXPECT_THAT(inspection.failedCheck, HasSubstr("archive"));

    std::vector<std::uint8_t> head = image;
    head[good.section->peHeaderOffset + 200] ^= 1;  // inside the range integrity mode 1 covers
    EXPECT_EQ(InspectInstaller(head).errorCode, 40);

    std::vector<std::uint8_t> cut(image.begin(), image.end() - 1);
    EXPECT_THAT(InspectInstaller(cut).failedCheck, HasSubstr("cut short"));

    Inspection bare = InspectInstaller(::palisade::testing::MakeStub());
    EXPECT_TRUE(bare.Failed());
    EXPECT_THAT(bare.failedCheck, HasSubstr("no .setup section"));
}

TEST_F(BuilderEndToEnd, TheReportNamesSettingsFlagsAndItems) {
    Inspection inspection = BuildAndInspect("", ::palisade::testing::MakeStub());
    ASSERT_FALSE(inspection.Failed());
    std::string json = RenderJson(BuildReport(inspection));
    EXPECT_THAT(json, HasSubstr("\"DisplayName\": \"Hello\""));
    EXPECT_THAT(json, HasSubstr("\"StrippedInstaller\""));
    EXPECT_THAT(json, HasSubstr("\"FolderPage\""));
    EXPECT_THAT(json, HasSubstr("\"name\": \"Deutsch\""));
    EXPECT_THAT(json, HasSubstr("\"overwrite\": \"missing-only\""));
    EXPECT_THAT(json, HasSubstr("\"destination\": \"share\\\\\""));
}

// What an installer will register and remove is shown entry by entry, under
// the project file's names, not only counted.
TEST_F(BuilderEndToEnd, TheReportListsEveryEntryOfTheListSettings) {
    Inspection inspection = BuildAndInspect(R"(
[[FileAssociations]]
Extension = ".hel"
ProgId = "Hello.Doc"
Verbs = "open,print"
Command = ["hello.exe \"%1\"", "hello.exe /p \"%1\""]
[[UninstallValues]]
Name = "HelpLink"
Value = "https://example.com/help"
[[FileDeletions]]
Path = "old.txt"
Flags = ["AtInstall"]
[[AutoCloseEntries]]
Application = "Hello"
Action = "ask"
[[AuthorShortcuts]]
Name = "Hello Online"
Target = "https://example.com"
Permanent = true
)",
                                            ::palisade::testing::MakeStub());
    ASSERT_FALSE(inspection.Failed());
    std::string json = RenderJson(BuildReport(inspection));
    EXPECT_THAT(json, HasSubstr("\"Extension\": \".hel\""));
    EXPECT_THAT(json, HasSubstr("\"Command\": \"hello.exe \\\"%1\\\"\\r\\nhello.exe /p \\\"%1\\\"\""));
    EXPECT_THAT(json, HasSubstr("\"Name\": \"HelpLink\""));
    EXPECT_THAT(json, HasSubstr("\"Type\": \"REG_SZ\""));
    EXPECT_THAT(json, HasSubstr("\"Path\": \"old.txt\""));
    EXPECT_THAT(json, HasSubstr("\"AtInstall\""));
    EXPECT_THAT(json, HasSubstr("\"Action\": \"ask\""));
    EXPECT_THAT(json, HasSubstr("\"Target\": \"https://example.com\""));
    EXPECT_THAT(json, HasSubstr("\"Permanent\": true"));
}

class BuilderCommandLine : public BuilderEndToEnd {
protected:
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string WriteProject() {
        std::string text = kProject;
        text.replace(text.find("%BUILD%"), 7, "");
        return folder.Write("palisade.toml", text).string();
    }
    std::string WriteStub() {
        std::vector<std::uint8_t> stub = ::palisade::testing::MakeStub();
        return folder.Write("stub.exe", std::string(stub.begin(), stub.end())).string();
    }
};

TEST_F(BuilderCommandLine, BuildsAndInspects) {
    std::string output = (folder / "setup.exe").string();
    EXPECT_EQ(RunBuildCommand({WriteProject(), "-o", output, "--stub", WriteStub(), "-q", "--jobs", "1"}), 0);
    ASSERT_TRUE(std::filesystem::exists(output));
    EXPECT_FALSE(std::filesystem::exists(output + ".part"));
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunInspectCommand({output, "--json"}), 0);
    EXPECT_THAT(::testing::internal::GetCapturedStdout(), HasSubstr("\"itemCount\": 4"));
}

TEST_F(BuilderCommandLine, ExitCodesTellMistakesApart) {
    std::string stub = WriteStub();
    std::string output = (folder / "setup.exe").string();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunBuildCommand({WriteProject(), "--stub", stub, "-q"}), 2);  // no output
    EXPECT_EQ(RunBuildCommand({WriteProject(), "-o", output, "--jobs", "x"}), 2);
    EXPECT_EQ(RunBuildCommand({WriteProject(), "-o", output, "--bogus"}), 2);
    folder.Write("broken.toml", "ProductName = \"x\"\nBitmapSize = 500\n");
    EXPECT_EQ(RunBuildCommand({(folder / "broken.toml").string(), "-o", output, "--stub", stub}), 1);
    EXPECT_EQ(RunBuildCommand({WriteProject(), "-o", output, "--stub", (folder / "none.exe").string()}), 1);
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(errors, HasSubstr("broken.toml:2:14: error:"));
    EXPECT_FALSE(std::filesystem::exists(output));

    folder.Write("damaged.exe", std::string(stub.size(), '\0'));
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunInspectCommand({(folder / "damaged.exe").string()}), 1);
    EXPECT_EQ(RunInspectCommand({}), 2);
    ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("error code 43"));
}

TEST_F(BuilderCommandLine, TheOutputMayNotReplaceAFileTheBuildReads) {
    std::string project = WriteProject();
    std::string stub = WriteStub();
    struct Case {
        std::string output;
        const char* what;
    };
    const Case cases[] = {
        {project, "the project file"},
        {stub, "the installer stub"},
        {(folder / "files/readme.txt").string(), "a source of the [[files]] entry at line 11"},
        {(folder / "files/data/sub/../a.txt").string(), "a source of the [[files]] entry at line 18"},
        {(folder / "app.ico").string(), "a file the project reads"},
        {(folder / "de.toml").string(), "a file the project reads"},
    };
    for (const Case& c : cases) {
        std::string before = ReadText(c.output);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RunBuildCommand({project, "-o", c.output, "--stub", stub, "-q"}), 1) << c.output;
        EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                    HasSubstr("the output would replace " + std::string(c.what) + "; choose another output file"));
        EXPECT_EQ(ReadText(c.output), before) << c.output;
    }
    std::filesystem::create_symlink(folder / "files/tool.exe", folder / "alias.exe");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunBuildCommand({project, "-o", (folder / "alias.exe").string(), "--stub", stub, "-q"}), 1);
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("the output would replace a source"));
}

TEST_F(BuilderCommandLine, AStubThatIsAFolderIsACleanError) {
    std::filesystem::create_directories(folder / "stubs");
    std::string output = (folder / "setup.exe").string();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunBuildCommand({WriteProject(), "-o", output, "--stub", (folder / "stubs").string(), "-q"}), 1);
    EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                HasSubstr("stubs': it is a folder, not a file; it is the stub given with --stub"));
    EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
}  // namespace palisade::tools
