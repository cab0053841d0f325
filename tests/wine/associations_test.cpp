// File associations under Wine with the real installer: backups of replaced
// defaults, "Open With" only associations, verbs, icons and the records in
// Uninstall.DAT.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "core/text.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Tag() { return std::to_string(::getpid()); }

FileAssociation Association(const std::string& extension, const std::string& progId, const std::string& verbs) {
    FileAssociation association;
    association.extension = extension;
    association.progId = progId;
    association.verbs = verbs;
    association.description = u"Palisade test document";
    association.command = u"\"%InstallDir%\\viewer.exe\" \"%1\"";
    association.verbLabel = u"&View it";
    return association;
}

TEST(WineAssociations, ReplacedDefaultIsKeptUnderTheBackupName) {
    const std::string name = "Assoc Backup";
    const std::string extension = ".pab" + Tag();
    const std::string progId = "Palisade.Backup" + Tag();
    TestProduct product = MakeProduct(name);
    // The registry step runs first and gives the extension another owner.
    product.settings.registryEntries = Utf8ToUtf16("\\HKCR\\" + extension + ",,1,Other.File,1\r\n");
    FileAssociation association = Association(extension, progId, "open");
    association.icon = "viewer.exe,1";
    product.settings.fileAssociations.push_back(association);
    product.items.push_back(FileItem("viewer.exe", "MZ"));
    ASSERT_EQ(InstallSilently(WriteInstaller(product, "assoc-backup.exe")).exitCode, 1);

    const std::string folder = InstallFolderOf(name);
    std::string extensionKey = RegExport("HKCR\\" + extension);
    EXPECT_THAT(extensionKey, HasSubstr("@=\"" + progId + "\""));
    EXPECT_EQ(RegQueryValue("HKCR\\" + extension, name + " Backup"), "Other.File");
    EXPECT_THAT(extensionKey, HasSubstr("\"" + progId + "\"=hex(0):"));  // OpenWithProgids
    std::string progIdKey = RegExport("HKCR\\" + progId);
    EXPECT_THAT(progIdKey, HasSubstr("@=\"Palisade test document\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\DefaultIcon]\r\n@=\"" + ReplaceAll(folder, "\\", "\\\\") + "\\\\viewer.exe,1\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\shell]\r\n@=\"open\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\shell\\open]\r\n@=\"&View it\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\shell\\open\\command]\r\n@=\"\\\"" + ReplaceAll(folder, "\\", "\\\\") +
                                     "\\\\viewer.exe\\\" \\\"%1\\\"\""));

    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr(extension + " Open With \"" + folder + "\\viewer.exe\" \"%1\"\r\n"));
    EXPECT_THAT(log, HasSubstr("Associated " + extension + " with \"" + folder + "\\viewer.exe\" \"%1\" (verb=open)\r\n"));
    EXPECT_THAT(log, Not(HasSubstr("FAILURE SUMMARY")));
}

TEST(WineAssociations, OpenWithOnlyLeavesTheExtensionDefaultAlone) {
    const std::string name = "Assoc Open With";
    const std::string extension = ".paw" + Tag();
    const std::string progId = "Palisade.OpenWith" + Tag();
    TestProduct product = MakeProduct(name);
    FileAssociation association = Association(extension, progId, "edit");
    association.mode = 2;
    product.settings.fileAssociations.push_back(association);
    product.items.push_back(FileItem("viewer.exe", "MZ"));
    ASSERT_EQ(InstallSilently(WriteInstaller(product, "assoc-open-with.exe")).exitCode, 1);

    std::string extensionKey = RegExport("HKCR\\" + extension);
    EXPECT_THAT(extensionKey, HasSubstr("\\OpenWithProgids]\r\n\"" + progId + "\"=hex(0):"));
    EXPECT_THAT(extensionKey, Not(HasSubstr("@=")));
    std::string progIdKey = RegExport("HKCR\\" + progId);
    EXPECT_THAT(progIdKey, HasSubstr("\\shell\\edit\\command]"));
    EXPECT_THAT(progIdKey, Not(HasSubstr("\\shell]\r\n@=")));  // no default verb
}

// Two verbs: the first is the default, each has its own command and label,
// the product's own texts are never taken for another program's, and the
// uninstallation (after a reinstallation) leaves nothing of the ProgID.
TEST(WineAssociations, TwoVerbsRoundTrip) {
    const std::string name = Unique("Assoc Two Verbs");
    const std::string extension = ".ptv" + Tag();
    const std::string progId = "Palisade.TwoVerbs" + Tag();
    TestProduct product = MakeProduct(name);
    FileAssociation twoVerbs = Association(extension, progId, "open,print");
    twoVerbs.command = u"\"%InstallDir%\\viewer.exe\" \"%1\"\r\n\"%InstallDir%\\viewer.exe\" /p \"%1\"";
    twoVerbs.verbLabel = u"&View it\r\n&Print it";
    product.settings.fileAssociations.push_back(twoVerbs);
    // The extension key is never given a default by a "!" identifier.
    product.settings.fileAssociations.push_back(Association(extension + "b", "!" + progId, "open"));
    product.items.push_back(FileItem("viewer.exe", "MZ"));
    std::filesystem::path installer = WriteInstaller(product, "assoc-two-verbs.exe");
    ASSERT_EQ(InstallSilently(installer).exitCode, 1);
    ASSERT_EQ(InstallSilently(installer).exitCode, 1);  // a reinstallation finds its own texts

    const std::string folder = InstallFolderOf(name);
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, HasSubstr("\r\n\r\n[Associations]\r\n" + extension + "~!~" + progId + "~!~open~!~\r\n" +
                                extension + "~!~" + progId + "~!~print~!~\r\n" + extension + "b~!~!" + progId +
                                "~!~open~!~\r\n"));
    std::string progIdKey = RegExport("HKCR\\" + progId);
    std::string viewer = ReplaceAll(folder, "\\", "\\\\") + "\\\\viewer.exe";
    EXPECT_THAT(progIdKey, HasSubstr("\\shell]\r\n@=\"open\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\shell\\open]\r\n@=\"&View it\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\shell\\print]\r\n@=\"&Print it\""));
    EXPECT_THAT(progIdKey, HasSubstr("\\shell\\print\\command]\r\n@=\"\\\"" + viewer + "\\\" /p \\\"%1\\\"\""));
    EXPECT_THAT(progIdKey, Not(HasSubstr("Backup")));
    EXPECT_THAT(RegExport("HKCR\\" + extension + "b"), Not(HasSubstr("@=")));
    EXPECT_THAT(RegExport("HKCR\\" + extension + "b"), HasSubstr("\"" + progId + "\"=hex(0):"));
    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr("(verb=open)\r\n"));
    EXPECT_THAT(log, HasSubstr("/p \"%1\" (verb=print)\r\n"));

    RunResult removal = UninstallQuietly(name);
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_EQ(RegExport("HKCR\\" + progId), "");
    EXPECT_EQ(RegExport("HKCR\\" + extension), "");
    EXPECT_EQ(RegExport("HKCR\\" + extension + "b"), "");
}

}  // namespace
}  // namespace palisade::wine
