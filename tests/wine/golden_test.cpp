// Whole texts compared exactly: the Install.log and Uninstall.DAT of one
// fixed product, with the lines that change from run to run masked. Exact
// comparison catches extra, missing and duplicated lines that substring
// checks let through. Regenerate with PALISADE_UPDATE_GOLDEN=1 after a
// deliberate change, and read the diff before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "core/text.h"
#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

// The name as the golden texts show it; every run installs under a name of its own.
constexpr char kProduct[] = "Golden Record";

fs::path GoldenPath(const std::string& name) { return fs::path(PALISADE_SOURCE_DIR) / "tests/wine/golden" / name; }

// The date, the operating system, the user's profile folder and the run's
// own product name differ from run to run; everything else must not.
std::string Masked(std::string text, const std::string& name) {
    text = ReplaceAll(text, name, kProduct);
    text = std::regex_replace(text, std::regex("Install date: [^\r]*"), "Install date: <date>");
    text = std::regex_replace(text, std::regex("Operating system: [^\r]*"), "Operating system: <os>");
    text = std::regex_replace(text, std::regex("C:\\\\users\\\\[^\\\\]+\\\\", std::regex::icase), "C:\\users\\<user>\\");
    return text;
}

void ExpectMatchesGolden(const std::string& actual, const std::string& goldenName) {
    fs::path golden = GoldenPath(goldenName);
    if (std::getenv("PALISADE_UPDATE_GOLDEN") != nullptr) WriteHostFile(golden, actual);
    ASSERT_TRUE(fs::exists(golden)) << golden;
    EXPECT_EQ(actual, ReadHostFile(golden)) << "differs from " << golden;
}

TestProduct GoldenProduct(const std::string& name) {
    TestProduct product = MakeProduct(name);
    InstallerSettings& s = product.settings;
    // Both levels of the group are new in every run, so both are recorded.
    s.productStartMenu = Utf8ToUtf16(name) + u"\\Manuals";
    s.shortcutPlacements.forFlag1 = kPlaceStartMenu;
    s.registryEntries = u"\\HKCU\\Software\\Palisade Tests\\" + Utf8ToUtf16(name) + u",Level,4,3,1\r\n";
    FileDeletion cache;
    cache.pathPattern = "*.cache";
    cache.flags = kDeleteAtUninstall;
    s.fileDeletions = {cache};
    s.autoCloseEntries = {{u"GoldenWindow", u"", u"Golden Viewer", 0, 2}};
    PayloadItem readme = FileItem("readme.txt", "Read me first.\r\n");
    readme.flags = 0x01;  // a start-menu shortcut
    readme.shortcutName = u"Golden Readme";
    product.items.push_back(readme);
    product.items.push_back(FileItem("guide.txt", "The guide.\r\n", u"docs\\"));
    product.items.push_back(FileItem("data.bin", std::string(300, '\x7F'), u"docs\\deep\\"));
    return product;
}

TEST(GoldenTexts, InstallLogAndUninstallDataAreExactlyAsRecorded) {
    const std::string name = Unique(kProduct);
    const std::string folder = InstallFolderOf(name);
    RegChange({"add", "HKCU\\Software\\Palisade Tests"});  // the record names the first key created
    fs::create_directories(HostPath("C:\\Palisade Tests"));  // and the folder above the product's own: there before
    RunResult run = InstallSilently(WriteInstaller(GoldenProduct(name), "golden-record.exe"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;

    ExpectMatchesGolden(Masked(InstallLogOf(name), name), "golden-record-install.log");
    ExpectMatchesGolden(Masked(ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT")), name),
                        "golden-record-uninstall.dat");
}

}  // namespace
}  // namespace palisade::wine
