// An installation folder that is a drive root, the Windows folder, a Program
// Files root, a profile folder or a relative path is refused before anything
// is written, also when `/d` asks for it in a silent run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "install_support.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// The short (8.3) name Wine gave "C:\\Program Files": a path that does not
// look like the refused folder but is it.
std::string ShortNameOfProgramFiles() {
    RunResult run = RunProgram(ProbePath(), WithArguments({"short-path", "C:\\Program Files"}));
    std::string name = run.stdoutText.substr(0, run.stdoutText.find_first_of("\r\n"));
    EXPECT_NE(name.find('~'), std::string::npos) << "no short name: " << run.stdoutText;
    return name;
}

TEST(FolderGuard, SilentRunsRefuseFoldersThatMustNotHoldAProduct) {
    const std::string name = Unique("Folder Guard");
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("guard-probe.txt", "must not be written"));
    fs::path installer = WriteInstaller(product, "folder-guard.exe");
    struct Case {
        std::string folder;
        std::string message;
    };
    const Case cases[] = {
        {"C:\\windows", "This is a system folder."},
        {"C:\\windows\\system32\\guard", "This is a system folder."},
        {"C:\\", "Programs cannot be installed directly in this folder."},
        {ShortNameOfProgramFiles(), "Programs cannot be installed directly in this folder."},
        {"Relative\\Folder", "The folder name is not valid."},
        {"C:\\Apps\\..\\windows", "The folder name is not valid."},
        {"K:\\Nowhere", "Drive K: is not present."},
    };
    for (const Case& c : cases) {
        RunResult run = InstallSilently(installer, {"/d:" + c.folder});
        EXPECT_EQ(run.exitCode, 1) << c.folder;
        EXPECT_THAT(run.debugOutput, HasSubstr(c.message)) << c.folder;
        EXPECT_FALSE(fs::exists(HostPath(c.folder + "\\guard-probe.txt"))) << c.folder;
        EXPECT_FALSE(RegQueryValue(kUninstallKey + name, "DisplayName").has_value()) << c.folder;
    }
    // A folder of its own below a refused one is fine.
    RunResult run = InstallSilently(installer, {"/d:C:\\FolderGuard" + std::to_string(::getpid())});
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    EXPECT_TRUE(fs::exists(HostPath("C:\\FolderGuard" + std::to_string(::getpid()) + "\\guard-probe.txt")))
        << run.debugOutput;
}

}  // namespace
}  // namespace palisade::wine
