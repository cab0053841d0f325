// The registry step under Wine with the real installer: the author's entries
// (illegal lines, every type, keeping and deleting values, every user's
// hive), the product key, App Paths and the PATH addition, and what the
// uninstall data records of them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "core/text.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Tag() { return std::to_string(::getpid()); }

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST(WineRegistryEntries, WritesEveryLineKindAndReportsIllegalOnes) {
    const std::string name = "Registry Lines";
    const std::string sub = "Software\\Palisade Tests\\Lines " + Tag();
    const std::string key = "\\HKCU\\" + sub;
    std::filesystem::remove_all(HostPath(InstallFolderOf(name)));  // one run's log only
    RegChange({"add", "HKCU\\Software\\Palisade Tests"});  // so that the first key created is known
    TestProduct product = MakeProduct(name);
    product.settings.productRegistry = Utf8ToUtf16("Palisade Tests\\Product " + Tag());
    std::string entries = key + ",Three,1\r\n" +                           // illegal: three fields
                          key + ",After,1,written,1\r\n" +                 // the next line is still written
                          key + ",Folder,1,%InstallDir%\\bin,1\r\n" +      // REG_SZ: expanded
                          key + ",Raw,2,%InstallDir%\\bin,1\r\n" +         // REG_EXPAND_SZ: as written
                          key + ",Kept,1,old,1\r\n" + key + ",Kept,1,new,6\r\n" +  // 6 keeps what exists
                          key + ",Fresh,1,first,7\r\n" +                   // 7 writes a missing value
                          key + ",Number,4,42,1\r\n" + key + ",Big,11,4294967296,1\r\n" +
                          key + ",Bin,3,de ad BE ef,1\r\n" +
                          key + ",Gone,1,x,1\r\n" + key + ",Gone,,,4\r\n" +
                          "\"" + key + "\\Quoted, Key\",\"With, comma\",1,\"a,b\",1\r\n" +
                          "\\HKAU\\" + sub + "\\All,User,1,everyone,1\r\n" +
                          "\\HKCU\\" + sub + "\\Created\r\n";
    product.settings.registryEntries = Utf8ToUtf16(entries);
    product.items.push_back(FileItem("app.txt", "x"));
    RunResult run = InstallSilently(WriteInstaller(product, "registry-lines.exe"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;

    const std::string folder = InstallFolderOf(name);
    const std::string hkcu = "HKCU\\" + sub;
    EXPECT_FALSE(RegQueryValue(hkcu, "Three").has_value());
    EXPECT_EQ(RegQueryValue(hkcu, "After"), "written");
    EXPECT_EQ(RegQueryValue(hkcu, "Folder"), folder + "\\bin");
    EXPECT_EQ(RegQueryValue(hkcu, "Kept"), "old");
    EXPECT_EQ(RegQueryValue(hkcu, "Fresh"), "first");
    EXPECT_FALSE(RegQueryValue(hkcu, "Gone").has_value());
    EXPECT_EQ(RegQueryValue(hkcu + "\\Quoted, Key", "With, comma"), "a,b");
    EXPECT_EQ(RegQueryValue(hkcu + "\\All", "User"), "everyone");
    std::string exported = RegExport(hkcu);
    EXPECT_THAT(exported, HasSubstr("\"Raw\"=hex(2):25,00,49,00,6e,00,73,00"));  // "%Ins..." unexpanded
    EXPECT_THAT(exported, HasSubstr("\"Number\"=dword:0000002a"));
    EXPECT_THAT(exported, HasSubstr("\"Big\"=hex(b):00,00,00,00,01,00,00,00"));
    EXPECT_THAT(exported, HasSubstr("\"Bin\"=hex:de,ad,be,ef"));
    EXPECT_THAT(exported, HasSubstr("[HKEY_CURRENT_USER\\" + sub + "\\Created]"));

    // The product key in the user's hive and the machine's.
    std::string productKey = "Software\\Palisade Tests\\Product " + Tag();
    EXPECT_THAT(RegExport("HKCU\\" + productKey), HasSubstr("[HKEY_CURRENT_USER\\" + productKey + "]"));
    EXPECT_THAT(RegExport("HKLM\\" + productKey), HasSubstr("[HKEY_LOCAL_MACHINE\\" + productKey + "]"));

    std::string log = InstallLogOf(name);
    EXPECT_THAT(log, HasSubstr("Illegal registry entry: " + key + ",Three,1\r\n"));
    EXPECT_EQ(Count(log, "Illegal registry entry"), 1u) << log;
    // The record names what was made: the keys created (the first one with
    // all it holds) and the values written into keys that were there
    // already; not the value kept by 6, the one written for good by 7, or
    // the deletion.
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    std::string recorded = key + "\r\n" +  // created by the After line
                           key + ",Folder,1,%InstallDir%\\bin,1\r\n" + key + ",Raw,2,%InstallDir%\\bin,1\r\n" +
                           key + ",Kept,1,old,1\r\n" + key + ",Number,4,42,1\r\n" + key +
                           ",Big,11,4294967296,1\r\n" + key + ",Bin,3,de ad BE ef,1\r\n" + key + ",Gone,1,x,1\r\n" +
                           "\"" + key + "\\Quoted, Key\"\r\n" + "\\HKAU\\" + sub + "\\All\r\n" + key +
                           "\\Created\r\n";
    EXPECT_THAT(data, EndsWith("\r\n\r\n[Registry2]\r\n" + recorded));
}

TEST(WineRegistryEntries, AppPathsRegistrationIsKeptWhenPresent) {
    const std::string program = "palisade-tool-" + Tag() + ".exe";
    const std::string appPaths = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program;
    TestProduct first = MakeProduct("App Paths First");
    first.settings.appPathsProgram = Utf8ToUtf16("bin\\" + program);
    first.items.push_back(FileItem(program, "MZ", u"bin\\"));
    ASSERT_EQ(InstallSilently(WriteInstaller(first, "app-paths-first.exe")).exitCode, 1);
    const std::string firstFolder = InstallFolderOf("App Paths First") + "\\bin";
    EXPECT_THAT(RegExport(appPaths), HasSubstr("@=\"" + ReplaceAll(firstFolder, "\\", "\\\\") + "\\\\" + program));
    EXPECT_EQ(RegQueryValue(appPaths, "Path"), firstFolder);
    EXPECT_THAT(InstallLogOf("App Paths First"), HasSubstr("Registering exe path...OK\r\n"));
    EXPECT_THAT(ReadHostFile(HostPath(InstallFolderOf("App Paths First") + "\\uninstall\\Uninstall.DAT")),
                HasSubstr("*\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program + "\r\n"));

    TestProduct second = MakeProduct("App Paths Second");
    second.settings.appPathsProgram = Utf8ToUtf16(program);
    second.items.push_back(FileItem(program, "MZ"));
    second.items.push_back(FileItem("missing-check.txt", "x"));
    ASSERT_EQ(InstallSilently(WriteInstaller(second, "app-paths-second.exe")).exitCode, 1);
    EXPECT_EQ(RegQueryValue(appPaths, "Path"), firstFolder);
    std::string log = InstallLogOf("App Paths Second");
    EXPECT_THAT(log, HasSubstr("Registering exe path...a registration already exists\r\n"));
    EXPECT_THAT(ReadHostFile(HostPath(InstallFolderOf("App Paths Second") + "\\uninstall\\Uninstall.DAT")),
                Not(HasSubstr("*\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\")));

    TestProduct absent = MakeProduct("App Paths Absent");
    absent.settings.appPathsProgram = u"nothing.exe";
    absent.items.push_back(FileItem("other.txt", "x"));
    ASSERT_EQ(InstallSilently(WriteInstaller(absent, "app-paths-absent.exe")).exitCode, 1);
    EXPECT_THAT(InstallLogOf("App Paths Absent"),
                HasSubstr("Registering exe path...FAILED, \"" + InstallFolderOf("App Paths Absent") +
                          "\\nothing.exe\" does not exist.\r\n"));

    // Reinstalled, the product finds its own registration "already there";
    // the record carried over from the first installation still removes it.
    ASSERT_EQ(InstallSilently(WriteInstaller(first, "app-paths-first-again.exe")).exitCode, 1);
    EXPECT_THAT(ReadHostFile(HostPath(InstallFolderOf("App Paths First") + "\\uninstall\\Uninstall.DAT")),
                HasSubstr("*\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program + "\r\n"));
    RunResult removal = UninstallQuietly("App Paths First");
    EXPECT_EQ(removal.stdoutText, "0") << removal.debugOutput;
    EXPECT_FALSE(RegQueryValue(appPaths, "Path").has_value());
}

TEST(WineRegistryEntries, PathAdditionIsIdempotent) {
    const std::string environment = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const std::string name = "Path Addition " + Tag();
    TestProduct product = MakeProduct(name);
    product.settings.settingsFlags1 |= 0x1000;  // add to PATH
    product.settings.addToPathSubfolder = u"bin";
    product.items.push_back(FileItem("tool.exe", "MZ", u"bin\\"));
    std::filesystem::path installer = WriteInstaller(product, "path-addition.exe");
    ASSERT_EQ(InstallSilently(installer).exitCode, 1);
    ASSERT_EQ(InstallSilently(installer).exitCode, 1);
    std::string path = RegQueryValue(environment, "PATH").value_or("");
    EXPECT_EQ(Count(path, InstallFolderOf(name) + "\\bin"), 1u) << path;
    EXPECT_THAT(path, HasSubstr(";" + InstallFolderOf(name) + "\\bin")) << path;

    TestProduct missing = MakeProduct("Path Missing");
    missing.settings.settingsFlags1 |= 0x1000;
    missing.settings.addToPathSubfolder = u"not-there";
    missing.items.push_back(FileItem("a.txt", "x"));
    ASSERT_EQ(InstallSilently(WriteInstaller(missing, "path-missing.exe")).exitCode, 1);
    EXPECT_THAT(InstallLogOf("Path Missing"),
                HasSubstr("Couldn't add \"" + InstallFolderOf("Path Missing") +
                          "\\not-there\" to the PATH because it does not exist.\r\n"));
    EXPECT_THAT(RegQueryValue(environment, "PATH").value_or(""), Not(HasSubstr("not-there")));
}

}  // namespace
}  // namespace palisade::wine
