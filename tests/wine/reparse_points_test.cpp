// A folder of an installation swapped for a link to another place (Wine
// shows a Unix symbolic link in the prefix as a reparse point, as Windows
// shows a junction): neither the installer nor the uninstaller follows it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Replaces `folder`\docs by a link to `elsewhere`, which holds a file of the
// same name as the product's: what stands for a system file.
void SwapDocsForALink(const std::string& folder, const std::string& elsewhere) {
    fs::remove_all(HostPath(folder + "\\docs"));
    fs::remove_all(HostPath(elsewhere));
    WriteHostFile(HostPath(elsewhere + "\\guide.txt"), "not the product's");
    fs::create_directory_symlink(HostPath(elsewhere), HostPath(folder + "\\docs"));
}

TEST(ReparsePoints, NeitherTheInstallerNorTheUninstallerGoesThroughALink) {
    const std::string name = Unique("Reparse Points");
    const std::string folder = InstallFolderOf(name);
    const std::string elsewhere = "C:\\Palisade Tests\\Elsewhere " + name;
    fs::remove_all(HostPath(folder));
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    product.items.push_back(FileItem("guide.txt", "the product's guide", u"docs\\"));
    const std::string installer = WriteInstaller(product, "reparse-points.exe");
    RunResult first = InstallSilently(installer);
    ASSERT_EQ(first.exitCode, 1) << first.debugOutput;

    // Whoever may change the installation folder puts a link in its place.
    SwapDocsForALink(folder, elsewhere);
    RunResult again = InstallSilently(installer);
    EXPECT_EQ(ReadHostFile(HostPath(elsewhere + "\\guide.txt")), "not the product's") << again.debugOutput;
    EXPECT_THAT(InstallLogOf(name), HasSubstr("A folder on its way is a link to another place."));

    std::string uninstaller = folder + "\\uninstall\\uninstall.exe";
    RunResult removal = RunProgram(ProbePath(), WithArguments({"run-line", uninstaller, "/a /u:\"" + name + "\""}));
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath(elsewhere + "\\guide.txt")), "not the product's");
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\app.exe")));

    fs::remove(HostPath(folder + "\\docs"));
    fs::remove_all(HostPath(folder));
    fs::remove_all(HostPath(elsewhere));
}

}  // namespace
}  // namespace palisade::wine
