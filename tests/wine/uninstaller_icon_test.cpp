// The settings' uninstaller icon under Wine: the written uninstaller carries
// it in its resources; an unreadable icon is logged and the uninstaller
// keeps the installer's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "install_support.h"

#include "payload/little_endian.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A picture as an icon stores it: the bitmap header (twice the height, for
// the mask below the colours), 32-bit pixels of one colour, an empty mask.
std::vector<std::uint8_t> SolidPicture(int size, std::uint32_t bgra) {
    std::vector<std::uint8_t> picture;
    for (std::uint32_t field : {40u, std::uint32_t(size), std::uint32_t(size * 2)}) AppendU32(picture, field);
    AppendU16(picture, 1);
    AppendU16(picture, 32);
    for (int i = 0; i < 6; ++i) AppendU32(picture, 0);
    for (int i = 0; i < size * size; ++i) AppendU32(picture, bgra);
    int maskRow = ((size + 31) / 32) * 4;
    picture.insert(picture.end(), std::size_t(maskRow * size), 0);
    return picture;
}

// An icon file with a red 16x16 and a blue 32x32 picture.
std::vector<std::uint8_t> RedAndBlueIcon() {
    std::vector<std::vector<std::uint8_t>> pictures = {SolidPicture(16, 0xFFFF0000), SolidPicture(32, 0xFF0000FF)};
    std::vector<std::uint8_t> file;
    AppendU16(file, 0);
    AppendU16(file, 1);
    AppendU16(file, 2);
    std::uint32_t offset = 6 + 16 * 2;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        std::uint8_t size = i == 0 ? 16 : 32;
        for (std::uint8_t byte : {size, size, std::uint8_t(0), std::uint8_t(0)}) file.push_back(byte);
        AppendU16(file, 1);
        AppendU16(file, 32);
        AppendU32(file, std::uint32_t(pictures[i].size()));
        AppendU32(file, offset);
        offset += std::uint32_t(pictures[i].size());
    }
    for (const auto& picture : pictures) file.insert(file.end(), picture.begin(), picture.end());
    return file;
}

std::string IconInfo(const std::string& program) {
    return RunProgram(ProbePath(), WithArguments({"icon-info", program})).stdoutText;
}

TEST(UninstallerIconWine, TheWrittenUninstallerShowsTheSettingsIcon) {
    const std::string name = "Uninstaller Icon " + std::to_string(::getpid());
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    product.settings.uninstallerIcon = RedAndBlueIcon();
    RunResult install = InstallSilently(WriteInstaller(product, "uninstaller-icon.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;

    const std::string folder = InstallFolderOf(name);
    EXPECT_EQ(IconInfo(folder + "\\uninstall\\uninstall.exe"), "images 2 pixel ff0000\n");
    EXPECT_THAT(InstallLogOf(name), Not(HasSubstr("icon")));
    // The changed file still runs as the uninstaller.
    RunResult uninstall = RunProgram(
        ProbePath(), WithArguments({"run-line", folder + "\\uninstall\\uninstall.exe", "/a /u:\"" + name + "\""}));
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
}

TEST(UninstallerIconWine, AnUnreadableIconIsLoggedAndTheOwnIconStays) {
    const std::string name = "Uninstaller Bad Icon " + std::to_string(::getpid());
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    product.settings.uninstallerIcon = {0, 0, 2, 0, 1, 0};  // a cursor's header
    RunResult install = InstallSilently(WriteInstaller(product, "uninstaller-bad-icon.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;

    const std::string uninstaller = InstallFolderOf(name) + "\\uninstall\\uninstall.exe";
    EXPECT_THAT(InstallLogOf(name), HasSubstr("Uninstaller >>> " + uninstaller + "\r\nFailed to replace uninstaller icon.\r\n"));
    EXPECT_EQ(IconInfo(uninstaller), IconInfo("Z:" + StubPath().string()));
    EXPECT_THAT(IconInfo(uninstaller), HasSubstr("images "));
}

}  // namespace
}  // namespace palisade::wine
