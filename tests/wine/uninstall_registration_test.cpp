// The uninstall registration under Wine: the product key in the 32-bit view,
// the uninstaller copy, an author's key and Uninstall.DAT.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

TEST(WineUninstallRegistration, ProductKeyUninstallerAndData) {
    std::string name = "Probe Product " + std::to_string(::getpid());
    std::string folder = "C:\\probe-install-" + std::to_string(::getpid());
    RunResult r = RunProgram(ProbePath(), WithArguments({"register-uninstall", name, folder}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.stdoutText, "failures: []\n") << r.stderrText;

    std::string key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
    EXPECT_EQ(RegQueryValue(key, "UninstallString", "32"),
              "\"" + folder + "\\uninstall\\uninstall.exe\" /u:\"" + name + "\"");
    EXPECT_EQ(RegQueryValue(key, "DisplayVersion", "32"), "3.1");
    EXPECT_EQ(RegQueryValue(key, "VersionMinor", "32"), "0x1");
    EXPECT_FALSE(RegQueryValue(key, "EstimatedSize", "32"));
    EXPECT_FALSE(RegQueryValue(key, "Publisher", "32"));
    EXPECT_EQ(RegQueryValue(key, "InstallDate", "32").value_or("").size(), 8u);
    EXPECT_EQ(RegQueryValue("HKCU\\Software\\" + name, "Mode", "32"), "0x7");

    EXPECT_TRUE(std::filesystem::exists(HostPath(folder + "\\uninstall\\uninstall.exe")));
    std::ifstream data(HostPath(folder + "\\uninstall\\Uninstall.DAT"), std::ios::binary);
    std::stringstream bytes;
    bytes << data.rdbuf();
    std::string text = bytes.str();
    EXPECT_EQ(text.rfind(folder + "\\app.exe\r\n\r\n\r\n[Strings]\r\n~10\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n\r\n[Registry2]\r\n\\HKCU\\Software\\" + name + "\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace palisade::wine
