// Installations that do not end well: killed in the middle of the file walk,
// or out of disk space. Nothing the machine had is lost, and a second run or
// the uninstaller can always finish the job.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <random>

#include "payload_layout.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Bytes no compressor can shrink, so that writing them takes a while.
std::string NoiseOf(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = char(random());
    return bytes;
}

std::vector<std::string> FilesBelow(const fs::path& root) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        names.push_back(fs::relative(entry.path(), root).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(InterruptedInstallation, KilledInTheFileWalkThenRunAgainAndRemoved) {
    const std::string name = Unique("Killed Walk");
    const std::string folder = InstallFolderOf(name);
    fs::remove_all(HostPath(folder));
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("first.txt", "first"));
    product.items.push_back(FileItem("big.bin", NoiseOf(24u << 20, 1)));
    product.items.push_back(FileItem("last.txt", "last"));
    std::string installer = "Z:" + WriteInstaller(product, "killed-walk.exe").string();

    // Ended as Task Manager would while the big file is being written.
    RunResult killed = RunProgram(
        ProbePath(), WithArguments({"run-until", installer, "/silent", folder + "\\big.bin.palisade-new"}));
    ASSERT_EQ(killed.stdoutText, "killed") << "the installation ended before it could be interrupted";
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\first.txt")));
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\last.txt")));

    RunResult again = RunProgram(ProbePath(), WithArguments({"run-line", installer, "/silent"}));
    EXPECT_EQ(again.stdoutText, "1") << again.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\big.bin")), NoiseOf(24u << 20, 1));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\last.txt")), "last");
    // The temporary the killed run left is taken over, not left beside its file.
    EXPECT_EQ(FilesBelow(HostPath(folder)),
              (std::vector<std::string>{"big.bin", "first.txt", "last.txt", "uninstall", "uninstall/Install.log",
                                        "uninstall/Uninstall.DAT", "uninstall/uninstall.exe"}));

    RunResult removal = UninstallQuietly(name);
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); }))
        << ::testing::PrintToString(FilesBelow(HostPath(folder)));
}

// A damaged archive stops the walk with a fatal error; the files written
// before it are registered all the same, so the uninstaller removes them.
TEST(InterruptedInstallation, ADamagedArchiveStillLeavesARecordOfWhatWasWritten) {
    const std::string name = Unique("Damaged Walk");
    const std::string folder = InstallFolderOf(name);
    fs::remove_all(HostPath(folder));
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags1 &= ~0x20u;  // plain chunks: a byte of a file can be changed in place
    product.items.push_back(FileItem("first.txt", "first"));
    const std::string marker = "PALISADE-DAMAGED-FILE";
    product.items.push_back(FileItem("second.txt", marker));
    fs::path path = WriteInstaller(product, "damaged-walk.exe");
    std::string bytes = ReadHostFile(path);
    std::vector<std::uint8_t> image(bytes.begin(), bytes.end());
    const Layout at = Locate(image);
    auto found = std::search(image.begin() + long(at.archive), image.end(), marker.begin(), marker.end());
    ASSERT_NE(found, image.end());
    *found ^= 0x20;
    ResealArchive(image, at);
    WriteHostFile(path, std::string(image.begin(), image.end()));

    RunResult run = InstallSilently(path);
    EXPECT_THAT(run.debugOutput, HasSubstr("Error code: 100"));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\first.txt")), "first");
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\second.txt")));
    EXPECT_THAT(ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT")), HasSubstr(folder + "\\first.txt\r\n"));
    EXPECT_THAT(InstallLogOf(name), HasSubstr("Error code: 100"));

    RunResult removal = UninstallQuietly(name);
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); }));
}

// A small file system of its own mounted where the product goes; unmounted
// (lazily, should a Wine process still hold it) when the test ends.
class SmallDisk {
public:
    SmallDisk(const fs::path& where, const char* size) : m_where(where) {
        fs::create_directories(where);
        std::string options = std::string("size=") + size;
        if (::mount("palisade-small-disk", where.c_str(), "tmpfs", 0, options.c_str()) == 0) {
            m_mounted = true;
        } else {
            m_error = std::strerror(errno);
        }
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(m_where.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }
    const std::string& Error() const { return m_error; }

private:
    fs::path m_where;
    bool m_mounted = false;
    std::string m_error;
};

TEST(InterruptedInstallation, FullDiskEndsWithTheFailureAndKeepsTheOldFiles) {
    const std::string name = Unique("Full Disk");
    const std::string folder = InstallFolderOf(name);
    fs::remove_all(HostPath(folder));
    SmallDisk disk(HostPath(folder), "4m");
    if (!disk.Mounted()) GTEST_SKIP() << "a small file system cannot be mounted here: " << disk.Error();

    TestProduct first = MakeProduct(name);
    first.items.push_back(FileItem("small.txt", "version 1"));
    first.items.push_back(FileItem("large.bin", NoiseOf(1u << 20, 2)));
    EXPECT_EQ(InstallSilently(WriteInstaller(first, "full-disk-1.exe")).exitCode, 1);
    ASSERT_EQ(ReadHostFile(HostPath(folder + "\\large.bin")), NoiseOf(1u << 20, 2));

    // The new large file does not fit beside the old one.
    TestProduct second = MakeProduct(name);
    second.settings.displayVersion = u"2.0.0";
    second.items.push_back(FileItem("small.txt", "version 2"));
    second.items.push_back(FileItem("large.bin", NoiseOf(3u << 20, 3)));
    EXPECT_EQ(InstallSilently(WriteInstaller(second, "full-disk-2.exe")).exitCode, 1);

    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\large.bin")), NoiseOf(1u << 20, 2));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\small.txt")), "version 2");
    // The half-written temporary was removed, so the log and the record fit.
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\large.bin.palisade-new")));
    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr("FAILURE SUMMARY"));
    EXPECT_THAT(log, HasSubstr("Could not install " + folder + "\\large.bin\r\nDisk full.\r\n"));
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, HasSubstr(folder + "\\large.bin\r\n"));  // the first version's file is still ours

    RunResult removal = UninstallQuietly(name);
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder + "\\large.bin")); }));
}

}  // namespace
}  // namespace palisade::wine
