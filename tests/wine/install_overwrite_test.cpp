// The overwrite rules as a silent installation applies them to files that
// are already there, and a file in use that is replaced at the next restart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

const char kWineVersionDll[] = "/usr/lib/i386-linux-gnu/wine/i386-windows/version.dll";  // FileVersion 5.1.2600.2180

void SetModified(const fs::path& path, int year, int month, int day, int hour, int minute, int second) {
    auto when = std::chrono::system_clock::from_time_t(std::time_t(UtcSeconds(year, month, day, hour, minute, second)));
    fs::last_write_time(path, fs::file_time_type::clock::now() + (when - std::chrono::system_clock::now()));
}

PayloadItem WithMode(PayloadItem item, std::uint32_t mode, EntryKind kind = EntryKind::File) {
    item.flags |= mode;
    item.kind = kind;
    return item;
}

TEST(SilentOverwrite, EachRuleDecidesAndLogsAgainstTheExistingFile) {
    const std::string name = "Silent Overwrite";
    const std::string folder = InstallFolderOf(name);
    auto existing = [&](const std::string& file, const std::string& contents) {
        WriteHostFile(HostPath(folder + "\\" + file), contents);
        return HostPath(folder + "\\" + file);
    };
    existing("keep.txt", "user's own");
    SetModified(existing("newer.txt", "user's newer"), 2030, 1, 1, 0, 0, 0);
    existing("passover.txt", "untouched");
    fs::copy_file(kWineVersionDll, HostPath(folder + "\\old.dll"), fs::copy_options::overwrite_existing);
    fs::copy_file(kWineVersionDll, HostPath(folder + "\\new.dll"), fs::copy_options::overwrite_existing);
    SetModified(HostPath(folder + "\\new.dll"), 2020, 1, 1, 0, 0, 0);
    SetModified(existing("second.txt", "one second later"), 2024, 5, 17, 10, 30, 43);
    SetModified(existing("twoseconds.txt", "two seconds earlier"), 2024, 5, 17, 10, 30, 40);

    TestProduct product = MakeProduct(name);
    product.items.push_back(WithMode(FileItem("missing.txt", "only if existing"), 8));
    product.items.push_back(WithMode(FileItem("keep.txt", "only if missing"), 12));
    product.items.push_back(WithMode(FileItem("newer.txt", "unless later"), 16));
    product.items.push_back(WithMode(FileItem("passover.txt", "passed over"), 4));
    PayloadItem older = WithMode(FileItem("old.dll", "older version"), 0, EntryKind::NewerOnlyFile);
    older.info = "0.1";
    product.items.push_back(older);
    PayloadItem newer = WithMode(FileItem("new.dll", "newer version"), 0, EntryKind::NewerOnlyFile);
    newer.info = "6.0";
    product.items.push_back(newer);
    product.items.push_back(WithMode(FileItem("second.txt", "same second"), 0, EntryKind::NewerOnlyFile));
    product.items.push_back(WithMode(FileItem("twoseconds.txt", "two seconds newer"), 0, EntryKind::NewerOnlyFile));
    RunResult run = InstallSilently(WriteInstaller(product, "silent-overwrite.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr(folder + "\\missing.txt was not installed because it does not already exist.\r\n"));
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\missing.txt")));
    EXPECT_THAT(log, HasSubstr(folder + "\\keep.txt was not installed because it already exists.\r\n"));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\keep.txt")), "user's own");
    EXPECT_THAT(log, HasSubstr(folder + "\\newer.txt was not installed because the existing file is newer.\r\n"));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\newer.txt")), "user's newer");
    EXPECT_THAT(log, Not(HasSubstr("passover.txt")));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\passover.txt")), "untouched");

    EXPECT_THAT(log, HasSubstr(folder + "\\old.dll was not installed because its version (0.1) is not newer than "
                                        "5.1.2600.2180\r\n"));
    EXPECT_THAT(log, HasSubstr(folder + "\\new.dll needs replacement because its version (6.0) is newer than "
                                        "5.1.2600.2180 and its date (2024/05/17 10:30:42) is newer than "
                                        "2020/01/01 00:00:00\r\n"));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\new.dll")), "newer version");
    EXPECT_THAT(log, HasSubstr(folder + "\\second.txt was not installed because its date (2024/05/17 10:30:42) is "
                                        "not newer than 2024/05/17 10:30:43.\r\n"));
    EXPECT_THAT(log, HasSubstr(folder + "\\twoseconds.txt needs replacement because its date (2024/05/17 10:30:42) "
                                        "is newer than 2024/05/17 10:30:40\r\n"));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\twoseconds.txt")), "two seconds newer");

    // Files left in place by their rule still belong to the product.
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, HasSubstr(folder + "\\keep.txt\r\n"));
    EXPECT_THAT(data, HasSubstr(folder + "\\old.dll\r\n"));
}

void WaitFor(const fs::path& path) {
    for (int i = 0; i < 600 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

TEST(SilentOverwrite, FileInUseIsReplacedAtTheNextRestart) {
    const std::string name = "Silent In Use";
    const std::string target = InstallFolderOf(name) + "\\busy.dat";
    WriteHostFile(HostPath(target), "old contents");
    SetModified(HostPath(target), 2001, 1, 1, 0, 0, 0);
    fs::remove(HostPath(target + ".held"));  // markers of an earlier run
    fs::remove(HostPath(target + ".release"));
    BackgroundRun holder(ProbePath(), WithArguments({"hold-open", target, "180"}));
    WaitFor(HostPath(target + ".held"));
    ASSERT_TRUE(fs::exists(HostPath(target + ".held"))) << "the holder did not open the file";

    TestProduct product = MakeProduct(name);
    product.items.push_back(WithMode(FileItem("busy.dat", "new contents"), 0, EntryKind::NewerOnlyFile));
    product.items.push_back(FileItem("free.dat", "free"));
    RunResult run = InstallSilently(WriteInstaller(product, "silent-in-use.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr("\"" + target + "\" was successfully registered for replacement.\r\n"
                               "Temporary file is \""));
    EXPECT_THAT(log, HasSubstr("Reboot will be required.\r\n"));
    EXPECT_THAT(log, Not(HasSubstr("FAILURE SUMMARY")));
    std::optional<std::string> flags =
        RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name, "ProductFlags");
    ASSERT_TRUE(flags.has_value());
    EXPECT_NE(std::stoull(*flags) & 0x4000, 0u) << *flags;
    EXPECT_EQ(ReadHostFile(HostPath(target)), "old contents");
    // The file that replaces busy.dat at the restart lets nobody else write to it.
    std::string marker = "Temporary file is \"";
    std::size_t at = log.find(marker);
    ASSERT_NE(at, std::string::npos);
    std::string temporary = log.substr(at + marker.size(), log.find('"', at + marker.size()) - at - marker.size());
    EXPECT_FALSE(EveryoneMayWrite(temporary)) << AccessListOf(temporary);

    WriteHostFile(HostPath(target + ".release"), "");
    holder.Wait(std::chrono::seconds(120));
    RunResult boot = RunProgram("wineboot", WithArguments({"-r"}));
    EXPECT_FALSE(boot.timedOut);
    EXPECT_EQ(ReadHostFile(HostPath(target)), "new contents");
}

}  // namespace
}  // namespace palisade::wine
